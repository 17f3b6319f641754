#!/usr/bin/env bash
# The user's guide as a browser shows it: headless Chromium screenshots of
# its pages into build/helpshots/<page>.png, to be looked at after an edit.
# Installs Chromium with apt-get when it is missing. Not part of ./test.
#   tools/helpshots/shots.sh [PAGE.html ...]    (default: every page)
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../bench/common.sh"

browser="$(command -v chromium || command -v chromium-browser)"
if [ -z "$browser" ]; then
    say "installing chromium"
    as_root apt-get install -y chromium >/dev/null || {
        as_root apt-get update >/dev/null && as_root apt-get install -y chromium >/dev/null
    } || exit 1
    browser="$(command -v chromium)"
fi
# Japanese glyphs for the pages' text.
dpkg -s fonts-ipafont-gothic >/dev/null 2>&1 || as_root apt-get install -y fonts-ipafont-gothic >/dev/null

out="$BUILD/helpshots"
mkdir -p "$out"
profile="$(mktemp -d /tmp/vantor-helpshots.XXXXXX)"
trap 'rm -rf "$profile"' EXIT
pages=("$@")
[ ${#pages[@]} -gt 0 ] || pages=($(cd "$ROOT/help" && ls ./*.html | sed 's|^\./||'))
for page in "${pages[@]}"; do
    # A tall window: the whole page or most of it in one picture.
    timeout 60 "$browser" --headless --no-sandbox --disable-gpu --disable-background-networking \
        --disable-component-update --disable-sync --no-first-run --hide-scrollbars \
        --user-data-dir="$profile" --window-size=1000,"${HELPSHOTS_HEIGHT:-2400}" \
        --screenshot="$out/${page%.html}.png" "file://$ROOT/help/$page" >/dev/null 2>&1 ||
        { echo "chromium failed on $page" >&2; exit 1; }
    say "screenshot: build/helpshots/${page%.html}.png"
done
