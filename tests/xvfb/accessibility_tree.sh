#!/usr/bin/env bash
# The whole program as a screen reader meets it: started under its own Xvfb and its own session
# bus with the desktop's accessibility bus on it, its accessible tree read over AT-SPI by
# accessibility_tree.py, then its window closed.
#
# Usage: accessibility_tree.sh PROGRAM CLOSE-WINDOW-HELPER
set -euo pipefail

if [[ $# -ne 2 ]]; then
    echo "usage: $0 PROGRAM CLOSE-WINDOW-HELPER" >&2
    exit 2
fi

# A private session bus, so that nothing of the machine's desktop is read or changed. The
# accessibility bus and its registry are started on it when first asked for, and end with it.
# They inherit this environment: without a display they cannot announce themselves on the
# desktop's X server, and without AT_SPI_BUS_ADDRESS nobody finds the desktop's own bus.
if [[ -z ${LV_PRIVATE_SESSION_BUS:-} ]]; then
    if ! command -v dbus-run-session >/dev/null; then
        echo "error: dbus-run-session not found; scripts/install-deps installs it" >&2
        exit 1
    fi
    exec env -u DISPLAY -u WAYLAND_DISPLAY -u AT_SPI_BUS_ADDRESS LV_PRIVATE_SESSION_BUS=1 \
        dbus-run-session -- bash "$0" "$@"
fi

program=$1
close_window=$2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source-path=SCRIPTDIR source=session.sh
source "$here/session.sh"

# pyatspi is a package of the system's Python, which another Python first on PATH lacks.
python=
for candidate in /usr/bin/python3 python3; do
    if command -v "$candidate" >/dev/null && "$candidate" -c 'import pyatspi' 2>/dev/null; then
        python=$candidate
        break
    fi
done
if [[ -z $python ]]; then
    echo "error: no Python with pyatspi; scripts/install-deps installs python3-pyatspi" >&2
    exit 1
fi

fail() {
    echo "FAILED: $*" >&2
    echo "the program's output:" >&2
    xsession_program_log >&2
    exit 1
}

# The accessibility bus comes up before the program, as on a desktop, so that Qt's bridge is
# on from the first widget.
dbus-send --session --print-reply --reply-timeout=$((LV_X_TIMEOUT * 1000)) --dest=org.a11y.Bus \
    /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null || fail "the accessibility bus did not start"

xsession_start_display 1024x768
# Numbers in Spanish whatever the machine's locale: the read-outs show a decimal comma.
xsession_start_program "$program" QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
    LC_ALL= LANG=C.UTF-8 LC_NUMERIC=es_ES.UTF-8
xsession_wait_window
echo "window $xsession_window of process $xsession_program_pid is visible"

sample=37
exact=$(LC_ALL=C awk -v x0=5 -v y0=5 -v k=$sample -f "$here/sample.awk")
"$python" "$here/accessibility_tree.py" "$xsession_program_pid" "$LV_X_TIMEOUT" "$sample" "$exact" ||
    fail "the accessible tree is not as it must be"

echo "== close the window"
"$close_window" "$xsession_window" || fail "could not ask the window to close"
xsession_wait_exit || fail "the program still runs $LV_X_TIMEOUT s after its window was asked to close"
[[ $xsession_exit_status == 0 ]] || fail "the program ended with status $xsession_exit_status"
echo "  ok   the program ended with status 0"
echo "PASSED"
