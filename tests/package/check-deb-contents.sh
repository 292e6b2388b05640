#!/usr/bin/env bash
# Builds the Debian package from the (already built) build tree into a scratch directory and
# checks what it declares and carries: the dependencies that dpkg-shlibdeps finds in the binary
# and those it cannot see, the copyright file made from LICENSE, the Debian changelog, and no
# error from lintian. Lintian's warnings are shown, not failed on.
# usage: check-deb-contents.sh BUILD-DIR SOURCE-DIR LINTIAN
set -euo pipefail

build=$1
source=$2
lintian=$3
package=lotka-volterra
doc=/usr/share/doc/$package

fail() { echo "check-deb-contents: $*" >&2; exit 1; }

workdir=$(mktemp -d)
trap 'rm -rf "$workdir"' EXIT

# CTest runs after the build, so cpack's own build step has nothing to do; it installs into and
# writes the package under the scratch directory, never into the build tree.
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$workdir" >"$workdir/cpack.log" 2>&1 ||
    { cat "$workdir/cpack.log" >&2; fail "cpack failed"; }
debs=("$workdir"/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one .deb, found: ${debs[*]}"
deb=${debs[0]}
echo "package $(basename "$deb"): $(stat -c %s "$deb") bytes, Installed-Size $(dpkg-deb -f "$deb" Installed-Size) KiB"

# A field's entries one a line, alternatives kept together, versions dropped: "a | b".
entries() { dpkg-deb -f "$deb" "$1" | tr ',' '\n' | sed 's/([^)]*)//g; s/  */ /g; s/^ //; s/ $//'; }
depends=$(entries Depends)
recommends=$(entries Recommends)
echo "Depends: $(dpkg-deb -f "$deb" Depends)"
echo "Recommends: $(dpkg-deb -f "$deb" Recommends)"
# From the binary: the C and Qt Widgets runtime libraries. Beside them: the serif face with
# Times metrics, Qt's Spanish texts; the Wayland plugin only recommended.
for entry in libc6 libqt6widgets6 "fonts-liberation2 | fonts-liberation" qt6-translations-l10n; do
    grep -qxF "$entry" <<<"$depends" || fail "Depends does not name '$entry'"
done
grep -qxF qt6-wayland <<<"$recommends" || fail "Recommends does not name qt6-wayland"
# The X11 platform plugin is part of libqt6gui6; the separate plugin package is not needed.
! grep -qw qt6-qpa-plugins <<<"$depends" || fail "Depends names qt6-qpa-plugins, which the program does not need"

dpkg-deb -x "$deb" "$workdir/root"
copyright=$workdir/root$doc/copyright
changelog=$workdir/root$doc/changelog.Debian.gz
[ -f "$copyright" ] || fail "the package has no $doc/copyright"
[ -f "$changelog" ] || fail "the package has no $doc/changelog.Debian.gz"

# The copyright file's licence text, unfolded, is the permission text of LICENSE word for word.
licence_text() { sed -n '/^Permission is hereby granted/,$p' "$1"; }
unfolded=$(awk '/^License: /{ n++ } n == 2 && /^ /{ sub(/^ /, ""); print ($0 == ".") ? "" : $0 }' "$copyright")
[ "$unfolded" == "$(licence_text "$source/LICENSE")" ] || fail "the licence text in $doc/copyright differs from LICENSE"
holder=$(sed -n 's/^Copyright (c) //p' "$source/LICENSE")
grep -qxF "Copyright: $holder" "$copyright" || fail "$doc/copyright does not name '$holder' as LICENSE does"

version=$(dpkg-deb -f "$deb" Version)
newest=$(zcat "$changelog" | sed -n "1s/^$package (\([^)]*\)).*/\1/p")
[ "$newest" == "$version" ] || fail "the changelog's newest entry is '$newest', the package is $version"

# Lintian ends with a non-zero status on any error.
if ! "$lintian" --no-tag-display-limit "$deb" >"$workdir/lintian.log" 2>&1; then
    cat "$workdir/lintian.log" >&2
    fail "lintian reports errors"
fi
echo "lintian: no errors; $(grep -c '^W: ' "$workdir/lintian.log" || true) warnings"
grep '^[WIP]: ' "$workdir/lintian.log" || true
