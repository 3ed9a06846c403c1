#!/usr/bin/env bash
# The Windows program's tests, run by ./test.sh after the Linux suites: installs mingw-w64 and
# Wine, builds OpenSSL for Windows once (cached outside the clone), cross-builds into
# build-windows/ and runs the unit tests under Wine (ctest through CMAKE_CROSSCOMPILING_EMULATOR)
# with a private Wine prefix that is also kept outside the clone (WORTSAMMLER_CACHE, default
# /var/cache/wortsammler), then drives the Windows crawlers under Wine and Xvfb end to end
# (tests/e2e/windows_e2e_test.py) against the stand-in server of the Linux build in LINUX_BUILD
# (default build/, as ./test.sh leaves it). Each step says how long it took.
#
#   scripts/windows-tests.sh [LINUX_BUILD]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/windows-env.sh

build=build-windows
linux_build=${1:-build}
jobs=$(nproc)

timed "windows: packages" windows_prepare
timed "windows: wine prefix ($WINEPREFIX)" wine_ready
timed "windows: configure ($build/)" windows_configure "$build" -DWORTSAMMLER_WINDOW=ON
timed "windows: cross build" cmake --build "$build" -j "$jobs"
timed "windows: unit tests under wine" \
  ctest --test-dir "$build" --output-on-failure -L unit --timeout 600
wineserver -w

# ---- end to end: the Windows crawlers under Wine against the Linux stand-in ----
e2e=$build/tests/e2e
server=$linux_build/article-server
close_request=$linux_build/tests/e2e/send_close_request
certificates=tools/article-server/testkit/make_test_certificates.sh
[ -x "$server" ] && [ -x "$close_request" ] ||
  timed "windows: the Linux stand-in ($linux_build/)" \
    cmake --build "$linux_build" -j "$jobs" --target article-server send_close_request
status=0
run_case() {  # case exe args...
  local name=$1
  shift
  timed "windows e2e: $name" python3 tests/e2e/windows_e2e_test.py "$name" "$@" || status=1
}
run_case refused "$PWD/$e2e/crawler-refused/wortsammler.exe"
run_case dump "$PWD/$e2e/crawler-plain/wortsammler.exe" "$server"
run_case views "$PWD/$e2e/crawler-plain/wortsammler.exe" "$server"
run_case window "$PWD/$e2e/crawler-plain/wortsammler.exe" "$server" "$close_request"
run_case ctrl-c "$PWD/$e2e/crawler-plain/wortsammler.exe" "$server"
run_case https "$PWD/$e2e/crawler-https/wortsammler.exe" "$server" "$PWD/$e2e/tls" "$certificates"
run_case https-untrusted "$PWD/$e2e/crawler-https/wortsammler.exe" "$server" "$PWD/$e2e/tls" \
  "$certificates"
wineserver -w
exit $status
