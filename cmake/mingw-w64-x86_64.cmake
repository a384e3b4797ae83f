# Cross-build for 64-bit Windows with Debian's mingw-w64 (posix thread model).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_triplet x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${_triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${_triplet}-windres)

# libzip and the other cross-built dependencies live in the bootstrap cache.
if(NOT LADEWERK_DEPS)
  if(DEFINED ENV{LADEWERK_DEPS})
    set(LADEWERK_DEPS "$ENV{LADEWERK_DEPS}")
  elseif(DEFINED ENV{XDG_CACHE_HOME})
    set(LADEWERK_DEPS "$ENV{XDG_CACHE_HOME}/ladewerk/mingw64")
  else()
    set(LADEWERK_DEPS "$ENV{HOME}/.cache/ladewerk/mingw64")
  endif()
endif()
set(LADEWERK_DEPS "${LADEWERK_DEPS}" CACHE PATH "Prefix of the cross-built dependencies")

# The cache first: its zlib is an optimised build of the one the system offers.
set(CMAKE_FIND_ROOT_PATH "${LADEWERK_DEPS}" /usr/${_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
