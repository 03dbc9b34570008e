#!/usr/bin/env bash
# Builds the Debian package dist/selvane_<version>_amd64.deb: installs what is missing, builds the program as
# the package installs it (Release, the installed-program option, Debian's hardening flags) in build-package/,
# and packs it with CPack, stripped, its dependencies found by dpkg-shlibdeps plus those it loads at run time.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh --package
dir=build-package
eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
export CXXFLAGS="$CXXFLAGS $CPPFLAGS"  # CMake reads no CPPFLAGS
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DSELVANE_INSTALLED=ON -DCMAKE_INSTALL_PREFIX=/usr \
  -DBUILD_TESTING=OFF "${launcher[@]}" >/dev/null
cmake --build "$dir" -j"$(nproc)"
rm -rf "$dir/cpack" dist/selvane_*.deb
(cd "$dir" && cpack -G DEB -B "$PWD/cpack" >/dev/null)
mkdir -p dist
cp "$dir"/cpack/selvane_*.deb dist/
ls dist/selvane_*.deb
