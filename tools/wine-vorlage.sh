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
mkdir -p "$ziel"
xvfb_pid=""
xvfb_starten
trap '[ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null' EXIT
wine_prefix_anlegen "$ziel"
prefix_abschotten "$ziel"
touch "$ziel/.fertig"
