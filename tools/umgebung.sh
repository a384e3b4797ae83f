# Shared settings of the scripts in tools/: where the cache lives and how Wine is run.
# Sourced, not executed.
LADEWERK_CACHE=${LADEWERK_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/ladewerk}
LADEWERK_DEPS="$LADEWERK_CACHE/mingw64"
LADEWERK_LOCPATH="$LADEWERK_CACHE/locale"
export LADEWERK_CACHE LADEWERK_DEPS LADEWERK_LOCPATH
