#!/usr/bin/env bash
# Called by ./test --bench with the bench ready (display, prefix, wineserver)
# and build/native-bench built. Each subsystem's benchmarks are one function.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

status=0

# Measurement: the sampler against the bare query under Wine, for both of its
# sources: the registry's performance data (the scripted provider, 4 and 64
# processors) and the kernel's processor times; then the walker natively.
bench_measure() {
    say "measure: sample() against the bare RegQueryValueExA and NtQuerySystemInformation under Wine (DISPLAY=${DISPLAY:-unset})"
    DISPLAY="${DISPLAY:-}" WINEPREFIX="$WINEPREFIX" timeout 600 \
        wine "$BUILD/windows/tools/samplerbench/samplerbench.exe" --rounds 150 || return 1
    local walk="$BUILD/native-bench/tools/walkbench/walkbench"
    if [ -x "$walk" ]; then
        say "measure: the block walker per instance (native, Google Benchmark)"
        "$walk" --benchmark_min_time=0.2 || return 1
    else
        say "measure: walkbench not built (Google Benchmark missing)"
    fi
}

# View: one paint (background, content, blit) and the window region for the
# shipped skins at 96 and 144 dpi, each against a bare BitBlt of the same
# size; GDI objects before and after 10 000 paints and 100 changes of scale.
bench_view() {
    say "view: paint and region costs under Wine"
    (cd "$BUILD/windows/bin" && DISPLAY="${DISPLAY:-}" WINEPREFIX="$WINEPREFIX" timeout 600 \
        wine ./viewbench.exe 500) || return 1
}

# Log: one log tick that writes a row against its own sample under Wine (4 and
# 64 processors), then building one row natively.
bench_log() {
    say "log: OnLogTick writing a row against its own sample under Wine"
    DISPLAY="${DISPLAY:-}" WINEPREFIX="$WINEPREFIX" timeout 600 \
        wine "$BUILD/windows/tools/samplerbench/samplerbench.exe" --log --rounds 150 || return 1
    local rows="$BUILD/native-bench/tools/logbench/logrowbench"
    if [ -x "$rows" ]; then
        say "log: building one row (native, Google Benchmark; args: processors, with date and time)"
        "$rows" --benchmark_min_time=0.2 || return 1
    else
        say "log: logrowbench not built (Google Benchmark missing)"
    fi
}

bench_measure || status=1
bench_view || status=1
bench_log || status=1

exit $status
