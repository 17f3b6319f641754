#!/usr/bin/env bash
# The user's guide in help/: every page's local links and pictures resolve,
# nothing is fetched from elsewhere and no script runs; then help_check under
# Wine beside the real program.
#   guide_test.sh HELP_CHECK_EXE
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/bench/common.sh"
checker=${1:?usage: guide_test.sh HELP_CHECK_EXE}
guide="$ROOT/help"
work="$(mktemp -d /tmp/vantor-guide-test.XXXXXX)"
trap 'rm -rf "$work"' EXIT

python3 "$(dirname "${BASH_SOURCE[0]}")/guide_links.py" "$guide" || exit 1

convert "$guide/img/skin-sample.png" -type TrueColor BMP3:"$work/skin-sample.bmp" || exit 1
export VANTOR_GUIDE_DIR VANTOR_SKIN_PICTURE
VANTOR_GUIDE_DIR="$(winepath -w "$guide")"
VANTOR_SKIN_PICTURE="$(winepath -w "$work/skin-sample.bmp")"
wine "$checker"
