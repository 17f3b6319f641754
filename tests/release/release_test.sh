#!/usr/bin/env bash
# The release zip as a user gets it, unpacked outside the build tree: its files
# (the guide among them), the exe's size, imports and missing link time stamp,
# a second packing of the build's inputs (same bytes; a second build would cost
# minutes), and under Wine beside release_check the first start and a run in LANG=en_US.UTF-8.
#   release_test.sh RELEASE_CHECK_EXE
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/bench/common.sh"
source "$ROOT/tools/bench/build.sh"
checker=${1:?usage: release_test.sh RELEASE_CHECK_EXE}
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

zip="$(release_zip)" || exit 1
work="$(mktemp -d /tmp/vantor-release-test.XXXXXX)"
app_pid=
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null && wait "$app_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
mkdir "$work/unpacked" "$work/repacked"
python3 -m zipfile -e "$zip" "$work/unpacked" || exit 1
app="$work/unpacked/vantor"

# The files; the readme in code page 932 with CR LF and the version filled in.
files="$(ls -A "$work/unpacked"): $(ls -A "$app" | tr '\n' ' ')"
[ "$files" = "vantor: LICENSE.txt default help night readme.txt vantor.exe " ] || fail "files: $files"
# The guide as it is in the repository, its start page where the Help command looks.
[ -f "$app/help/index.html" ] || fail "no help/index.html"
diff -r "$ROOT/help" "$app/help" || fail "help/ differs"
for skin in "$ROOT"/res/skins/*/; do
    diff -r "$skin" "$app/$(basename "$skin")" || fail "skin $(basename "$skin") differs"
done
python3 -c 'import sys; r = open(sys.argv[1], "rb").read()
assert "1.52" in r.decode("cp932") and r.count(b"\n") == r.count(b"\r\n")' "$app/readme.txt" ||
    fail readme.txt

# The program file.
exe="$app/vantor.exe"
size=$(stat -c %s "$exe")
[ "$size" -le 300000 ] || fail "vantor.exe is $size bytes"
headers="$(x86_64-w64-mingw32-objdump -p "$exe")" || fail "objdump"
grep -q "^Time/Date.*1970$" <<<"$headers" || fail "link time stamp: $(grep ^Time/Date <<<"$headers")"
dlls="$(sed -n 's/^\s*DLL Name: //p' <<<"$headers" | tr 'A-Z' 'a-z')"
echo "vantor.exe: $size bytes, imports" $dlls
! grep -vxE '(kernel32|user32|gdi32|advapi32|shell32|comctl32|comdlg32|ole32|msvcrt|psapi)\.dll' \
    <<<"$dlls" || fail "imports beyond these"

# Reproducible: the same inputs pack to the same bytes, and the .sha256 says so.
python3 "$ROOT/tools/release/pack.py" "@$BUILD/release/dist-inputs.txt" \
    --out "$work/repacked/$(basename "$zip")" >/dev/null || fail "second packing"
cmp "$zip" "$work/repacked/$(basename "$zip")" || fail "a second packing differs"
[ "$(sha256sum "$zip" | cut -d' ' -f1)" = "$(cut -d' ' -f1 "$zip.sha256")" ] || fail "$zip.sha256"

# Under Wine, each case ending the program through its Exit command.
printf 'cpus 1\n37\n' >"$work/load.txt"
export VANTOR_RELEASE_DIR VANTOR_PROVIDER_SCRIPT
VANTOR_RELEASE_DIR="$(winepath -w "$app")"
VANTOR_PROVIDER_SCRIPT="$(winepath -w "$work/load.txt")"
run_case() { # LANG CASE
    LANG=$1 wine "$exe" &
    app_pid=$!
    wine "$checker" --gtest_filter="Release.$2" || fail "$2"
    for _ in $(seq 150); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$app_pid" 2>/dev/null && { fail "$2: vantor.exe still runs"; return; }
    wait "$app_pid" || fail "$2: vantor.exe ended with $?"
    app_pid=
}
[ ! -e "$app/vantor.ini" ] || fail "vantor.ini before the first start"
run_case ja_JP.UTF-8 FirstStartVersionAndExit
run_case en_US.UTF-8 CaptionTextReadsRightInAnEnglishLocale

[ "$failures" = 0 ] || { echo "$failures failure(s)" >&2; exit 1; }
echo "release zip: all checks passed"
