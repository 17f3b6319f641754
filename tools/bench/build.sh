# shellcheck shell=bash
# Sourced: configure (once) and build a preset; ninja rebuilds only what is stale.
build_preset() {
    local preset=$1 dir="$BUILD/$1"
    if [ ! -f "$dir/build.ninja" ]; then
        say "configuring the $preset build in build/$preset"
        cmake --preset "$preset" -S "$ROOT" >/dev/null
    fi
    say "building $preset"
    cmake --build "$dir"
}
