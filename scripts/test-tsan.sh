#!/usr/bin/env bash
# Builds the serial channel and transfer session tests with ThreadSanitizer into
# ./build-tsan (or $QVBOOK_TSAN_BUILD_DIR) and runs them; any reported race fails.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QVBOOK_TSAN_BUILD_DIR:-$root/build-tsan}
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQVBOOK_TSAN=ON \
  -DQVBOOK_GUI=OFF -DQVBOOK_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target comm_tests qvbook-handset
export TSAN_OPTIONS="halt_on_error=1 ${TSAN_OPTIONS:-}"
cd "$build"
ctest -R '^(DataQueue|SerialDevicePath|Channel|Exchange|TransferSession|Emulator)' -j"$(nproc)" \
  --output-on-failure --timeout 300
