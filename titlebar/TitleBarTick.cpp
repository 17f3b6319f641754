#include "app/AppState.h"
#include "measure/LoadHistory.h"
#include "titlebar/TitleBar.h"

enum : int { MAX_LISTED_PROCESSORS = 64 };

void UpdateTitleBar() {
    if (!app.loadHistory) return;
    // cpuCount is the sampler's processor count on a machine with more than
    // one processor; multi is off on the others.
    int count = app.multi ? app.cpuCount : 0;
    if (count > MAX_LISTED_PROCESSORS) count = MAX_LISTED_PROCESSORS;
    uint32_t loads[MAX_LISTED_PROCESSORS + 1];
    for (int i = 0; i <= count; ++i)
        loads[i] = app.loadHistory[i].latest();
    UpdateTitleBarWith(loads, count);
}
