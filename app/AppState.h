// The one global record of the program. Each subsystem declares the fields it
// owns in its own state record; AppState gathers them so that every field is
// reached by its plain name (app.posx, app.backDC, app.sampler ...).
#pragma once
#include <windows.h>

#include "settings/Settings.h"
#include "measure/MeasureState.h"
#include "titlebar/TitleState.h"
#include "view/ViewState.h"
#include "app/ShellState.h"
#include "options/OptionsState.h"
#include "log/LogState.h"
#include "tray/TrayState.h"
#include "desktop/DesktopState.h"

struct AppState : Settings, MeasureState, TitleState, ViewState, ShellState, LogState, TrayState,
                  DesktopState, OptionsState {};

extern AppState app;
