#!/usr/bin/env bash
# Installs what the build and the Wine bench need, only when something is missing.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

PACKAGES=(cmake ninja-build g++ clang-14 libclang-rt-14-dev googletest libbenchmark-dev
          g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 wine wine64 xvfb xauth
          imagemagick xdotool x11-utils locales fonts-ipafont-gothic python3)

missing=()
for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    say "installing packages: ${missing[*]}"
    as_root env DEBIAN_FRONTEND=noninteractive apt-get update -q
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q \
        "${missing[@]}" </dev/null
else
    say "packages: all present"
fi

# Wine takes each process's code page from LANG: 932 from the Japanese UTF-8
# locale that the bench uses. The release test also runs the program with
# LANG=en_US.UTF-8 (code page 1252), which should be a locale that exists.
for loc in ja_JP en_US; do
    if ! locale -a 2>/dev/null | grep -qi "^$loc\.utf-\?8$"; then
        say "generating the $loc.UTF-8 locale"
        as_root sed -i "s/^# *\($loc.UTF-8 UTF-8\)/\1/" /etc/locale.gen
        grep -q "^$loc.UTF-8 UTF-8" /etc/locale.gen || echo "$loc.UTF-8 UTF-8" | as_root tee -a /etc/locale.gen >/dev/null
        as_root locale-gen >/dev/null
    fi
done
