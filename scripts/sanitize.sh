#!/usr/bin/env bash
# Builds with AddressSanitizer and UndefinedBehaviorSanitizer in ./build-asan and runs the tests there;
# the Firebird client and engine, built without them, have their leaks left aside. With test names as
# arguments (bash scripts/sanitize.sh db saving import) it builds and runs only those, as CI does.
set -euo pipefail
cd "$(dirname "$0")/.."

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build-asan -G Ninja -DVARNEL_SANITIZE=ON "${launcher[@]}"
selection=()
if [ $# -gt 0 ]; then
  targets=()
  for name in "$@"; do targets+=("tst_$name"); done
  cmake --build build-asan --target "${targets[@]}"
  selection=(-R "^($(IFS='|'; echo "$*"))\$")
else
  cmake --build build-asan
fi
# Full stacks on allocation: Qt is built without frame pointers, and the suppressions need its frames.
export ASAN_OPTIONS="detect_stack_use_after_return=1:strict_string_checks=1:fast_unwind_on_malloc=0"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
QT_QPA_PLATFORM=offscreen ctest --test-dir build-asan --output-on-failure "${selection[@]}"
