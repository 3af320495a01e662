#!/usr/bin/env bash
# Builds Sendora and runs every test; then the readers of the program's
# files once more under AddressSanitizer (crashes, overflows, leaks).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja
cmake --build build
(cd build && ctest --output-on-failure)
cmake -S . -B build-asan -G Ninja -DSENDORA_ASAN=ON -DSENDORA_TEST_DIRS="support;core;fuzz"
cmake --build build-asan --target test_core test_fuzz_readers
(cd build-asan && ctest --output-on-failure -R '^(test_core|test_fuzz_readers)$')
