# Sourced by test.sh and run.sh: installs the Debian packages that are missing.
#   install_deps build   what building and testing needs
#   install_deps run     what building and running the crawler in a window needs
#   install_deps tour    what the tour on a virtual display needs besides (./run.sh --tour)
#   install_deps fuzz    what building the fuzz targets needs (fuzz/run.sh): clang and libFuzzer
#   install_deps windows what the Windows cross build and its tests under Wine need
#                        (build-windows.sh, scripts/windows-tests.sh)

deps_build=(cmake ninja-build g++ libgtest-dev libgmock-dev libbenchmark-dev
            libsdl2-dev libx11-dev xvfb xdotool imagemagick x11-utils python3 curl locales fortunes-de
            libssl-dev openssl ca-certificates clang libclang-rt-dev)
# The configure step looks for the test and benchmark libraries even when only the
# crawler and the stand-in server are built.
deps_run=(cmake ninja-build g++ libsdl2-dev libx11-dev libgtest-dev libgmock-dev libbenchmark-dev
          libssl-dev ca-certificates)
deps_tour=(xvfb xdotool imagemagick python3)
# libFuzzer comes with clang's runtime libraries, which clang only recommends.
deps_fuzz=(clang libclang-rt-dev)
# The cross compiler with POSIX threads (std::thread), GoogleTest's sources to build with it,
# dpkg-dev for `apt-get source openssl` (scripts/openssl-mingw.sh), Wine and a virtual display
# to run the results, ccache for builds from fresh clones, zip for the package.
deps_windows=(cmake ninja-build g++-mingw-w64-x86-64-posix googletest dpkg-dev wine64 wine
              xvfb xdotool imagemagick python3 openssl ccache zip)

install_deps() {
  local -n wanted="deps_$1"
  local missing=()
  for pkg in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" \
      || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing missing packages: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# A German locale lets the tests prove that no number text depends on the locale.
ensure_german_locale() {
  locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$' && return 0
  localedef -i de_DE -f UTF-8 de_DE.UTF-8 2>/dev/null || true
}
