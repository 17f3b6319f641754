#include "measure/SampleTick.h"

#include "app/AppState.h"
#include "measure/LoadHistory.h"
#include "measure/LoadSampler.h"

void OnSampleTick(HWND hwnd) {
    (void)hwnd;
    // Without new figures nothing downstream changes.
    if (!app.sampler || !app.loadHistory || !app.sampler->sample()) return;
    for (int s = 0; s <= app.cpuCount; ++s)
        app.loadHistory[s].push(app.sampler->loadOf(s));
}
