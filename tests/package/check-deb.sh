#!/usr/bin/env bash
# Builds the Debian package from the (already built) build tree, installs it with apt, checks
# that the system's MIME and desktop databases, which dpkg triggers rebuild, then give *.lvesc
# files the scenario type and open them with the program, runs the installed program under Xvfb
# and removes the package again, leaving the system (databases included) as it was.
# Needs root; otherwise it reports itself skipped (exit 77). It also skips when a file of the
# package is already on the system, so that it never overwrites, nor later removes, a file it
# did not install (a `cmake --install` into /usr, or another package's file).
# usage: check-deb.sh BUILD-DIR APP-ID CHECK-WINDOW-SCRIPT CLOSE-WINDOW-TOOL
set -euo pipefail

skipped=77
if [ "$(id -u)" -ne 0 ]; then
    echo "check-deb: installing a package needs root; skipped"
    exit $skipped
fi

build=$1
app_id=$2
check_window=$3
close_window=$4
package=lotka-volterra
export DEBIAN_FRONTEND=noninteractive
# Recommends (the Wayland plugin) are not needed here and would stay behind after the removal.
apt_options=(-y -q --no-install-recommends -o DPkg::Lock::Timeout=300)

is_installed() {
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'
}
fail() { echo "check-deb: $*" >&2; exit 1; }

# Two test runs on one machine must not install and remove the package under each other.
mkdir -p /run/lock
exec 9>>/run/lock/lotka-volterra-package-test
flock -w 600 9 || fail "another package test holds the lock"

if is_installed; then
    echo "check-deb: $package is already installed here; not touching it; skipped"
    exit $skipped
fi

workdir=$(mktemp -d)
chmod 755 "$workdir" # apt reads the local package as an unprivileged user
we_installed=no
cleanup() {
    if [ "$we_installed" == yes ] && is_installed; then
        apt-get remove --purge "${apt_options[@]}" "$package" </dev/null >/dev/null || true
    fi
    rm -rf "$workdir"
}
trap cleanup EXIT

# CTest runs after the build, so cpack's own build step has nothing to do; it installs into and
# writes the package under the scratch directory, never into the build tree.
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$workdir" >"$workdir/cpack.log" 2>&1 ||
    { cat "$workdir/cpack.log" >&2; fail "cpack failed"; }
debs=("$workdir"/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one .deb, found: ${debs[*]}"
deb=${debs[0]}

echo "package $(basename "$deb"): $(stat -c %s "$deb") bytes"

# The package's files and links, from its own listing ("./usr/bin/lotka-volterra").
mapfile -t installed_files < <(dpkg-deb -c "$deb" | awk '$1 ~ /^[-l]/ { sub(/^\./, "", $6); print $6 }')
desktop=/usr/share/applications/$app_id.desktop
for file in "/usr/bin/$package" "$desktop" "/usr/share/mime/packages/$app_id.xml" \
    "/usr/share/icons/hicolor/scalable/apps/$app_id.svg" "/usr/share/metainfo/$app_id.metainfo.xml"; do
    grep -qxF "$file" < <(printf '%s\n' "${installed_files[@]}") || fail "the package does not carry $file"
done
for file in "${installed_files[@]}"; do
    if [ -e "$file" ] || [ -L "$file" ]; then
        owner=$( (dpkg-query -S "$file" 2>/dev/null || true) | sed -n '1s/: .*//p')
        echo "check-deb: $file is already there (${owner:+owned by package }${owner:-owned by no package});" \
            "installing the package would overwrite it and removing it would delete it; skipped"
        exit $skipped
    fi
done

we_installed=yes
apt-get install "${apt_options[@]}" "$deb" </dev/null >"$workdir/apt.log" 2>&1 ||
    { cat "$workdir/apt.log" >&2; fail "apt-get install failed"; }
is_installed || fail "$package is not installed after apt-get install"
for file in "${installed_files[@]}"; do
    [ -f "$file" ] || fail "the package did not install $file"
done
echo "installed with apt-get; dpkg reports Depends: $(dpkg-query -W -f='${Depends}' "$package")"

# What a file manager consults: the MIME database (shared-mime-info's trigger on
# /usr/share/mime/packages) names the type of *.lvesc, and the desktop database
# (desktop-file-utils' trigger on /usr/share/applications) the program for that type.
type=$(sed -n 's/^MimeType=\([^;]*\);$/\1/p' "$desktop")
[ -n "$type" ] || fail "the installed desktop entry names no single type"
registered() {
    grep -qxF "50:$type:*.lvesc" /usr/share/mime/globs2 && [ -f "/usr/share/mime/$type.xml" ]
}
opener() { sed -n "s|^$type=||p" /usr/share/applications/mimeinfo.cache 2>/dev/null; }
registered || fail "after installation the MIME database does not give *.lvesc the type $type"
[[ ";$(opener)" == *";$app_id.desktop;"* ]] ||
    fail "after installation the desktop database opens $type with '$(opener)', not $app_id.desktop"
echo "the system's databases open *.lvesc ($type) with $app_id.desktop"

"$check_window" /usr/bin/lotka-volterra "$close_window"

apt-get remove --purge "${apt_options[@]}" "$package" </dev/null >"$workdir/apt.log" 2>&1 ||
    { cat "$workdir/apt.log" >&2; fail "apt-get remove failed"; }
we_installed=no
is_installed && fail "$package is still installed after apt-get remove"
for file in "${installed_files[@]}"; do
    [ ! -e "$file" ] || fail "$file is left behind after removal"
done
! registered || fail "after removal the MIME database still knows $type"
[ -z "$(opener)" ] || fail "after removal the desktop database still opens $type with $(opener)"
echo "removed; no installed file is left"
