// Start-up check that the system's performance counters are not disabled.
#pragma once

// True: start-up goes on. False: the program ends (the user has been told).
bool CheckPerfCounters();
