#!/usr/bin/env bash
# Starts the program under an Xvfb of its own, waits for its window with the designed caption,
# checks that the window carries the program's icon, closes the window as a window manager
# would and expects the program to end with status 0.
# usage: check-window.sh PROGRAM CLOSE-WINDOW-TOOL
set -euo pipefail

program=$1
close_window=$2
caption='Representación  de soluciones de un sistema de Lotka-Volterra autónomo 2x2. '
export LC_ALL=C.UTF-8

workdir=$(mktemp -d)
xvfb_pid=''
program_pid=''
cleanup() {
    if [ -n "$program_pid" ]; then kill "$program_pid" 2>/dev/null || true; fi
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
    wait 2>/dev/null || true
    rm -rf "$workdir"
}
trap cleanup EXIT

fail() {
    echo "check-window: $*" >&2
    if [ -s "$workdir/program.log" ]; then
        echo "--- program output ---" >&2
        cat "$workdir/program.log" >&2
    fi
    exit 1
}

# -displayfd makes Xvfb pick a free display and report it once it accepts connections.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$workdir/display" 2>"$workdir/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$workdir/display" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || { cat "$workdir/xvfb.log" >&2; fail "Xvfb did not start"; }
    sleep 0.1
done
[ -s "$workdir/display" ] || fail "Xvfb reported no display"
export DISPLAY=":$(cat "$workdir/display")"
export XDG_RUNTIME_DIR="$workdir/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM

"$program" >"$workdir/program.log" 2>&1 &
program_pid=$!

window=''
for _ in $(seq 200); do
    kill -0 "$program_pid" 2>/dev/null || fail "the program ended before showing its window"
    for candidate in $(xdotool search --onlyvisible --pid "$program_pid" 2>/dev/null); do
        if [ "$(xdotool getwindowname "$candidate")" == "$caption" ]; then
            window=$candidate
            break 2
        fi
    done
    sleep 0.1
done
[ -n "$window" ] || fail "no visible window captioned '$caption' within 20 s"
echo "window $window has the caption '$caption'"

# _NET_WM_ICON holds width, height, then width*height ARGB pixels. A missing or unreadable
# icon resource leaves the property out; a blank image would have no opaque pixels.
icon=$(xprop -len 16777216 -id "$window" -f _NET_WM_ICON 32c _NET_WM_ICON | sed -n 's/^_NET_WM_ICON(CARDINAL) = //p')
[ -n "$icon" ] || fail "the window has no icon"
read -r width height opaque pixels < <(echo "$icon" | tr -d ' ' | tr ',' '\n' | awk '
    NR == 1 { w = $1; next }
    NR == 2 { h = $1; next }
    NR <= 2 + w * h { n++; if ($1 >= 2^31) o++ }
    END { print w, h, o + 0, n + 0 }')
[ "$width" -gt 0 ] && [ "$height" -gt 0 ] && [ "$pixels" -eq $((width * height)) ] ||
    fail "malformed window icon (${width}x${height}, $pixels pixels)"
# The drawn icon covers most of its square; fewer opaque pixels than half means a wrong image.
[ $((2 * opaque)) -gt "$pixels" ] || fail "window icon is mostly transparent ($opaque of $pixels opaque)"
echo "window icon ${width}x${height}, $opaque of $pixels pixels opaque"

"$close_window" "$window" || fail "could not ask the window to close"
for _ in $(seq 100); do
    kill -0 "$program_pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$program_pid" 2>/dev/null && fail "the program still runs 10 s after its window was closed"
status=0
wait "$program_pid" || status=$?
program_pid=''
[ "$status" -eq 0 ] || fail "the program ended with status $status after its window was closed"
echo "window closed, program ended with status 0"
