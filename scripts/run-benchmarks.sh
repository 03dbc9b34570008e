#!/usr/bin/env bash
# Installs what is missing, builds, and runs every benchmark; prints one table of figures and ratios.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh build >/dev/null
printf "%-44s %16s %16s %7s\n" "benchmark" "figure" "baseline" "ratio"
for b in build/bench/bench_*; do
  case "$b" in *bench_bare_window) continue ;; esac
  [ -f "$b" ] && [ -x "$b" ] && (cd build && QT_QPA_PLATFORM=offscreen "../$b")
done
