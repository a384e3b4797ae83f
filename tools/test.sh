#!/usr/bin/env bash
# Sets everything up, builds Ladewerk with its tests and runs all of them under Wine.
# Extra arguments go to ctest (for example -R Fortschritt).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/.." && pwd)

"$here/bootstrap.sh"
# shellcheck source=tools/umgebung.sh
source "$here/umgebung.sh"
cd "$top"
cmake --preset mingw >/dev/null
cmake --build --preset mingw -j"$(nproc)"
ctest --preset mingw "$@"
