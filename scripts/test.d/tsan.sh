#!/usr/bin/env bash
# The serial tests under ThreadSanitizer: the receive thread is the one place
# where two threads meet. Exits non-zero on any failure or race report.
set -euo pipefail
cd "$(dirname "$0")/../.."

build=build/tsan
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTARNWICK_TSAN=ON -DTARNWICK_WERROR=ON \
  >/dev/null
cmake --build "$build" -j "$(nproc)" --target test_serial

# GCC's ThreadSanitizer cannot place its shadow memory when the kernel
# randomises addresses with high entropy; run without randomisation where
# the system lets us.
runner=()
if setarch "$(uname -m)" -R true 2>/dev/null; then
  runner=(setarch "$(uname -m)" -R)
fi
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 ${TSAN_OPTIONS:-}"
"${runner[@]}" ctest --test-dir "$build" --output-on-failure --timeout 120 \
  -R '^(EventLoop|MessageAssembler|PortLock|LineSettings|TSerial)'
