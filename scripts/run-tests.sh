#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
#   --sanitize   builds into build-asan with AddressSanitizer and UndefinedBehaviorSanitizer instead
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
dir=build
flags=()
if [ "${1:-}" = "--sanitize" ]; then
  dir=build-asan
  flags=(-DSELVANE_SANITIZE=ON)
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
  export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
fi
bash scripts/build.sh "$dir" "${flags[@]}"
bash scripts/start-cups.sh  # a PDF queue as the default printer, for the print test
cd "$dir"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
