#!/usr/bin/env bash
# Counts the lines of code and of tests (non-blank, non-comment, tracked files only) and says
# how large the tests are against the code. The window driver counts as test code: it exists
# only for the tests.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

zählen() {
    local c s
    c=$(git ls-files "$@" | grep -E '\.(cpp|cc|h|hpp|c|rc)$' | tr '\n' '\0' |
        xargs -0 -r cat | grep -cvE '^\s*(//.*)?$' || true)
    s=$(git ls-files "$@" | grep -E '\.(py|sh|cmake)$|CMakeLists.txt$' | tr '\n' '\0' |
        xargs -0 -r cat | grep -cvE '^\s*(#.*)?$' || true)
    echo $(( ${c:-0} + ${s:-0} ))
}

code=$(zählen src)
tests=$(zählen tests)
treiber=$(zählen tools/lwtreiber)
printf 'src/                  %6d\n' "$code"
printf 'tests/                %6d\n' "$tests"
printf 'tools/lwtreiber/      %6d\n' "$treiber"
printf 'Tests zu Code:        %5d %%\n' $(( 100 * (tests + treiber) / code ))
