#!/usr/bin/env bash
# Plants the faults listed in tools/fehlerprobe.txt into the code one at a time, builds, runs
# the tests named for each fault and says whether they caught it. Every file is put back as it
# was after its fault, also on Ctrl-C or an error, so that no fault ever stays in the tree.
#
#   tools/fehlerprobe.sh [--nur-pruefen] [ID...]
#
# Without IDs every fault of the catalogue is tried. --nur-pruefen builds and runs nothing; it
# only tells which catalogue entries still fit the code. The log of each fault goes to
# build/fehlerprobe/ID.log.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/.." && pwd)
katalog=${FEHLERPROBE_KATALOG:-$here/fehlerprobe.txt}

nurPruefen=""
if [ "${1:-}" = --nur-pruefen ]; then nurPruefen=1; shift; fi
gewuenscht=("$@")

# shellcheck source=tools/umgebung.sh
source "$here/umgebung.sh"
cd "$top" || exit 1
# Code is full of "&&"; with this option bash would put the found text in place of every "&".
shopt -u patsub_replacement 2>/dev/null || true
protokolle="$top/build/fehlerprobe"
mkdir -p "$protokolle"

# --- The catalogue: blocks of "[ID]" followed by "feld: wert" lines -----------------------------

ids=() dateien=() tests=() finden=() ersetzen=()
while IFS= read -r zeile || [ -n "$zeile" ]; do
    case "$zeile" in
        '#'* | '') ;;
        '['*']') ids+=("${zeile:1:${#zeile}-2}"); dateien+=(""); tests+=(""); finden+=(""); ersetzen+=("") ;;
        datei:\ *) dateien[-1]=${zeile#datei: } ;;
        tests:\ *) tests[-1]=${zeile#tests: } ;;
        finde:\ *) finden[-1]=${zeile#finde: } ;;
        ersetze:\ *) ersetzen[-1]=${zeile#ersetze: } ;;
        was:\ *) ;;
        *) echo "fehlerprobe: unverständliche Zeile im Katalog: $zeile" >&2; exit 2 ;;
    esac
done <"$katalog"

# --- Planting and putting back ------------------------------------------------------------------

sicherung=$(mktemp "${TMPDIR:-/tmp}/fehlerprobe.XXXXXX")
# A signal may arrive while the output goes to a fault's log; what the traps say goes here.
exec 3>&2
gepflanzt=""  # the file that holds a fault right now

zurücklegen() {
    [ -n "$gepflanzt" ] || return 0
    # A plain copy gives the file a new time stamp, so the next build compiles it again and no
    # object built with the fault survives.
    cp "$sicherung" "$gepflanzt"
    if ! cmp -s "$sicherung" "$gepflanzt"; then
        echo "fehlerprobe: '$gepflanzt' ließ sich nicht zurücklegen, die Sicherung liegt in $sicherung" >&3
        exit 3
    fi
    gepflanzt=""
}
trap 'zurücklegen; rm -f "$sicherung"' EXIT
trap 'echo "fehlerprobe: abgebrochen; build/mingw ist erst nach dem nächsten Bauen wieder ohne Fehler" >&3; exit 130' INT TERM

# How often text occurs in the file.
vorkommen() {
    local inhalt=$1 text=$2 rest
    rest=${inhalt//"$text"/}
    echo $(((${#inhalt} - ${#rest}) / ${#text}))
}

# Plants fault i; fails when its text does not occur exactly once.
pflanzen() {
    local i=$1 datei=${dateien[$1]} inhalt
    [ -f "$datei" ] && [ -n "${finden[$i]}" ] || return 1
    inhalt=$(cat "$datei"; printf x)
    inhalt=${inhalt%x}
    [ "$(vorkommen "$inhalt" "${finden[$i]}")" -eq 1 ] || return 1
    [ -n "$nurPruefen" ] && return 0
    cp "$datei" "$sicherung"
    gepflanzt=$datei
    printf '%s' "${inhalt/"${finden[$i]}"/"${ersetzen[$i]}"}" >"$datei"
}

bauen() { cmake --build --preset mingw -j2; }

# The tests a fault names; "alle" is the whole suite.
auswahl() { [ "$1" = alle ] || printf '%s\n' -R "$1"; }

# True when the regular expression names at least one test of the build tree.
testsVorhanden() {
    local liste
    mapfile -t liste < <(auswahl "$1")
    ! ctest --preset mingw -N "${liste[@]}" 2>/dev/null | grep -q '^Total Tests: 0$'
}

testen() {
    local liste
    mapfile -t liste < <(auswahl "$1")
    ctest --preset mingw "${liste[@]}"
}

# --- The run ------------------------------------------------------------------------------------

# Files without changes of their own must be exactly so at the end.
sauber=()
for datei in $(printf '%s\n' "${dateien[@]}" | sort -u); do
    git diff --quiet -- "$datei" 2>/dev/null && sauber+=("$datei")
done

if [ -z "$nurPruefen" ]; then
    cmake --preset mingw >/dev/null
    if ! bauen >"$protokolle/ohne-fehler.log" 2>&1; then
        echo "fehlerprobe: der Baum baut schon ohne Fehler nicht, siehe $protokolle/ohne-fehler.log" >&2
        exit 1
    fi
fi

gefangen=0 anwendbar=0 nichtAnwendbar=0 bautNicht=0
for i in "${!ids[@]}"; do
    id=${ids[$i]}
    if [ ${#gewuenscht[@]} -gt 0 ] && [[ ! " ${gewuenscht[*]} " == *" $id "* ]]; then continue; fi
    if ! testsVorhanden "${tests[$i]}" || ! pflanzen "$i"; then
        ergebnis="nicht anwendbar"; nichtAnwendbar=$((nichtAnwendbar + 1))
    elif [ -n "$nurPruefen" ]; then
        ergebnis="anwendbar"
    else
        protokoll="$protokolle/$id.log"
        if ! bauen >"$protokoll" 2>&1; then
            ergebnis="baut nicht"; bautNicht=$((bautNicht + 1))
        elif testen "${tests[$i]}" >>"$protokoll" 2>&1; then
            ergebnis="NICHT gefangen"; anwendbar=$((anwendbar + 1))
        else
            ergebnis="gefangen"; anwendbar=$((anwendbar + 1)); gefangen=$((gefangen + 1))
        fi
        zurücklegen
    fi
    printf '%-28s %s\n' "$id" "$ergebnis"
done

[ -n "$nurPruefen" ] && exit 0
# The build tree gets the code without faults back.
bauen >"$protokolle/ohne-fehler.log" 2>&1 || echo "fehlerprobe: der Bau ohne Fehler scheiterte am Ende" >&2
for datei in "${sauber[@]}"; do
    git diff --quiet -- "$datei" || echo "fehlerprobe: Achtung, '$datei' weicht vom Stand in Git ab" >&2
done
echo "Gefangen: $gefangen von $anwendbar anwendbaren Fehlern ($nichtAnwendbar nicht anwendbar, $bautNicht bauen nicht)"
