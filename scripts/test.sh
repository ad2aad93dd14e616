#!/usr/bin/env bash
# Sets up a fresh machine, builds with AddressSanitizer and UndefinedBehaviorSanitizer, runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh --tests
export ORVIA_BUILD_DIR=${ORVIA_BUILD_DIR:-build-test}
bash scripts/build.sh -DORVIA_SANITIZE=ON -DORVIA_BENCH=OFF
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/tests/lsan.supp:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
ctest --test-dir "$ORVIA_BUILD_DIR" --output-on-failure -j"$(nproc)" --timeout 300 "$@"
