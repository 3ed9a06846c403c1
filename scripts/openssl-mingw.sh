#!/usr/bin/env bash
# Builds OpenSSL for the Windows cross build once, from Debian's own source package, into a cache
# outside the clone (OPENSSL_MINGW_CACHE, default /var/cache/wortsammler/openssl-mingw): static
# libraries and headers under $cache/<version>/, a later run with the same version builds nothing.
# Prints the install prefix on its last line. Needs the cross compiler (scripts/install-deps.sh,
# `install_deps windows`); adds a deb-src entry made from the machine's own Debian sources when
# there is none, as `apt-get source` needs one.
set -euo pipefail

cache=${OPENSSL_MINGW_CACHE:-/var/cache/wortsammler/openssl-mingw}
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

say() { printf 'openssl-mingw: %s\n' "$*" >&2; }

built_prefix() {  # version: the install prefix when that version is built already
  local prefix=$cache/$1
  [ -f "$prefix/lib/libssl.a" ] && [ -f "$prefix/lib/libcrypto.a" ] && echo "$prefix"
}

# deb-src entries from the deb entries of the machine's own Debian sources (deb822 and one-line).
add_source_entries() {
  if grep -rqsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    return 0
  fi
  say "adding deb-src entries made from the machine's deb entries of Debian's archive"
  local file
  for file in /etc/apt/sources.list.d/*.sources; do
    [ -f "$file" ] || continue
    awk 'BEGIN { RS = ""; ORS = "\n\n" }
         /URIs:[^\n]*debian/ && /Types:[^\n]*deb/ { sub(/Types:[^\n]*/, "Types: deb-src"); print }' \
      "$file"
  done | $sudo tee /etc/apt/sources.list.d/wortsammler-deb-src.sources >/dev/null
  if [ -f /etc/apt/sources.list ]; then
    sed -n 's/^deb \(.*debian.*\)$/deb-src \1/p' /etc/apt/sources.list |
      $sudo tee /etc/apt/sources.list.d/wortsammler-deb-src.list >/dev/null
  fi
  $sudo apt-get update -qq
}

add_source_entries
command -v dpkg-source >/dev/null || {
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends dpkg-dev >/dev/null
}

# The source versions apt knows, newest first (Debian's, with its security fixes); the newest
# one already built is taken, else the newest one whose source can be fetched.
source_versions() {
  apt-cache showsrc openssl 2>/dev/null | sed -n 's/^Version: //p' | sort -u -r -V
}
mapfile -t versions < <(source_versions)
[ ${#versions[@]} -gt 0 ] || { say "apt knows no openssl source package"; exit 1; }
for version in "${versions[@]}"; do
  built_prefix "$version" && exit 0
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source_dir=""
for version in "${versions[@]}"; do
  say "fetching the source of openssl $version"
  if (cd "$work" && apt-get source -qq "openssl=$version" >/dev/null 2>&1); then
    source_dir=$(find "$work" -maxdepth 1 -mindepth 1 -type d -name 'openssl-*' | head -n 1)
    [ -n "$source_dir" ] && break
  fi
  rm -rf "${work:?}"/*
done
[ -n "$source_dir" ] || { say "no openssl source could be fetched"; exit 1; }
prefix=$cache/$version

say "building openssl $version for mingw64 into $prefix"
mkdir -p "$cache"
(
  cd "$source_dir"
  set -e
  ./Configure mingw64 no-shared no-tests --cross-compile-prefix=x86_64-w64-mingw32- \
    --prefix="$prefix" --libdir=lib >"$work/configure.log" 2>&1
  make -j "$(nproc)" build_libs >"$work/build.log" 2>&1
  make install_dev >"$work/install.log" 2>&1
) || { say "the build failed; its logs:"; tail -n 30 "$work"/*.log >&2; rm -rf "$prefix"; exit 1; }
echo "$prefix"
