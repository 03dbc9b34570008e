#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh build
bash scripts/start-cups.sh  # a PDF queue as the default printer, for the print test
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
