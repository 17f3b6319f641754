#!/usr/bin/env bash
# Called by ./run with the bench ready (display, prefix, wineserver):
#   run-main.sh SECONDS HEADLESS
# Runs the load probe, which prints the live per-processor figures.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
seconds=${1:-0}; [ "$seconds" = 0 ] && seconds=10
say "load probe: live processor loads for $seconds s"
wine "$BUILD/windows/tools/loadprobe/loadprobe.exe" --seconds "$seconds"
