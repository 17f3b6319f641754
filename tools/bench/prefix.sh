# shellcheck shell=bash
# Sourced: makes the bench's Wine prefix in build/wineprefix (never ~/.wine),
# once; re-registers the processor-data provider when its path or this script
# changed. The provider DLL must have been built first. Beside it,
# build/wineprefix-plain is the same prefix without the provider: Wine as a
# user has it, with no processor object in the performance data.
PROVIDER_DLL="$BUILD/windows/tools/perfprovider/vantorperf.dll"
PLAIN_PREFIX="$BUILD/wineprefix-plain"

ensure_prefix() {
    local stamp="$WINEPREFIX/.vantor-stamp"
    local want
    want="$(sha1sum "${BASH_SOURCE[0]}" | cut -c1-12) $PROVIDER_DLL"
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        say "creating the Wine prefix ${WINEPREFIX#"$ROOT"/} (once, about 20 s)"
        mkdir -p "$WINEPREFIX"
        wineboot -i >/dev/null 2>&1 || true
        # A persistent server left by another run never ends by itself.
        timeout 30 wineserver -w || wineserver -k
    fi
    if [ "$(cat "$stamp" 2>/dev/null)" != "$want" ]; then
        say "registering the processor-data provider and the Japanese font substitutes"
        local winpath key subst
        winpath="$(winepath -w "$PROVIDER_DLL" 2>/dev/null)"
        key='HKLM\System\CurrentControlSet\Services\VantorPerf\Performance'
        wine reg add "$key" /v Library /t REG_SZ /d "$winpath" /f >/dev/null
        wine reg add "$key" /v Open /t REG_SZ /d OpenPerfData /f >/dev/null
        wine reg add "$key" /v Collect /t REG_SZ /d CollectPerfData /f >/dev/null
        wine reg add "$key" /v Close /t REG_SZ /d ClosePerfData /f >/dev/null
        subst='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes'
        local face
        for face in "MS PGothic" "ＭＳ Ｐゴシック" "MS Pゴシック" "MS Gothic" "ＭＳ ゴシック" \
                    "MS UI Gothic" "MS Shell Dlg" "MS Shell Dlg 2"; do
            wine reg add "$subst" /v "$face" /t REG_SZ /d "IPAPGothic" /f >/dev/null
        done
        # The memory line asks for a fixed-pitch face.
        wine reg add "$subst" /v "SimSun" /t REG_SZ /d "IPAGothic" /f >/dev/null
        # Xvfb runs no window manager: Wine would wait about 2 s for one on
        # every hide of a managed window (the stand-alone tray's among them,
        # so every program exit). Unmanaged windows are hidden at once.
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null
        # A persistent server left by another run never ends by itself.
        timeout 30 wineserver -w || wineserver -k
        echo "$want" >"$stamp"
    fi
    ensure_plain_prefix "$want"
}

# A copy of the bench's prefix, taken while no server runs on it, without
# the provider's key: far quicker than a second wineboot. Made again when
# this script changed.
ensure_plain_prefix() {
    local want="$1" stamp="$PLAIN_PREFIX/.vantor-stamp"
    [ "$(cat "$stamp" 2>/dev/null)" = "$want" ] && return 0
    say "copying the prefix without the processor-data provider to build/wineprefix-plain"
    rm -rf "$PLAIN_PREFIX"
    cp -a "$WINEPREFIX" "$PLAIN_PREFIX" || return 1
    rm -f "$PLAIN_PREFIX/.vantor-stamp"
    WINEPREFIX="$PLAIN_PREFIX" wine reg delete \
        'HKLM\System\CurrentControlSet\Services\VantorPerf' /f >/dev/null || return 1
    WINEPREFIX="$PLAIN_PREFIX" timeout 30 wineserver -w || WINEPREFIX="$PLAIN_PREFIX" wineserver -k
    echo "$want" >"$stamp"
}

start_wineserver() {
    say "starting a persistent wineserver for this run"
    wineserver -p
    WINESERVER_STARTED=1
    # Wine's services (winedevice and friends) start with the first program
    # and live as long as the server. Started here, they cannot inherit the
    # output pipes of a test, which would keep ctest waiting for their end.
    wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}

stop_wineserver() {
    if [ -n "${WINESERVER_STARTED:-}" ]; then
        wineserver -k 2>/dev/null || true
        WINESERVER_STARTED=
    fi
    # A test in the plain prefix that was killed leaves its server behind.
    WINEPREFIX="$PLAIN_PREFIX" wineserver -k 2>/dev/null || true
}
