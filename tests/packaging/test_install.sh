#!/usr/bin/env bash
# `cmake --install` makes a self-contained folder and a desktop entry, and a reinstall never touches the diary.
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_DATA_HOME=$work/share
cmake --install "$build" --prefix "$work/app" >/dev/null
for f in selvane selvane3.hlp selvane.mdb SelvaneChartJP-Regular.otf SelvaneChartJP-Bold.otf SelvaneChartJP-OFL.txt; do
  [ -e "$work/app/$f" ] || { echo "missing $f"; exit 1; }
done
[ "$(stat -c %a "$work/app/selvane.mdb")" = 600 ] || { echo "data file is not owner-only"; exit 1; }
entry=$work/share/applications/io.github.selvane.Selvane.desktop
grep -q "^Exec=\"$work/app/selvane\"$" "$entry" || { echo "bad desktop entry"; exit 1; }
[ -s "$work/share/icons/hicolor/scalable/apps/selvane.svg" ] || { echo "missing icon"; exit 1; }
# A diary that holds something survives a reinstall byte for byte.
printf 'her diary' >"$work/app/selvane.mdb"
cmake --install "$build" --prefix "$work/app" >/dev/null
[ "$(cat "$work/app/selvane.mdb")" = "her diary" ] || { echo "reinstall replaced the diary"; exit 1; }
# The entry an earlier install of this folder made under the old name goes (no menu shows Selvane twice); one
# of another folder stays.
printf '[Desktop Entry]\nExec="%s/app/selvane"\n' "$work" >"$work/share/applications/selvane.desktop"
cmake --install "$build" --prefix "$work/app" >/dev/null
[ ! -e "$work/share/applications/selvane.desktop" ] || { echo "old desktop entry kept"; exit 1; }
printf '[Desktop Entry]\nExec="/elsewhere/selvane"\n' >"$work/share/applications/selvane.desktop"
cmake --install "$build" --prefix "$work/app" >/dev/null
[ -e "$work/share/applications/selvane.desktop" ] || { echo "another folder's entry removed"; exit 1; }
# Her diary never travels: the program links no network module.
if ldd "$work/app/selvane" | grep -qi network; then echo "links a network module"; exit 1; fi
echo "install: ok"
