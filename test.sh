#!/usr/bin/env bash
# Checks the include layering, builds every fuzz target and runs each for FUZZ_SECONDS (default
# 5), then builds Wortsammler and runs every test: once in a Release build (the one ./run.sh
# makes) with warnings as errors, once in a Debug build with AddressSanitizer and
# UndefinedBehaviorSanitizer; last the Windows program, cross-built and tested under Wine
# (scripts/windows-tests.sh). Installs what is missing.
set -euo pipefail
cd "$(dirname "$0")"

source scripts/install-deps.sh
install_deps build
ensure_german_locale

jobs=$(nproc)

run_suite() {
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  ctest --test-dir "$dir" --output-on-failure -j "$jobs" --timeout 300
}

echo "== include layering (scripts/check-includes.sh)"
scripts/check-includes.sh

fuzz_seconds=${FUZZ_SECONDS:-5}
echo "== fuzz targets, ${fuzz_seconds} s each (fuzz/run.sh)"
fuzz/run.sh "$fuzz_seconds"

echo "== build and test, Release, warnings as errors (build/)"
run_suite build -DCMAKE_BUILD_TYPE=Release -DWORTSAMMLER_WERROR=ON

echo "== build and test with sanitizers (build-asan/)"
run_suite build-asan -DCMAKE_BUILD_TYPE=Debug -DWORTSAMMLER_SANITIZE=ON -DWORTSAMMLER_BENCHMARKS=OFF

echo "== the Windows program under Wine (scripts/windows-tests.sh)"
scripts/windows-tests.sh build
