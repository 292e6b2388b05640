#!/usr/bin/env bash
# Installs the build tree into a scratch prefix and checks that the installed pieces fit
# together: the files sit where desktops look for them, the desktop entry starts the installed
# program and names an installed icon, the metainfo passes the AppStream tree validation (which
# also looks for the desktop entry it launches) and its newest release is this version. The
# shared MIME database built from the installed type file maps *.lvesc, and the example
# scenario's content, to the type the desktop entry opens with the file as its argument.
# usage: check-install-tree.sh BUILD-DIR APP-ID VERSION EXAMPLE-SCENARIO
set -euo pipefail

build=$1
app_id=$2
version=$3
example=$4

prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "check-install-tree: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null

desktop=$prefix/share/applications/$app_id.desktop
metainfo=$prefix/share/metainfo/$app_id.metainfo.xml
mime=$prefix/share/mime
for file in "$prefix/bin/lotka-volterra" "$desktop" "$metainfo" "$mime/packages/$app_id.xml" \
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

# A file manager opens a scenario file with the program: the entry passes the file, names one
# type, the type the metainfo declares.
[[ "$exec_line" == *" %f" ]] || fail "Exec=$exec_line does not end in %f"
type=$(key MimeType)
type=${type%;}
[[ "$type" =~ ^[a-z]+/[a-z0-9.+-]+$ ]] || fail "MimeType=$(key MimeType) is not one type"
grep -qF "<mediatype>$type</mediatype>" "$metainfo" || fail "the metainfo does not provide $type"

# update-mime-database always ends with status 0; what it prints are the type file's faults,
# XML or content (with the prefix among the data folders it prints nothing else).
messages=$(XDG_DATA_DIRS=$prefix/share update-mime-database "$mime" 2>&1)
[ -z "$messages" ] || fail "update-mime-database: $messages"
grep -qxF "50:$type:*.lvesc" "$mime/globs2" || fail "*.lvesc is not $type in the MIME database"
grep -qxF "$type application/json" "$mime/subclasses" || fail "$type is not a kind of application/json"
grep -qxF "$type:$app_id" "$mime/icons" || fail "$type does not show the program's icon $app_id"
grep -qF '<comment xml:lang="es">Escenario de Lotka-Volterra</comment>' "$mime/$type.xml" ||
    fail "$type has no Spanish description"
# A scenario without the extension: the database's magic rule for the type, at the default
# priority (">START=", two length bytes, the string, "+RANGE"), finds the example's format name.
rule=$(grep -a -A1 -xF "[50:$type]" "$mime/magic" | tail -n 1 |
    LC_ALL=C sed -n 's/^>\([0-9][0-9]*\)=..\(..*\)+\([0-9][0-9]*\)$/\1 \3 \2/p' || true)
read -r start range value <<<"$rule" && [ -n "$value" ] || fail "no magic rule for $type at priority 50"
at=$( (grep -abo -m 1 -F "$value" "$example" || true) | cut -d: -f1)
[ -n "$at" ] && [ "$at" -ge "$start" ] && [ "$at" -lt $((start + range)) ] ||
    fail "the magic rule ($value from byte $start, over $range) misses $example (${at:+at byte }${at:-absent})"

newest=$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$metainfo" | head -n 1)
[ "$newest" == "$version" ] || fail "newest release in metainfo is '$newest', the project is $version"

echo "installed tree of $app_id $version is complete and valid"
