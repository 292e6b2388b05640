#!/usr/bin/env bash
# Installs the build tree into a scratch prefix and checks that the installed pieces fit
# together: the files sit where desktops look for them, the desktop entry starts the installed
# program and names an installed icon, the metainfo passes the AppStream tree validation (which
# also looks for the desktop entry it launches) and its newest release is this version.
# usage: check-install-tree.sh BUILD-DIR APP-ID VERSION
set -euo pipefail

build=$1
app_id=$2
version=$3

prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "check-install-tree: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null

desktop=$prefix/share/applications/$app_id.desktop
metainfo=$prefix/share/metainfo/$app_id.metainfo.xml
for file in "$prefix/bin/lotka-volterra" "$desktop" "$metainfo" \
    "$prefix/share/icons/hicolor/scalable/apps/$app_id.svg"; do
    [ -f "$file" ] || fail "not installed: ${file#"$prefix"/}"
done
[ -x "$prefix/bin/lotka-volterra" ] || fail "bin/lotka-volterra is not executable"

desktop-file-validate "$desktop"
appstreamcli validate-tree --no-net --strict "$prefix"

key() { sed -n "s/^$1=//p" "$desktop"; }
exec_line=$(key Exec)
[ -x "$prefix/bin/${exec_line%% *}" ] || fail "Exec=$exec_line is not an installed program"
icon=$(key Icon)
[ "$icon" == "$app_id" ] || fail "Icon=$icon, expected $app_id"
grep -q "<id>$app_id</id>" "$metainfo" || fail "metainfo id is not $app_id"

newest=$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$metainfo" | head -n 1)
[ "$newest" == "$version" ] || fail "newest release in metainfo is '$newest', the project is $version"

echo "installed tree of $app_id $version is complete and valid"
