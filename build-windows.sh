#!/usr/bin/env bash
# Builds the Windows program from Debian: installs the cross compiler (mingw-w64, POSIX threads)
# and what else is missing, builds OpenSSL for Windows once into a cache outside the clone
# (scripts/openssl-mingw.sh), cross-builds wortsammler.exe for the default profile
# (build-windows-release/) and for the https profile (build-windows-live/), and packs both with
# README-windows.txt into dist/wortsammler-windows-x86_64.zip. Static: no DLLs.
#
#   ./build-windows.sh [https://HOST[:PORT]]
#
# The https profile's host defaults to ARTICLE_HTTPS_HOST; with neither, only the default profile
# is built. ARTICLE_USER_AGENT names the https build's contact, as for ./run.sh --live.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/windows-env.sh

live_host=${1:-${ARTICLE_HTTPS_HOST:-}}
if [ -n "$live_host" ]; then
  shopt -s nocasematch
  [[ $live_host =~ ^https://[^/\"\\[:space:]]+$ ]] || {
    echo "build-windows.sh: the https host must look like https://HOST[:PORT]" >&2; exit 2; }
  shopt -u nocasematch
fi
jobs=$(nproc)

timed "windows: packages and OpenSSL" windows_prepare

build_profile() {  # dir cmake-args...: configures a cross build in dir and builds the program
  local dir=$1
  shift
  windows_configure "$dir" "$@"
  cmake --build "$dir" -j "$jobs" --target wortsammler
}

timed "windows: default profile (build-windows-release/)" \
  build_profile build-windows-release -DARTICLE_HOST=127.0.0.1:8080
exes=(build-windows-release/wortsammler.exe)
if [ -n "$live_host" ]; then
  agent=()
  [ -n "${ARTICLE_USER_AGENT:-}" ] && agent=(-DARTICLE_USER_AGENT="$ARTICLE_USER_AGENT")
  timed "windows: https profile (build-windows-live/)" \
    build_profile build-windows-live -DARTICLE_HOST="$live_host" "${agent[@]}"
  exes+=(build-windows-live/wortsammler.exe)
fi

# The package: the default program at the top, the https one in https/, and the README's
# Windows section as text with CR LF line ends.
package=$(mktemp -d)
trap 'rm -rf "$package"' EXIT
mkdir -p "$package/wortsammler" dist
cp build-windows-release/wortsammler.exe "$package/wortsammler/"
if [ -n "$live_host" ]; then
  mkdir -p "$package/wortsammler/https"
  cp build-windows-live/wortsammler.exe "$package/wortsammler/https/"
fi
sed -n '/^## Windows$/,/^## /p' README.md | sed '$d' | sed 's/$/\r/' \
  >"$package/wortsammler/README-windows.txt"
rm -f dist/wortsammler-windows-x86_64.zip
(cd "$package" && zip -qr -9 "$OLDPWD/dist/wortsammler-windows-x86_64.zip" wortsammler)
for exe in "${exes[@]}"; do
  printf '%s: %d bytes\n' "$exe" "$(stat -c %s "$exe")"
done
printf 'dist/wortsammler-windows-x86_64.zip: %d bytes\n' \
  "$(stat -c %s dist/wortsammler-windows-x86_64.zip)"
