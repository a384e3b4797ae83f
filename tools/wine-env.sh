# Wine settings shared by the run and test scripts. Sourced, not executed.
here_env=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=tools/umgebung.sh
source "$here_env/umgebung.sh"

export WINEDEBUG=${WINEDEBUG:--all}
WINE_SCHRIFTEN=/usr/share/wine/fonts
# No Mono or Gecko installer prompts when a prefix is created. A test adds its own overrides
# through LADEWERK_DLLOVERRIDES (for example a stand-in DLL beside the test program).
export WINEDLLOVERRIDES="mscoree,mshtml=${LADEWERK_DLLOVERRIDES:+;$LADEWERK_DLLOVERRIDES}"
export LOCPATH="$LADEWERK_LOCPATH"
# bash itself cannot load the private locale and would warn about it; Wine can.
{ export LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8; } 2>/dev/null

# Starts a private Xvfb when there is no display or the one set does not answer; sets DISPLAY
# and xvfb_pid. A server that dies at once (a display lock of another run, a crowded machine)
# gets two more tries; after that the caller is told why instead of failing without a word.
xvfb_starten() {
    [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1 && return 0
    local fifo nummer protokoll versuch
    protokoll=$(mktemp "${TMPDIR:-/tmp}/ladewerk-xvfb.XXXXXX")
    for versuch in 1 2 3; do
        fifo=$(mktemp -u "${TMPDIR:-/tmp}/ladewerk-xvfb.XXXXXX")
        mkfifo "$fifo"
        Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$fifo" >"$protokoll" 2>&1 &
        xvfb_pid=$!
        nummer=""
        read -r nummer <"$fifo" || true
        rm -f "$fifo"
        if [ -n "$nummer" ]; then
            rm -f "$protokoll"
            export DISPLAY=":$nummer"
            return 0
        fi
        wait "$xvfb_pid" 2>/dev/null || true
        xvfb_pid=""
        [ "$versuch" -lt 3 ] && sleep 1
    done
    echo "Xvfb ließ sich nicht starten:" >&2
    cat "$protokoll" >&2
    rm -f "$protokoll"
    return 1
}

# Boots a new prefix and sets what tests and users want from it: no crash dialog that waits
# for a click, and no 2 s delay per closing dialog on a display without a window manager.
# Wine's own words go to a log that is shown only when a step fails.
wine_prefix_anlegen() {
    local prefix=$1 protokoll
    protokoll=$(mktemp "${TMPDIR:-/tmp}/ladewerk-wineboot.XXXXXX")
    if ! {
        WINEPREFIX="$prefix" wineboot -i &&
        WINEPREFIX="$prefix" wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f &&
        WINEPREFIX="$prefix" wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f &&
        WINEPREFIX="$prefix" wineserver -w
    } >"$protokoll" 2>&1; then
        echo "Wine ließ sich in $prefix nicht einrichten:" >&2
        tail -n 30 "$protokoll" >&2
        ls -ld "$prefix" >&2 2>&1 || true
        echo "Benutzer: $(id)" >&2
        WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1 || true
        rm -f "$protokoll"
        return 1
    fi
    rm -f "$protokoll"
    schriften_kopieren "$prefix"
}

# Wine's own fonts (Tahoma among them) into the prefix's font folder: otherwise a window that
# asks for "Tahoma" gets whatever the X server substitutes, in tests and screenshots alike.
schriften_kopieren() {
    local fonts="$1/drive_c/windows/Fonts"
    [ -d "$WINE_SCHRIFTEN" ] || return 0
    mkdir -p "$fonts"
    cp -L "$WINE_SCHRIFTEN"/*.ttf "$fonts/" 2>/dev/null || true
}

# Test prefixes get real folders in place of Wine's links from the shell folders (Desktop,
# Documents, ...) to the home folder, so that no test can reach the developer's own files
# through them.
prefix_abschotten() {
    local link
    find "$1/drive_c/users" -mindepth 2 -maxdepth 2 -type l -print0 | while IFS= read -r -d '' link; do
        rm -f "$link" && mkdir -p "$link"
    done
}
