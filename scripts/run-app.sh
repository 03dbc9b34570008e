#!/usr/bin/env bash
# Installs what is missing, builds, and starts Selvane with its data file beside the executable.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh build
exec ./build/selvane
