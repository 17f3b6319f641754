// A scripted processor load for the provider: what VANTOR_PROVIDER_SCRIPT names.
#pragma once

#include <string>
#include <vector>

namespace perfprovider {

enum class TotalPlace { Last, First, None };

struct Script {
    int cpus = 0;                        // 0 until known
    TotalPlace total = TotalPlace::Last; // where the _Total instance goes
    int moreData = 0;                    // the first K Collect calls answer ERROR_MORE_DATA
    int pad = 0;                         // extra bytes in each instance
    bool fail = false;                   // every Collect fails
    // "steps": idle time moves in whole clock steps, as the system keeps it,
    // instead of exactly with the time each Collect is asked at.
    bool steps = false;
    std::vector<std::vector<double>> loads; // one line per Collect, percent per processor
};

// Parses the text of a script. Unknown directives are ignored so that a
// script never makes the provider stop serving.
Script ParseScript(const std::string& text);

// Load of processor `cpu` on the given line: missing figures repeat the last
// one; no lines at all mean an idle machine.
double LoadOf(const Script& script, size_t line, int cpu);

// Idle time as the system keeps it: the clock moves in whole steps of
// 15.625 ms, and each step is charged to a processor whole, as idle or busy,
// so that over many steps the busy ones make up its load.
class SteppedIdle {
  public:
    static constexpr long long STEP = 156250; // 100 ns units

    void reset(int cpus, long long now100ns);
    // Charges every whole step passed until `now100ns` with the loads of `line`.
    void advance(const Script& script, size_t line, long long now100ns);
    // The time of the last whole step, and a processor's idle time then.
    long long stamp() const { return step_ * STEP; }
    long long idle(int cpu) const { return idle_[cpu]; }

  private:
    long long step_ = 0;
    std::vector<long long> idle_;
    std::vector<double> busy_; // the part of a busy step still owed
};

} // namespace perfprovider
