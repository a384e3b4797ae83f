#!/usr/bin/env bash
# Sets everything up, builds Ladewerk and starts it under Wine. Arguments go to the program as
# its command line; a Linux path to an existing file is handed over as its Windows path.
#
#   tools/run.sh [PAKET.lwx]
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/.." && pwd)

"$here/bootstrap.sh"
# shellcheck source=tools/umgebung.sh
source "$here/umgebung.sh"
exe="$top/build/mingw/src/app/ladewerk.exe"
if [ ! -f "$exe" ]; then
    echo "run: Ladewerk wird jetzt einmal gebaut; das dauert beim ersten Start einige Minuten, danach startet es sofort." >&2
fi
cmake --preset mingw -S "$top" >/dev/null
# The build's own lines ("[ 42%] Building ...") are its progress; after the first start only
# what changed is built again.
cmake --build --preset mingw -j"$(nproc)" --target ladewerk >&2

# shellcheck source=tools/wine-env.sh
source "$here/wine-env.sh"
# The program keeps no settings, so one prefix for all manual runs is enough.
export WINEPREFIX=${WINEPREFIX:-$LADEWERK_CACHE/wineprefix}
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "run: lege die Wine-Umgebung an (einmalig, etwa zehn Sekunden) ..." >&2
    wine_prefix_anlegen "$WINEPREFIX"
fi
xvfb_pid=""
if [ -z "${DISPLAY:-}" ]; then
    xvfb_starten
    echo "run: kein Bildschirm gesetzt, Ladewerk läuft auf dem virtuellen Bildschirm $DISPLAY" >&2
fi

argumente=()
for a in "$@"; do
    if [ -e "$a" ]; then argumente+=("$(winepath -w "$a" 2>/dev/null)"); else argumente+=("$a"); fi
done
status=0
wine "$exe" "${argumente[@]}" || status=$?
[ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
exit $status
