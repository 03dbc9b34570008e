#!/usr/bin/env bash
# Checks that every C++ file of the project is laid out as .clang-format says, then runs clang-tidy with the
# checks of .clang-tidy over every source file (not the generated ones); fails on any finding. Uses the build
# folder's compile commands (build/, or $1).
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror || {
  echo "clang-format: the files above differ from .clang-format (run clang-format -i on them)"
  exit 1
}
echo "clang-format: clean"
dir=${1:-build}
cmake -S . -B "$dir" -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
cmake --build "$dir" -j"$(nproc)" >/dev/null  # the generated sources the files include
run-clang-tidy -quiet -p "$dir" -j"$(nproc)" '^(?!.*autogen).*/(src|tests|bench|tools)/.*\.cpp$' >"$dir/tidy.log" 2>&1 || {
  grep -E "(warning|error):" "$dir/tidy.log" | sort -u
  echo "clang-tidy: findings above"
  exit 1
}
echo "clang-tidy: clean"
