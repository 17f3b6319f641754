#!/usr/bin/env bash
# Called by ./run with the bench ready (display, prefix, wineserver):
#   run-main.sh SECONDS HEADLESS
# Starts vantor.exe on the live figures. SECONDS 0 runs until Ctrl-C. On a
# headless machine the screen is written to a PNG every few seconds.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
seconds=${1:-0}
headless=${2:-0}
exe="$BUILD/windows/bin/vantor.exe"
shot="$BUILD/run/screen.png"
[ -x "$exe" ] || { echo "missing $exe: the build did not make it" >&2; exit 1; }

# The program keeps vantor.ini beside itself, so each run starts from the
# settings the previous run saved.
say "starting vantor.exe (settings: $(dirname "$exe")/vantor.ini)"
wine "$exe" &
APP_PID=$!
mkdir -p "$(dirname "$shot")"
if [ "$headless" = 1 ]; then
    say "headless: a screenshot every 3 s goes to $shot"
fi
if [ "$seconds" = 0 ]; then
    say "running until Ctrl-C"
else
    say "running for $seconds s"
fi

start=$(date +%s)
while kill -0 "$APP_PID" 2>/dev/null; do
    sleep 3
    if [ "$headless" = 1 ]; then
        import -window root "$shot.tmp.png" 2>/dev/null && mv "$shot.tmp.png" "$shot"
        say "screenshot: $shot"
    fi
    if [ "$seconds" != 0 ] && [ $(( $(date +%s) - start )) -ge "$seconds" ]; then
        break
    fi
done

if kill -0 "$APP_PID" 2>/dev/null; then
    # Ask the window to close, as the menu's Exit does, so the settings are
    # saved and the caption it wrote into another window is given back.
    wine "$BUILD/windows/tools/closevantor/closevantor.exe" >/dev/null 2>&1 || true
    for _ in $(seq 1 50); do kill -0 "$APP_PID" 2>/dev/null || break; sleep 0.1; done
    kill "$APP_PID" 2>/dev/null || true
fi
wait "$APP_PID" 2>/dev/null
say "vantor.exe ended"
