#!/usr/bin/env bash
# The release zip as a user gets it, unpacked into a fresh folder outside the
# build tree: its files, the exe's size, imports and missing link time stamp,
# a second packing of the build's own inputs (same bytes; a second build would
# cost every run minutes), and under Wine, beside release_check, the first
# start and a run with LANG=en_US.UTF-8 (Wine takes the code page from LANG).
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

# The files.
[ "$(ls -A "$work/unpacked")" = vantor ] || fail "more than one top folder: $(ls -A "$work/unpacked")"
[ "$(ls -A "$app" | tr '\n' ' ')" = "LICENSE.txt default night readme.txt vantor.exe " ] ||
    fail "files: $(ls -A "$app" | tr '\n' ' ')"
for skin in "$ROOT"/res/skins/*/; do
    diff -r "$skin" "$app/$(basename "$skin")" || fail "skin $(basename "$skin") differs"
done
python3 - "$app" "$ROOT/LICENSE.txt" <<'PY' || fail "readme.txt or LICENSE.txt"
import sys
app, license = sys.argv[1:]
readme = open(f"{app}/readme.txt", "rb").read()
text = readme.decode("cp932")  # raises on anything that is not CP932
assert readme.count(b"\n") == readme.count(b"\r\n") > 50, "CR LF line ends"
for said in ("1.52", "Windows 7", "Windows 10", "vantor.ini", "/E:", "LICENSE.txt"):
    assert said in text, said
assert open(f"{app}/LICENSE.txt", "rb").read() == open(license, "rb").read().replace(b"\n", b"\r\n")
PY

# The program file.
exe="$app/vantor.exe"
size=$(stat -c %s "$exe")
[ "$size" -le 300000 ] || fail "vantor.exe is $size bytes"
headers="$(x86_64-w64-mingw32-objdump -p "$exe")" || fail "objdump"
grep -q "^Time/Date.*1970$" <<<"$headers" || fail "link time stamp: $(grep ^Time/Date <<<"$headers")"
dlls="$(sed -n 's/^\s*DLL Name: //p' <<<"$headers" | tr 'A-Z' 'a-z' | sort | tr '\n' ' ')"
echo "vantor.exe: $size bytes, imports $dlls"
for dll in $dlls; do
    case "$dll" in
        kernel32.dll | user32.dll | gdi32.dll | advapi32.dll | shell32.dll | comctl32.dll | \
            comdlg32.dll | ole32.dll | msvcrt.dll | psapi.dll) ;;
        *) fail "imports $dll" ;;
    esac
done

# Reproducible: the same inputs pack to the same bytes, and the .sha256 says so.
python3 "$ROOT/tools/release/pack.py" "@$BUILD/release/dist-inputs.txt" \
    --out "$work/repacked/$(basename "$zip")" >/dev/null || fail "second packing"
cmp "$zip" "$work/repacked/$(basename "$zip")" || fail "a second packing differs"
[ "$(sha256sum "$zip" | cut -d' ' -f1)" = "$(cut -d' ' -f1 "$zip.sha256")" ] || fail "$zip.sha256"

# Under Wine. Each case ends the program through its Exit command; the exit
# code is the program's.
printf 'cpus 1\n37\n' >"$work/load.txt"
export VANTOR_RELEASE_DIR VANTOR_PROVIDER_SCRIPT
VANTOR_RELEASE_DIR="$(winepath -w "$app")"
VANTOR_PROVIDER_SCRIPT="$(winepath -w "$work/load.txt")"
run_case() { # LANG CASE
    LANG=$1 wine "$exe" &
    app_pid=$!
    wine "$checker" --gtest_filter="Release.$2" || fail "$2"
    local i
    for i in $(seq 1 150); do
        kill -0 "$app_pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$app_pid" 2>/dev/null && { fail "$2: vantor.exe still runs"; return; }
    wait "$app_pid"
    local code=$?
    app_pid=
    [ "$code" = 0 ] || fail "$2: vantor.exe ended with $code"
}
[ ! -e "$app/vantor.ini" ] || fail "vantor.ini before the first start"
run_case ja_JP.UTF-8 FirstStartVersionAndExit
run_case en_US.UTF-8 CaptionTextReadsRightInAnEnglishLocale

[ "$failures" = 0 ] || { echo "$failures failure(s)" >&2; exit 1; }
echo "release zip: all checks passed"
