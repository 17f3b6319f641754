#!/usr/bin/env bash
# The README's pictures, from the released program under a private Xvfb, in
# Wine's shell desktop (a task bar with a notification area), with scripted
# loads from the bench's provider so that every run draws the same figures:
#   docs/window-default-1.png  docs/window-default-4.png   each skin at 1 and
#   docs/window-night-1.png    docs/window-night-4.png     4 processors
#   docs/grid-16.png           16 processors in a 4 x 4 grid
#   docs/menu.png              the popup menu open
#   docs/tray.png              the tray icon with its tip (window hidden)
#   docs/window-memory.png     the memory line shown
#   docs/window-150.png        the 4-processor window at 100 % and at 150 %
#   docs/options-1.png ... docs/options-4.png   the four option pages
# and the same pictures again in help/img for the user's guide, with the
# guide's example skin (help/skin/sample) as help/img/skin-sample.png: the
# window alone, pixel for pixel, at a steady full load (100 %: the one figure
# a busy machine cannot blur, so the guide's test can compare the program's
# window with it).
# Builds what it needs (./release's zip, the provider, the probe) and keeps
# its own Wine prefix in build/pictures/wineprefix. Not part of ./test.
#   tools/pictures/make-pictures.sh
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../bench/common.sh"
source "$ROOT/tools/bench/build.sh"
source "$ROOT/tools/bench/xvfb.sh"
source "$ROOT/tools/bench/prefix.sh"

DOCS="$ROOT/docs"
PROBE="$BUILD/windows/tools/pictures/shotprobe.exe"
CLOSE="$BUILD/windows/tools/closevantor/closevantor.exe"
export WINEPREFIX="$BUILD/pictures/wineprefix"

"$ROOT/tools/bench/deps.sh" || exit 1
build_preset windows || exit 1
build_preset release || exit 1
zip="$(release_zip)" || exit 1

work="$(mktemp -d /tmp/vantor-pictures.XXXXXX)"
APP_PID=
cleanup() {
    [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null
    stop_wineserver
    stop_display
    rm -rf "$work"
}
trap cleanup EXIT
unset DISPLAY # always a screen of our own, 1024 x 768, nothing else on it
start_display || exit 1
mkdir -p "$WINEPREFIX"
ensure_prefix || exit 1
# Wine's own desktop with a task bar and its notification area, for every
# program of this prefix.
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d shell /f >/dev/null
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v shell /d 1024x768 /f >/dev/null
timeout 30 wineserver -w || wineserver -k
start_wineserver
python3 -m zipfile -e "$zip" "$work" || exit 1
APP="$work/vantor"
mkdir -p "$DOCS"

probe() { wine "$PROBE" "$@" 2>/dev/null | tr -d '\r'; }

# A provider script: N lines of loads for CPUS processors, each processor on
# its own slow wave, so that the graphs have something to show.
loads() { # CPUS
    python3 - "$1" <<'PY'
import math, sys
cpus = int(sys.argv[1])
print(f"cpus {cpus}")
for t in range(400):
    row = [50 + 38 * math.sin(t / 6 + 1.7 * c) * math.cos(t / 17 + c) for c in range(cpus)]
    print(" ".join(f"{v:.0f}" for v in row))
PY
}

# Starts the program on a fresh vantor.ini (the given lines after [Window]
# posx/posy and [Config] tmrate) and the given load script; waits until the
# graphs are full.
start() { # CPUS INI-LINES [SECONDS]
    loads "$1" >"$work/load.txt"
    rm -f "$APP/vantor.ini"
    printf '%b' "$2" >"$APP/vantor.ini"
    VANTOR_PROVIDER_SCRIPT="$(winepath -w "$work/load.txt")" wine "$APP/vantor.exe" &
    APP_PID=$!
    probe rect window >/dev/null || { echo "vantor.exe shows no window" >&2; exit 1; }
    sleep "${3:-12}" # 51 samples at 200 ms, and some
}

stop() {
    wine "$CLOSE" >/dev/null 2>&1
    for _ in $(seq 1 50); do kill -0 "$APP_PID" 2>/dev/null || break; sleep 0.1; done
    kill "$APP_PID" 2>/dev/null
    wait "$APP_PID" 2>/dev/null
    APP_PID=
}

# The screen, cropped to the union of the given rectangles ("left top width
# height" each) with a margin, as a small PNG without time stamps.
shoot() { # NAME RECT...
    local name=$1 l=100000 t=100000 r=0 b=0 x y w h
    shift
    for rect in "$@"; do
        read -r x y w h <<<"$rect"
        [ -n "$h" ] || { echo "$name: no rectangle" >&2; exit 1; }
        ((x < l)) && l=$x; ((y < t)) && t=$y
        ((x + w > r)) && r=$((x + w)); ((y + h > b)) && b=$((y + h))
    done
    local m=${MARGIN:-8}
    l=$((l > m ? l - m : 0)); t=$((t > m ? t - m : 0))
    r=$((r + m < 1024 ? r + m : 1024)); b=$((b + m < 768 ? b + m : 768))
    import -window root "$work/screen.png"
    convert "$work/screen.png" -crop "$((r - l))x$((b - t))+$l+$t" +repage -strip \
        -define png:exclude-chunks=date,time "$DOCS/$name.png"
    say "picture: docs/$name.png ($((r - l)) x $((b - t)))"
}

WINDOW='[Window]\r\nposx=40\r\nposy=40\r\nwintop=1\r\n'
CONFIG='[Config]\r\ntmrate=200\r\n'

for skin in default night; do
    start 1 "$WINDOW[Option]\r\nmulti=0\r\n$CONFIG[Config\\\\Ext]\r\nskinname=$skin\r\n"
    shoot "window-$skin-1" "$(probe rect window)"
    stop
    start 4 "$WINDOW[Option]\r\nmulti=1\r\n$CONFIG[Config\\\\Ext]\r\nskinname=$skin\r\n"
    shoot "window-$skin-4" "$(probe rect window)"
    stop
done

start 16 "${WINDOW}colum=4\r\nrow=4\r\n[Option]\r\nmulti=1\r\n${CONFIG}layout=1\r\n"
shoot grid-16 "$(probe rect window)"
stop

# The menu opens where the right button went down.
start 4 "$WINDOW[Option]\r\nmulti=1\r\n$CONFIG"
read -r x y w h <<<"$(probe rect window)"
xdotool mousemove $((x + w / 2)) $((y + h / 2)) click 3
sleep 1
shoot menu "$x $y $w $h" "$(probe rect menu)"
xdotool key Escape
stop

# The four pages of the options dialog, as a first start shows them.
start 4 "[Window]\r\nposx=40\r\nposy=40\r\nwintop=1\r\n" 1
probe command 40010
for page in 1 2 3 4; do
    [ "$page" = 1 ] || probe nexttab
    sleep 1.5
    shoot "options-$page" "$(probe rect dialog)"
done
probe cancel
stop

# The tray icon of a hidden window, animated, with the load in its tip, and a
# stretch of the task bar: the first icon of Wine's notification area sits at
# (1006,750)-(1022,766).
start 1 "${WINDOW}winhide=1\r\n[Option]\r\niconanim=1\r\n$CONFIG" 4
xdotool mousemove 1014 758
sleep 0.3
xdotool mousemove 1013 758
sleep 1
shoot tray "$(probe rect tip)" "824 744 200 24"
stop

# The memory line above the meter (the guide's window page).
start 1 "$WINDOW[Option]\r\nmulti=0\r\nmemory=1\r\n$CONFIG[Config\\\\Ext]\r\nkakusi=1\r\n"
shoot window-memory "$(probe rect window)"
stop

# The guide's example skin, copied beside the program as a user would.
cp -r "$ROOT/help/skin/sample" "$APP/sample"
printf 'cpus 1\n100\n' >"$work/steady.txt"
rm -f "$APP/vantor.ini"
printf '%b' "$WINDOW[Option]\r\nmulti=0\r\n$CONFIG[Config\\\\Ext]\r\nskinname=sample\r\n" >"$APP/vantor.ini"
VANTOR_PROVIDER_SCRIPT="$(winepath -w "$work/steady.txt")" wine "$APP/vantor.exe" &
APP_PID=$!
probe rect window >/dev/null || { echo "vantor.exe shows no window" >&2; exit 1; }
sleep 14
MARGIN=0 shoot skin-sample "$(probe rect window)"
stop

# The same window at 100 % and, with the prefix at 144 dpi for one start, at
# 150 %, side by side on the desktop's colour.
start 4 "$WINDOW[Option]\r\nmulti=1\r\n$CONFIG"
shoot scale-100 "$(probe rect window)"
stop
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null
start 4 "$WINDOW[Option]\r\nmulti=1\r\n$CONFIG"
shoot scale-150 "$(probe rect window)"
stop
wine reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f >/dev/null
gap="$(convert "$DOCS/scale-100.png" -format '%[pixel:p{0,0}]' info:)"
convert "$DOCS/scale-100.png" "$DOCS/scale-150.png" -background "$gap" -gravity north +append \
    +repage -strip -define png:exclude-chunks=date,time "$DOCS/window-150.png"
rm -f "$DOCS/scale-100.png" "$DOCS/scale-150.png"
say "picture: docs/window-150.png"

mkdir -p "$ROOT/help/img"
cp "$DOCS"/*.png "$ROOT/help/img/"
say "pictures in $DOCS and $ROOT/help/img"
