#!/usr/bin/env bash
# Checks the package that scripts/build-package.sh built, as CI does: its files, Debian's tools (lintian with
# no error, desktop-file-validate, appstreamcli), then installs it with apt-get, runs it on a fresh HOME,
# installs it again as a newer version over itself, and purges it, her diary and backups kept throughout.
# Installing needs root (CI runs as root; otherwise sudo is used).
set -euo pipefail
cd "$(dirname "$0")/.."
shopt -s nullglob
debs=(dist/selvane_*_amd64.deb)
[ ${#debs[@]} -eq 1 ] || { echo "expected one package in dist/, found ${#debs[@]}"; exit 1; }
deb=${debs[0]}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "check-package: $*"; exit 1; }
id=io.github.selvane.Selvane

dpkg-deb -c "$deb" | awk '{print $6}' >"$work/files"
expected=(./usr/bin/selvane ./usr/share/selvane/selvane3.hlp "./usr/share/applications/$id.desktop"
  ./usr/share/selvane/SelvaneChartJP-Regular.otf ./usr/share/selvane/SelvaneChartJP-Bold.otf
  ./usr/share/selvane/SelvaneChartJP-OFL.txt
  "./usr/share/metainfo/$id.metainfo.xml" ./usr/share/icons/hicolor/scalable/apps/selvane.svg
  ./usr/share/man/man1/selvane.1.gz ./usr/share/man/ja/man1/selvane.1.gz ./usr/share/doc/selvane/copyright
  ./usr/share/doc/selvane/changelog.gz)
for size in 16 22 24 32 48 64 128 256; do expected+=("./usr/share/icons/hicolor/${size}x${size}/apps/selvane.png"); done
for file in "${expected[@]}"; do grep -qx -- "$file" "$work/files" || fail "the package lacks $file"; done
if grep -q 'selvane\.mdb' "$work/files"; then fail "the package holds a data file"; fi
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6sql6-sqlite qt6-translations-l10n fonts-noto-cjk libqt6widgets6 libc6; do
  grep -q "$needed" <<<"$depends" || fail "Depends lacks $needed: $depends"
done

lintian --fail-on error "$deb"
dpkg-deb -x "$deb" "$work/root"
desktop-file-validate "$work/root/usr/share/applications/$id.desktop"
appstreamcli validate --no-net "$work/root/usr/share/metainfo/$id.metainfo.xml"

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
# --reinstall: a package of the same version installed before (an earlier build) is replaced, not kept.
DEBIAN_FRONTEND=noninteractive $sudo apt-get install --reinstall -y -q "./$deb"
# What runs below is this package's program, and no other build's.
packed=$(dpkg-deb -I "$deb" md5sums | awk '$2 == "usr/bin/selvane" {print $1}')
[ "$(md5sum </usr/bin/selvane | cut -d' ' -f1)" = "$packed" ] || fail "/usr/bin/selvane is not the package's program"
home=$work/home
mkdir -m 700 "$home"
fresh=(env -i "HOME=$home" PATH=/usr/bin:/bin LC_ALL=C.UTF-8)
"${fresh[@]}" selvane --version
# A fresh account: the command line makes her empty diary in her data folder and names it first.
diary=$home/.local/share/selvane/selvane.mdb
report=$("${fresh[@]}" selvane --check)
echo "$report"
[ "$(head -n 1 <<<"$report")" = "ﾃﾞｰﾀﾌｧｲﾙ：$diary" ] || fail "--check names another diary"
grep -qx "記録のある日：0日" <<<"$report" || fail "the new diary is not empty"
[ "$(stat -c %a "$diary")" = 600 ] || fail "the diary is not owner-only"
# A portable Selvane's diary waits for the window's offer to copy it in: no empty diary takes its place.
earlier=$work/earlier
mkdir -p -m 700 "$earlier/Selvane"
cp "$diary" "$earlier/Selvane/selvane.mdb"
if env -i "HOME=$earlier" PATH=/usr/bin:/bin LC_ALL=C.UTF-8 selvane --check; then fail "--check took no notice"; fi
[ ! -e "$earlier/.local/share/selvane/selvane.mdb" ] || fail "an empty diary took the earlier one's place"
"${fresh[@]}" selvane --backup
kept() { (cd "$home/.local/share/selvane" && find . -type f -exec sha256sum {} + | sort -k2); }
kept >"$work/kept-before"
# An upgrade: the same program packed as a newer version and installed over this one keeps her files.
version=$(dpkg-deb -f "$deb" Version)
dpkg-deb -R "$deb" "$work/newer"
sed -i "s/^Version: .*/Version: $version+1/" "$work/newer/DEBIAN/control"
dpkg-deb -b --root-owner-group "$work/newer" "$work/newer.deb" >/dev/null
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "$work/newer.deb"
[ "$(dpkg-query -W -f='${Version}' selvane)" = "$version+1" ] || fail "the newer package was not installed"
"${fresh[@]}" selvane --check >/dev/null || fail "--check failed after the upgrade"
kept | cmp - "$work/kept-before" || fail "the upgrade touched her diary or its backups"
DEBIAN_FRONTEND=noninteractive $sudo apt-get purge -y -q selvane
[ ! -e /usr/bin/selvane ] || fail "the purge left the program"
kept | cmp - "$work/kept-before" || fail "the purge touched her diary or its backups"
echo "package: ok"
