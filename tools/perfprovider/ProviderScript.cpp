#include "ProviderScript.h"

#include <cstdlib>
#include <cstring>

namespace perfprovider {

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && IsSpace(line[i])) ++i;
        size_t start = i;
        while (i < line.size() && !IsSpace(line[i])) ++i;
        if (i > start) words.push_back(line.substr(start, i - start));
    }
    return words;
}

int ToInt(const std::string& word) { return std::atoi(word.c_str()); }

} // namespace

Script ParseScript(const std::string& text) {
    Script script;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        size_t hash = line.find('#');
        if (hash != std::string::npos) line.resize(hash);
        std::vector<std::string> words = Words(line);
        if (words.empty()) continue;
        const std::string& w = words[0];
        if (w == "cpus" && words.size() > 1) {
            script.cpus = ToInt(words[1]);
        } else if (w == "total" && words.size() > 1) {
            if (words[1] == "first") script.total = TotalPlace::First;
            else if (words[1] == "none") script.total = TotalPlace::None;
            else script.total = TotalPlace::Last;
        } else if (w == "moredata" && words.size() > 1) {
            script.moreData = ToInt(words[1]);
        } else if (w == "pad" && words.size() > 1) {
            script.pad = ToInt(words[1]);
            if (script.pad < 0) script.pad = 0;
        } else if (w == "steps") {
            script.steps = true;
        } else if (w == "fail") {
            script.fail = true;
        } else if ((w[0] >= '0' && w[0] <= '9') || w[0] == '.') {
            std::vector<double> loads;
            for (const std::string& figure : words) {
                double v = std::atof(figure.c_str());
                loads.push_back(v < 0 ? 0 : (v > 100 ? 100 : v));
            }
            script.loads.push_back(loads);
        }
    }
    // Without "cpus", the widest load line gives the processor count.
    if (script.cpus <= 0) {
        script.cpus = 1;
        for (const std::vector<double>& line : script.loads)
            if ((int)line.size() > script.cpus) script.cpus = (int)line.size();
    }
    return script;
}

double LoadOf(const Script& script, size_t line, int cpu) {
    if (script.loads.empty()) return 0;
    if (line >= script.loads.size()) line = script.loads.size() - 1;
    const std::vector<double>& figures = script.loads[line];
    if (figures.empty()) return 0;
    return (size_t)cpu < figures.size() ? figures[cpu] : figures.back();
}

void SteppedIdle::reset(int cpus, long long now100ns) {
    step_ = now100ns / STEP;
    idle_.assign(cpus > 0 ? cpus : 0, 0);
    busy_.assign(idle_.size(), 0.0);
}

void SteppedIdle::advance(const Script& script, size_t line, long long now100ns) {
    for (const long long last = now100ns / STEP; step_ < last; ++step_) {
        for (size_t cpu = 0; cpu < idle_.size(); ++cpu) {
            busy_[cpu] += LoadOf(script, line, static_cast<int>(cpu)) / 100.0;
            if (busy_[cpu] >= 1.0 - 1e-9)
                busy_[cpu] -= 1.0;
            else
                idle_[cpu] += STEP;
        }
    }
}

} // namespace perfprovider
