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

# The release zip that the release build made (its name carries the version).
release_zip() {
    local version
    version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$BUILD/release/CMakeCache.txt")"
    local zip="$BUILD/dist/vantor-$version-x64.zip"
    [ -n "$version" ] && [ -f "$zip" ] && [ -f "$zip.sha256" ] || {
        echo "no release zip for version '$version' in $BUILD/dist" >&2
        return 1
    }
    echo "$zip"
}
