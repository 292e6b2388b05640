#!/bin/sh
# Makes a locale such as es_ES.UTF-8 in DIR with localedef, from the locale data of Debian's
# locales package, for tests that run with LOCPATH=DIR. The machine's own locales and its
# configuration stay as they are. Exits non-zero unless the C library then loads the locale.
#
#   tests/make-locale.sh DIR NAME
set -eu

if [ $# -ne 2 ]; then
    echo "usage: $0 DIR NAME" >&2
    exit 2
fi
dir=$1
name=$2

# The C library says on standard error when it cannot load a locale and then falls back to
# the C locale without a word to the program.
loads() {
    [ -z "$(LOCPATH=$dir LC_ALL=$name locale 2>&1 >/dev/null)" ]
}

loads && exit 0
mkdir -p "$dir"
# Status 1 means warnings only, and the locale is written all the same.
status=0
localedef --force -i "${name%%.*}" -f "${name#*.}" "$dir/$name" || status=$?
if [ "$status" -gt 1 ] || ! loads; then
    echo "$0: cannot make the locale $name in $dir; localedef needs the locale data of the" \
         "Debian package locales (scripts/install-deps installs it)" >&2
    exit 1
fi
echo "$0: made the locale $name in $dir"
