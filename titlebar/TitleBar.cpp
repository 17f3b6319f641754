#include "titlebar/TitleBar.h"

#include <cstring>

#include "app/AppState.h"
#include "base/SafeText.h"

namespace {

// The caption last written into titleTarget, exactly as written (or as the
// window kept it). A caption equal to it still carries our text.
char writtenCaption[512];

// A window that still carries our text because giving its caption back
// failed (its thread was busy past the timeout): retried on later ticks
// until the give-back is seen to have succeeded, or the window is gone.
struct CaptionDebt {
    HWND window;
    char own[sizeof app.savedCaption];
    char written[sizeof writtenCaption];
};
enum : int { MAX_DEBTS = 4 };
CaptionDebt debts[MAX_DEBTS];
int debtCount = 0;

// Caption writes and reads go through SendMessageTimeout: a window whose
// thread has stopped pumping messages must not stop the sampling tick. A
// write that times out still lands once the window pumps again.
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

// Where the load text begins in a caption that carries it, or null. The
// head of the load text (up to the total's number) marks it; when the
// number comes first there is no such head, and every caption would look
// marked: then only the exact caption written counts.
const char* LoadTextIn(const char* caption, const char* written) {
    char marker[TITLE_HEAD_CAPACITY];
    if (TitleMarker(app, marker, sizeof marker) > 0) return strstr(caption, marker);
    return written[0] && strcmp(caption, written) == 0 ? caption + strlen(caption) : nullptr;
}

// The window's own caption from one that carries the load text: the part
// before it, without the space that joins the two.
void OwnPartOf(const char* caption, const char* loadText, char* own, size_t cap) {
    size_t n = static_cast<size_t>(loadText - caption);
    if (n > 0 && caption[n - 1] == ' ') --n;
    CopyTextN(own, cap, caption, n);
}

// Gives a window its own caption back when it still carries our text.
// False when the window did not answer in time: the debt stays.
bool GiveBack(HWND window, const char* own, const char* written) {
    if (!IsWindow(window)) return true;
    char caption[512];
    if (!ReadCaption(window, caption, sizeof caption)) return false;
    // A window that has retitled itself since keeps its new title.
    if (!LoadTextIn(caption, written)) return true;
    return WriteCaption(window, own);
}

void DropDebt(int i) {
    for (; i + 1 < debtCount; ++i)
        debts[i] = debts[i + 1];
    --debtCount;
}

int FindDebt(HWND window) {
    for (int i = 0; i < debtCount; ++i)
        if (debts[i].window == window) return i;
    return -1;
}

void AddDebt(HWND window, const char* own, const char* written) {
    int i = FindDebt(window);
    if (i < 0) {
        if (debtCount == MAX_DEBTS) DropDebt(0); // the oldest is healed when it comes back
        i = debtCount++;
    }
    debts[i].window = window;
    CopyText(debts[i].own, sizeof debts[i].own, own);
    CopyText(debts[i].written, sizeof debts[i].written, written);
}

// One attempt per tick, on the oldest debt: a busy window costs the tick
// one timeout, not one per debt.
void RetryOldestDebt() {
    if (debtCount > 0 && GiveBack(debts[0].window, debts[0].own, debts[0].written)) DropDebt(0);
}

void LeaveTarget() {
    if (app.titleTarget && writtenCaption[0] &&
        !GiveBack(app.titleTarget, app.savedCaption, writtenCaption))
        AddDebt(app.titleTarget, app.savedCaption, writtenCaption);
    app.titleTarget = nullptr;
    app.savedCaption[0] = 0;
    writtenCaption[0] = 0;
}

// A new target that still owes its caption takes its debt over.
void TakeTarget(HWND window) {
    app.titleTarget = window;
    const int i = FindDebt(window);
    if (i < 0) return;
    CopyText(app.savedCaption, sizeof app.savedCaption, debts[i].own);
    CopyText(writtenCaption, sizeof writtenCaption, debts[i].written);
    DropDebt(i);
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
    LeaveTarget();
    // At the end every debt gets one more attempt; a window still busy then
    // is healed by the next run when it comes to the foreground.
    while (debtCount > 0) {
        GiveBack(debts[0].window, debts[0].own, debts[0].written);
        DropDebt(0);
    }
}

void UpdateTitleBarWith(const uint32_t* loads, int count) {
    RetryOldestDebt();
    HWND fg = GetForegroundWindow();
    if (fg != app.titleTarget) {
        LeaveTarget();
        TakeTarget(fg);
    }
    if (!fg) return;

    char caption[512];
    if (!ReadCaption(fg, caption, sizeof caption)) return;

    const char* loadText = LoadTextIn(caption, writtenCaption);
    if (!loadText) {
        // A caption longer than savedCaption could not be given back whole;
        // such a window is left alone rather than have its title shortened.
        if (strlen(caption) >= sizeof app.savedCaption) {
            writtenCaption[0] = 0;
            return;
        }
        CopyText(app.savedCaption, sizeof app.savedCaption, caption);
    } else if (*loadText) {
        // Our text from an earlier tick, or from an earlier run or a
        // give-back that never landed: what stands before it is the window's.
        OwnPartOf(caption, loadText, app.savedCaption, sizeof app.savedCaption);
    }

    FormatLoadText(loads, count);
    char text[512];
    FormatText(text, sizeof text, "%s %s", app.savedCaption, app.loadText);
    // A write that times out may still land later: it is remembered as
    // written all the same, so that it is recognised and given back.
    CopyText(writtenCaption, sizeof writtenCaption, text);
    if (WriteCaption(fg, text)) {
        // Read back what the window kept: some windows shorten what they get.
        char kept[sizeof writtenCaption];
        if (ReadCaption(fg, kept, sizeof kept))
            CopyText(writtenCaption, sizeof writtenCaption, kept);
    }
}
