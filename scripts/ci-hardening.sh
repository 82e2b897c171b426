#!/usr/bin/env bash
# The checked runs CI makes after the main tests, each in a build folder of its own:
#   1. the whole test suite again under AddressSanitizer + UndefinedBehaviorSanitizer;
#   2. the serial channel and transfer session tests under ThreadSanitizer;
#   3. every fuzz target for a short smoke run (60 s each, two at a time).
# Set QVBOOK_ASAN_GUI=OFF to leave the widget tests out of the sanitizer run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/install-deps.sh"
export QT_QPA_PLATFORM=offscreen
phase_start=$(date +%s)
phase() {  # phase NAME: prints how long the previous phase took
  local now
  now=$(date +%s)
  echo "== ci-hardening: $1 ($((now - phase_start)) s since start)"
}

phase "ASan+UBSan build and test suite"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQVBOOK_ASAN=ON \
  -DQVBOOK_BENCH=OFF -DQVBOOK_GUI="${QVBOOK_ASAN_GUI:-ON}" >/dev/null
cmake --build build-asan -j2
(
  cd build-asan
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --output-on-failure -j2 --timeout 900
)

phase "TSan build and channel/session tests"
"$root/scripts/test-tsan.sh"

phase "fuzz smoke runs"
QVBOOK_FUZZ_DIR="$root/build-fuzz" "$root/scripts/fuzz.sh" -t "${QVBOOK_FUZZ_SECONDS:-60}" -j 2
phase "done"
