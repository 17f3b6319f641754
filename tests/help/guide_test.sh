#!/usr/bin/env bash
# The guide's links and pictures; then help_check beside a copy of the program
# in a folder named as users' are ("#", spaces) with what it reads of the guide.
#   guide_test.sh HELP_CHECK_EXE
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/bench/common.sh"
checker=${1:?usage: guide_test.sh HELP_CHECK_EXE}
work="$(mktemp -d /tmp/vantor-guide-test.XXXXXX)"
trap 'rm -rf "$work"' EXIT
python3 "$(dirname "${BASH_SOURCE[0]}")/guide_links.py" "$ROOT/help"
dir="$work/guide in folder #1"
mkdir "$dir"
cp -r "$ROOT/help/skin/sample" "$(dirname "$checker")/../../bin/vantor.exe" "$dir/"
cat "$ROOT"/help/*.html >"$dir/guide.txt"
convert "$ROOT/help/img/skin-sample.png" -depth 8 "$dir/skin-sample.ppm"
wine "$checker" "$(winepath -w "$dir")"
