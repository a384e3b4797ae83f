#!/usr/bin/env bash
# Prepares the Wine prefix that every test run starts from as a copy (booting a new prefix
# takes about ten seconds, copying one about one).
#
#   wine-vorlage.sh FOLDER
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=tools/wine-env.sh
source "$here/wine-env.sh"

ziel=$1
# A template from before the fonts were copied in is made again.
[ -f "$ziel/system.reg" ] && [ -f "$ziel/.fertig" ] && [ -f "$ziel/drive_c/windows/Fonts/tahoma.ttf" ] && exit 0
rm -rf "$ziel"
mkdir -p "$(dirname "$ziel")"
xvfb_pid=""
neu=""
trap '[ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null; [ -n "$neu" ] && rm -rf "$neu"' EXIT
xvfb_starten
# Wine boots only in a folder that the user running it owns. A build tree on a shared or
# mapped mount may look foreign to it, so the prefix is booted in the temp folder and moved.
anlegen() {
    neu=$(mktemp -d "${TMPDIR:-/tmp}/ladewerk-vorlage.XXXXXX")
    wine_prefix_anlegen "$neu" && prefix_abschotten "$neu"
}
if ! anlegen; then
    rm -rf "$neu"
    echo "wine-vorlage: zweiter Versuch" >&2
    sleep 2
    anlegen
fi
# Marked finished only after the move, so that a move cut short is made again next time.
mv "$neu" "$ziel"
neu=""
touch "$ziel/.fertig"
