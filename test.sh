#!/usr/bin/env bash
# Sets up what is missing, builds, and runs every test: the normal build, the
# web build in headless Chromium (against the normal build's programs), the
# sanitizer build, then the fuzz targets over their corpora.
set -euo pipefail
cd "$(dirname "$0")"

scripts/setup-deps

echo "== normal build"
scripts/build release
(cd build/release && ctest --output-on-failure -j"$(nproc)")

echo "== web build, and its tests in headless Chromium"
scripts/build web
scripts/web-node --test web/tests/*.test.js

echo "== AddressSanitizer + UndefinedBehaviorSanitizer build"
scripts/build sanitize
(cd build/sanitize && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
   ctest --output-on-failure -j"$(nproc)")

echo "== fuzz targets"
scripts/build fuzz
scripts/run-fuzzers

echo "All tests passed."
