#!/usr/bin/env bash
# The whole program in a real X server, driven as a person would drive it: a click in the phase
# plane, the time cursor moved with its arrow and with the keyboard, the window closed. After
# each step a picture of the window must show the thick dot of the time cursor where the
# trajectory puts it in all three plots, and the text boxes must have changed or kept their
# text as the step demands.
#
# Usage: whole_program.sh PROGRAM CLOSE-WINDOW-HELPER
# The pictures of each step stay in $LV_SHOTS_DIR (default ./whole_program_xvfb) for a look.
set -euo pipefail

if [[ $# -ne 2 ]]; then
    echo "usage: $0 PROGRAM CLOSE-WINDOW-HELPER" >&2
    exit 2
fi
program=$1
close_window=$2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source-path=SCRIPTDIR source=session.sh
source "$here/session.sh"

shots=${LV_SHOTS_DIR:-$PWD/whole_program_xvfb}
mkdir -p "$shots"
rm -f "$shots"/[0-9]-*.png

fail() {
    echo "FAILED: $*" >&2
    echo "pictures in $shots; the program's output:" >&2
    xsession_program_log >&2
    exit 1
}

# ---------------------------------------------------------------------------------------------
# Where things are in the window, in pixels (15 twips to the pixel, no window frame).

# Top-left pixel of each plot's drawing area: the plot's corner plus its 2-pixel border.
declare -A origin=([XYgraf]="34 34" [Xgraf]="370 34" [Ygraf]="370 194")

# The text boxes, as ImageMagick regions WIDTHxHEIGHT+LEFT+TOP.
declare -A box=([XI]="129x25+32+352" [YI]="129x25+32+392"
                [TR]="105x25+552+344" [XR]="105x25+552+384" [YR]="105x25+552+424")

# The scroll bar's right arrow: the last 17 pixels of the bar at (368, 168), 280x17.
right_arrow=(639 176)

# Prints "plot left top" for the pixel that holds sample k of the solution through (x0, y0) in
# each plot: (150 + 400 x, 4100 - 400 y) twips in the phase plane, (2060 + 20 k, 1700 - 170 v)
# in the time plots.
sample_cells() {
    local x0=$1 y0=$2 k=$3
    awk -v x0="$x0" -v y0="$y0" -v k="$k" -f "$here/sample.awk" |
        awk -v k="$k" -v xy="${origin[XYgraf]}" -v xt="${origin[Xgraf]}" -v yt="${origin[Ygraf]}" '
            function floor(v) { return v == int(v) || v > 0 ? int(v) : int(v) - 1 }
            function cell(name, corner, X, Y) {
                split(corner, c, " ")
                printf "%s %d %d\n", name, c[1] + floor(X / 15), c[2] + floor(Y / 15)
            }
            {
                cell("XYgraf", xy, 150 + 400 * $1, 4100 - 400 * $2)
                cell("Xgraf", xt, 2060 + 20 * k, 1700 - 170 * $1)
                cell("Ygraf", yt, 2060 + 20 * k, 1700 - 170 * $2)
            }'
}

# ---------------------------------------------------------------------------------------------
# The expectations of one step, checked on a picture.

checks="$xsession_dir/checks"
changed_boxes=()
kept_boxes=()

new_step() {
    : >"$checks"
    changed_boxes=()
    kept_boxes=()
}

expect() { # kind left top width height description
    printf '%s|%s|%s|%s|%s|%s\n' "$@" >>"$checks"
}

# The thick dot of the time cursor covers 3x3 pixels around the sample's pixel; the other
# samples are single pixels, so no other drawing fills such a square.
expect_thick_dots() { # x0 y0 k
    local plot left top
    while read -r plot left top; do
        expect dark $((left - 1)) $((top - 1)) 3 3 "$plot: thick dot of sample $3 of the solution through ($1, $2)"
    done < <(sample_cells "$@")
}

expect_no_thick_dots() { # x0 y0 k
    local plot left top
    while read -r plot left top; do
        expect notdark $((left - 1)) $((top - 1)) 3 3 "$plot: no thick dot left at sample $3 of the solution through ($1, $2)"
    done < <(sample_cells "$@")
}

region_differs() { # box before after
    [[ $(compare -metric AE "$2[${box[$1]}]" "$3[${box[$1]}]" null: 2>&1) != 0 ]]
}

# Checks the picture $1 against the step's expectations, with $2 the picture of the step
# before; leaves the report in $xsession_dir/report.
step_holds() {
    local shot=$1 before=$2 name holds=0
    xsession_shot "$shot" || return 1
    convert "$shot" -colorspace Gray -depth 8 -compress none pgm:- |
        awk -f "$here/pixels.awk" "$checks" - >"$xsession_dir/report" || holds=1
    for name in "${changed_boxes[@]}"; do
        if region_differs "$name" "$before" "$shot"; then
            echo "  ok   text box $name shows a new text" >>"$xsession_dir/report"
        else
            echo "  FAIL text box $name shows a new text" >>"$xsession_dir/report"
            holds=1
        fi
    done
    for name in "${kept_boxes[@]}"; do
        if region_differs "$name" "$before" "$shot"; then
            echo "  FAIL text box $name keeps its text" >>"$xsession_dir/report"
            holds=1
        else
            echo "  ok   text box $name keeps its text" >>"$xsession_dir/report"
        fi
    done
    return $holds
}

# Waits until the window shows what the step expects; pictures are named after the step.
check_step() { # step-name previous-step-name
    local shot="$shots/$1.png" before="$shots/$2.png"
    xsession_poll step_holds "$shot" "$before" || true
    cat "$xsession_dir/report"
    grep -q FAIL "$xsession_dir/report" && fail "step '$1': the window does not show what it must"
    kill -0 "$xsession_program_pid" 2>/dev/null || fail "the program ended during step '$1'"
    return 0
}

# ---------------------------------------------------------------------------------------------

xsession_start_display 1024x768
xsession_start_program "$program"
xsession_wait_window
echo "window $xsession_window of process $xsession_program_pid is visible"

eval "$(xdotool getwindowgeometry --shell "$xsession_window")"
[[ $WIDTH == 665 && $HEIGHT == 460 ]] || fail "the window is ${WIDTH}x$HEIGHT pixels, not 665x460"
echo "window size ${WIDTH}x$HEIGHT at ($X, $Y)"

echo "== start-up: the trajectory through (5, 5), time cursor at sample 0"
new_step
expect_thick_dots 5 5 0
# Nothing to compare the boxes with yet: the first picture is the reference.
check_step 1-start-up 1-start-up

# A click in the phase plane on the pixel of the point (3, 6): the drawing area's pixel
# (90, 113) is (1350, 1695) twips, so XI becomes "3" and YI "6.0125".
click=(124 147)
x0=3
y0=6.0125
echo "== click at (${click[0]}, ${click[1]}) in the window: the trajectory through ($x0, $y0)"
new_step
expect_thick_dots $x0 $y0 0
read -r _ left top < <(sample_cells 5 5 0)
expect light $((left - 1)) $((top - 1)) 3 3 "XYgraf: the old thick dot at (5, 5) is gone with its trajectory"
# The cursor was at 0 already; the read-outs still show sample 0 of the new trajectory.
changed_boxes=(XI YI XR YR)
kept_boxes=(TR)
xdotool mousemove --window "$xsession_window" --sync "${click[@]}" click 1
check_step 2-click 1-start-up

echo "== click on the scroll bar's right arrow: time cursor at sample 1"
new_step
expect_thick_dots $x0 $y0 1
expect_no_thick_dots $x0 $y0 0
changed_boxes=(TR XR YR)
kept_boxes=(XI YI)
xdotool mousemove --window "$xsession_window" --sync "${right_arrow[@]}" click 1
check_step 3-arrow 2-click

echo "== End key on the scroll bar: time cursor at sample 100"
new_step
expect_thick_dots $x0 $y0 100
expect_no_thick_dots $x0 $y0 1
changed_boxes=(TR XR YR)
kept_boxes=(XI YI)
xdotool key --window "$xsession_window" End
check_step 4-end-key 3-arrow

# A point so far out that both directions overflow in their first sample: no sample of the
# trajectory before may stay on screen, so the drawing area of the phase plane is empty but
# for its axis lines (the y axis in pixel column 10, the x axis in row 273).
echo "== typed point (1e10, 1e10) and Calcular: both directions overflow, nothing old is left"
new_step
read -r ox oy <<<"${origin[XYgraf]}"
expect light $((ox + 12)) "$oy" 268 270 "XYgraf: no sample of an earlier trajectory is left"
changed_boxes=(TR XR YR XI YI)
kept_boxes=()
for field in "XI 96 364" "YI 96 404"; do
    read -r _ fx fy <<<"$field"
    xdotool mousemove --window "$xsession_window" --sync "$fx" "$fy" click 1
    xdotool key --window "$xsession_window" ctrl+a
    xdotool type --window "$xsession_window" 1e10
done
xdotool mousemove --window "$xsession_window" --sync 96 436 click 1
check_step 5-overflow 4-end-key

echo "== close the window"
"$close_window" "$xsession_window" || fail "could not ask the window to close"
xsession_wait_exit || fail "the program still runs $LV_X_TIMEOUT s after its window was asked to close"
[[ $xsession_exit_status == 0 ]] || fail "the program ended with status $xsession_exit_status"
echo "  ok   the program ended with status 0"
if xdotool search --onlyvisible --name 'Lotka-Volterra' >/dev/null 2>&1; then
    fail "a window is still visible after the program ended"
fi
echo "  ok   no window left"
echo "PASSED"
