#!/usr/bin/env bash
# Called by ./test --bench with the bench ready (display, prefix, wineserver)
# and build/native-bench built. Each subsystem's benchmarks are one function.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

status=0

# Measurement: the sampler against the bare registry query under Wine (the
# scripted provider, 4 and 64 processors), then the walker natively.
bench_measure() {
    say "measure: sample() against the bare RegQueryValueExA under Wine (DISPLAY=${DISPLAY:-unset})"
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

bench_measure || status=1

exit $status
