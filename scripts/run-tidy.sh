#!/usr/bin/env bash
# Runs clang-tidy with the checks of .clang-tidy over every source file of the project (not the generated ones);
# fails on any finding. Uses the build folder's compile commands (build/, or $1).
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
cmake -S . -B "$dir" -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
cmake --build "$dir" -j"$(nproc)" >/dev/null  # the generated sources the files include
run-clang-tidy -quiet -p "$dir" -j"$(nproc)" '^(?!.*autogen).*/(src|tests|bench|tools)/.*\.cpp$' >"$dir/tidy.log" 2>&1 || {
  grep -E "(warning|error):" "$dir/tidy.log" | sort -u
  echo "clang-tidy: findings above"
  exit 1
}
echo "clang-tidy: clean"
