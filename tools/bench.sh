#!/usr/bin/env bash
# Benchmarks Ladewerk's ZIP adapters against Info-ZIP: sets everything up, builds the bench
# program, runs it under Wine side by side with native `zip -9 -j -q` and `unzip -j -o -q` on
# the same files, and prints one row per corpus and operation. Not part of the tests.
#
#   tools/bench.sh [--corpus DIR]... [--large] [--runs N]
#
# Without --corpus the corpora are generated (into build/bench, never into the tree);
# --large adds the 5 GiB sparse file.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/.." && pwd)

korpora=()
gross=""
runden=3
while [ $# -gt 0 ]; do
    case "$1" in
        --corpus) korpora+=("$(cd "$2" && pwd)"); shift 2 ;;
        --large) gross=--large; shift ;;
        --runs) runden=$2; shift 2 ;;
        *) echo "bench: unbekanntes Argument $1" >&2; exit 2 ;;
    esac
done

"$here/bootstrap.sh"
# shellcheck source=tools/wine-env.sh
source "$here/wine-env.sh"
cd "$top"
cmake --preset mingw >/dev/null
cmake --build --preset mingw --target lwbench -j"$(nproc)" >/dev/null

arbeit="$top/build/bench"
mkdir -p "$arbeit"
if [ ${#korpora[@]} -eq 0 ]; then
    rm -rf "$arbeit/korpora"
    python3 "$top/bench/korpora.py" "$arbeit/korpora" $gross
    for k in mixed media klein ${gross:+gross}; do korpora+=("$arbeit/korpora/$k"); done
elif [ -n "$gross" ]; then
    rm -rf "$arbeit/korpora-gross"
    python3 "$top/bench/korpora.py" "$arbeit/korpora-gross" --only-large
    korpora+=("$arbeit/korpora-gross/gross")
fi

# One prefix for the whole run, thrown away at the end. It lives in the temp folder because
# Wine refuses a prefix in a build tree that looks foreign to it (a shared or mapped mount).
export WINEPREFIX
WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/ladewerk-bench.XXXXXX")
xvfb_pid=""
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$WINEPREFIX"; [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null' EXIT
xvfb_starten
wine_prefix_anlegen "$WINEPREFIX"
wineserver -p >/dev/null 2>&1
python3 "$top/bench/bench.py" "$top/build/mingw/bench/lwbench.exe" "$arbeit" "$runden" "${korpora[@]}"
