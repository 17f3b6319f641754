# Shared by ./run, ./test and the bench scripts: paths and small helpers.
# shellcheck shell=bash
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
BUILD="$ROOT/build"
export WINEPREFIX="$BUILD/wineprefix"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEARCH=win64
export LANG=ja_JP.UTF-8
# Never let Wine offer to install Mono or Gecko: the bench needs neither.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

say() { printf '\033[1m==> %s\033[0m\n' "$*"; }
step_time() { date +%s; }

as_root() {
    if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi
}
