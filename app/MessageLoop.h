// The message loop's rule, apart from the platform: messages are dispatched
// while the get answers above 0; the loop's result is the quit message's
// wParam when it ended on the quit message (0), and 0 when the get failed
// (-1), whose record holds nothing that was ever set.
#pragma once

template <class Record, class Get, class Dispatch>
int RunLoop(Record& record, Get get, Dispatch dispatch) {
    int got;
    while ((got = get(record)) > 0)
        dispatch(record);
    return got == 0 ? static_cast<int>(record.wParam) : 0;
}
