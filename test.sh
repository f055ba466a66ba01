#!/usr/bin/env bash
# Sets everything up, builds and runs every test: once in a normal build and
# once with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
cd "$root"

scripts/setup.sh --tests
export QT_QPA_PLATFORM=offscreen

echo "== style =="
scripts/check-format.sh
jobs="$(nproc 2>/dev/null || echo 2)"

echo "== normal build =="
scripts/build.sh build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DYUNJAN_PACKAGE_TESTS=ON
ctest --test-dir build-test --output-on-failure -j "$jobs"

echo "== sanitizer build (address, undefined) =="
scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DYUNJAN_SANITIZE=ON -DYUNJAN_BUILD_BENCH=OFF
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
ctest --test-dir build-asan --output-on-failure -j "$jobs"
