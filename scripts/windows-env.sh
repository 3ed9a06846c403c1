# Sourced by build-windows.sh and scripts/windows-tests.sh: what a Windows cross build needs.
#   windows_prepare       installs the cross compiler and Wine, builds OpenSSL once into its
#                         cache (scripts/openssl-mingw.sh) and sets openssl_mingw to its prefix
#   wine_ready            sets up the private Wine prefix once (WINEPREFIX, kept outside the clone)
#   windows_configure DIR [CMAKE ARGS...]   configures a cross build in DIR
#   timed NAME COMMAND... runs COMMAND and prints how long it took
# Caches live in WORTSAMMLER_CACHE (default /var/cache/wortsammler), so that a fresh clone on the
# same machine builds OpenSSL and makes the Wine prefix only once.

source "$(dirname "${BASH_SOURCE[0]}")/install-deps.sh"

: "${WORTSAMMLER_CACHE:=/var/cache/wortsammler}"
export WINEPREFIX=${WINEPREFIX:-$WORTSAMMLER_CACHE/wine}
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko: nothing here needs .NET or a browser, and their installers would ask.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

timed() {  # name command...: runs the command, then says how long it took
  local name=$1 start tenths status=0
  shift
  start=$(date +%s%N)
  "$@" || status=$?
  tenths=$((($(date +%s%N) - start) / 100000000))
  printf '== %s: %d.%d s%s\n' "$name" $((tenths / 10)) $((tenths % 10)) \
    "$([ "$status" -eq 0 ] || echo " (failed, exit code $status)")"
  return "$status"
}

windows_prepare() {
  install_deps windows
  openssl_mingw=$(OPENSSL_MINGW_CACHE=$WORTSAMMLER_CACHE/openssl-mingw \
                  "$(dirname "${BASH_SOURCE[0]}")/openssl-mingw.sh" | tail -n 1)
}

wine_ready() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$(dirname "$WINEPREFIX")"
    wine wineboot --init >/dev/null 2>&1
    wineserver -w
  fi
}

# The cross compiler's objects are cached too (ccache, paths taken relative to the clone), so a
# fresh clone on the same machine compiles only what changed.
export CCACHE_DIR=${CCACHE_DIR:-$WORTSAMMLER_CACHE/ccache-mingw}
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD}
export CCACHE_NOHASHDIR=1

windows_configure() {  # dir [cmake args...]
  local dir=$1
  shift
  cmake -S . -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_CXX_COMPILER_LAUNCHER=ccache \
    -DWORTSAMMLER_OPENSSL_MINGW="$openssl_mingw" -DWORTSAMMLER_BENCHMARKS=OFF \
    -DCMAKE_BUILD_TYPE=Release -DWORTSAMMLER_WERROR=ON "$@" >/dev/null
}
