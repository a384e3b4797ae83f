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

# Starts a private Xvfb when there is no display; sets DISPLAY and xvfb_pid.
xvfb_starten() {
    [ -n "${DISPLAY:-}" ] && return 0
    local fifo nummer
    fifo=$(mktemp -u "${TMPDIR:-/tmp}/ladewerk-xvfb.XXXXXX")
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$fifo" >/dev/null 2>&1 &
    xvfb_pid=$!
    read -r nummer <"$fifo"
    rm -f "$fifo"
    export DISPLAY=":$nummer"
}

# Boots a new prefix and sets what tests and users want from it: no crash dialog that waits
# for a click, and no 2 s delay per closing dialog on a display without a window manager.
wine_prefix_anlegen() {
    local prefix=$1
    WINEPREFIX="$prefix" wineboot -i >/dev/null 2>&1
    WINEPREFIX="$prefix" wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    WINEPREFIX="$prefix" wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    WINEPREFIX="$prefix" wineserver -w
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
