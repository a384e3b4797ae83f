#!/usr/bin/env bash
# Runs one Windows test program under Wine in a throwaway prefix of its own, with a German
# UTF-8 locale and an X display (a private Xvfb when none is set). CTest uses this as the
# emulator for every test; the exit code is the program's, except that a GoogleTest program
# that ends before GoogleTest has finished fails whatever its exit code.
#
#   wine-run.sh PROGRAM.exe [ARGS...]
#
# LADEWERK_WINE_VORLAGE names a prepared prefix that is copied instead of booting a new one.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=tools/wine-env.sh
source "$here/wine-env.sh"

prefix=$(mktemp -d "${TMPDIR:-/tmp}/ladewerk-wine.XXXXXX")
xvfb_pid=""
aufräumen() {
    WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$prefix"
}
trap aufräumen EXIT

if [ -n "${LADEWERK_WINE_VORLAGE:-}" ] && [ -f "$LADEWERK_WINE_VORLAGE/system.reg" ]; then
    # Copied as the current user: Wine refuses a prefix that someone else owns.
    cp -dR --preserve=mode,timestamps "$LADEWERK_WINE_VORLAGE/." "$prefix/"
else
    wine_prefix_anlegen "$prefix"
    prefix_abschotten "$prefix"
fi
export WINEPREFIX="$prefix"
# The recycle bin under Wine is the desktop's Trash below XDG_DATA_HOME: each test gets its own,
# so that what a test throws away never lands in the developer's Trash and tests can look into it.
export XDG_DATA_HOME="$prefix/xdg-data"
mkdir -p "$XDG_DATA_HOME"
# GoogleTest creates this file when it starts and removes it when it has finished. A program
# that ends the process in the middle of its run takes the tests after it along and may still
# exit with 0; the file it leaves behind tells. The program reads the path through drive Z:.
unfertig="$prefix/gtest-unfertig"
export TEST_PREMATURE_EXIT_FILE="Z:${unfertig//\//\\}"
# GoogleTest's own verdict, for telling a failed test from Wine's loader failing after the end.
ergebnis="$prefix/gtest-ergebnis.xml"
export GTEST_OUTPUT="xml:Z:${ergebnis//\//\\}"
xvfb_starten || exit 1
# The program's current folder is the throwaway prefix, so that a relative path in a test can
# never reach the checkout the test was started from.
program=$(realpath "$1")
shift
cd "$prefix"
status=0
wine "$program" "$@" 2>"$prefix/stderr" || status=$?
cat "$prefix/stderr" >&2
# Now and then Wine's Unix loader trips over an assertion of its own while the process ends
# (glibc's dl-fini.c), after every test ran and passed. That is no verdict on the program.
if [ "$status" -ne 0 ] && [ ! -e "$unfertig" ] && grep -q 'Inconsistency detected by ld.so: dl-fini.c' "$prefix/stderr" &&
   head -n 3 "$ergebnis" 2>/dev/null | grep -qE '<testsuites tests="[1-9][0-9]*" failures="0" disabled="[0-9]+" errors="0"'; then
    echo "wine-run: Wines Lader scheiterte nach dem Ende des Programms; alle Tests liefen und bestanden" >&2
    status=0
fi
if [ -e "$unfertig" ]; then
    echo "wine-run: $(basename "$program") hat sich mitten im Testlauf beendet (Exit-Code $status)," \
         "die Tests danach liefen nicht" >&2
    [ "$status" -ne 0 ] || status=1
fi
exit "$status"
