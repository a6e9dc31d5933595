#!/usr/bin/env bash
# Installs what is missing, builds with AddressSanitizer and UndefinedBehaviorSanitizer, and runs
# every test (the window's on Qt's offscreen platform and, end to end, on private X displays that
# the tests start themselves); then builds the tests of threaded code with ThreadSanitizer and
# runs them; then gives each fuzz target a short run. This is what CI runs.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset asan
cmake --build --preset asan
ctest --preset asan
cmake --preset tsan
cmake --build --preset tsan
ctest --preset tsan
scripts/fuzz.sh 30
