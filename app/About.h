// The About box: product and version, a mail line and a web link.
#pragma once
#include <windows.h>

// Modal, owned by the window; returns when the box is closed.
void ShowAboutBox(HWND owner);
