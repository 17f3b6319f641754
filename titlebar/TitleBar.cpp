#include "titlebar/TitleBar.h"

#include <cstring>

#include "app/AppState.h"
#include "base/SafeText.h"

namespace {

// The caption last written into titleTarget, exactly as written. A caption
// equal to it still carries our text; anything else is the window's own.
char writtenCaption[512];

// Caption writes and reads go through SendMessageTimeout: a window whose
// thread has stopped pumping messages must not stop the sampling tick.
bool WriteCaption(HWND window, const char* text) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text),
                               SMTO_ABORTIFHUNG | SMTO_NORMAL, CAPTION_TIMEOUT_MS, &result) != 0;
}

bool ReadCaption(HWND window, char* out, size_t cap) {
    DWORD_PTR copied = 0;
    out[0] = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, cap, reinterpret_cast<LPARAM>(out),
                             SMTO_ABORTIFHUNG | SMTO_NORMAL, CAPTION_TIMEOUT_MS, &copied))
        return false;
    out[copied < cap ? copied : cap - 1] = 0;
    return true;
}

// A caption holding the head of the load text (up to the total's number)
// already carries the text of an earlier tick. When the number comes first
// there is no such head, and every caption would look marked: then only the
// exact caption last written counts.
bool CarriesLoadText(const char* caption) {
    char marker[TITLE_HEAD_CAPACITY];
    if (TitleMarker(app, marker, sizeof marker) > 0) return strstr(caption, marker) != nullptr;
    return writtenCaption[0] && strcmp(caption, writtenCaption) == 0;
}

void ForgetTarget() {
    app.titleTarget = nullptr;
    app.savedCaption[0] = 0;
    writtenCaption[0] = 0;
}

} // namespace

void CompileTitleFormats() {
    CompileTitleFormats(app, app.format_b, app.format_0, app.format_1, app.format_d);
}

const char* FormatLoadText(const uint32_t* loads, int count) {
    ::FormatLoadText(app, loads, count, app.loadText, sizeof app.loadText);
    return app.loadText;
}

void RestoreTitleBar() {
    // Only a window that carries our text gets a caption written back: one
    // that was never marked keeps whatever it has.
    // A window that has retitled itself since keeps its new title, and one
    // that does not answer is not written to either.
    char caption[512];
    if (app.titleTarget && writtenCaption[0] && IsWindow(app.titleTarget) &&
        ReadCaption(app.titleTarget, caption, sizeof caption) &&
        strcmp(caption, writtenCaption) == 0)
        WriteCaption(app.titleTarget, app.savedCaption);
    ForgetTarget();
}

void UpdateTitleBarWith(const uint32_t* loads, int count) {
    HWND fg = GetForegroundWindow();
    if (fg != app.titleTarget) {
        RestoreTitleBar();
        app.titleTarget = fg;
    }
    if (!fg) return;

    char caption[512];
    if (!ReadCaption(fg, caption, sizeof caption)) return;

    if (!CarriesLoadText(caption)) {
        // A caption longer than savedCaption could not be given back whole;
        // such a window is left alone rather than have its title shortened.
        if (strlen(caption) >= sizeof app.savedCaption) {
            writtenCaption[0] = 0;
            return;
        }
        CopyText(app.savedCaption, sizeof app.savedCaption, caption);
    }

    FormatLoadText(loads, count);
    char text[512];
    FormatText(text, sizeof text, "%s %s", app.savedCaption, app.loadText);
    if (WriteCaption(fg, text)) {
        // Read back what the window kept: some windows shorten what they get.
        if (!ReadCaption(fg, writtenCaption, sizeof writtenCaption))
            CopyText(writtenCaption, sizeof writtenCaption, text);
    } else {
        writtenCaption[0] = 0;
    }
}
