#!/usr/bin/env bash
# Installs what is missing, builds, installs Selvane into its own folder (SELVANE_HOME, by default ~/Selvane)
# with an empty data file where none exists, and starts it. Her diary lives there, beside the program, out
# of the build folder, so that cleaning or deleting a build never touches it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh build
home=${SELVANE_HOME:-$HOME/Selvane}
cmake --install build --prefix "$home" >/dev/null
exec "$home/selvane"
