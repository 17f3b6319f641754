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
    std::vector<std::vector<double>> loads; // one line per Collect, percent per processor
};

// Parses the text of a script. Unknown directives are ignored so that a
// script never makes the provider stop serving.
Script ParseScript(const std::string& text);

// Load of processor `cpu` on the given line: missing figures repeat the last
// one; no lines at all mean an idle machine.
double LoadOf(const Script& script, size_t line, int cpu);

} // namespace perfprovider
