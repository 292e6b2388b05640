# shellcheck shell=bash
# A private virtual X server with the program running in it. Sourced by the whole-program test
# and by scripts/screenshot; everything started here is stopped when the sourcing script exits.
#
#   xsession_start_display [WxH]      starts Xvfb on a free display and exports DISPLAY
#   xsession_start_program PROG [VAR=value...]
#                                     starts PROG on that display (pid in xsession_program_pid),
#                                     with the arguments in the array xsession_program_args
#   xsession_wait_window              waits for the program's window (id in xsession_window)
#   xsession_shot FILE                saves a picture of the window alone
#   xsession_poll COMMAND...          retries COMMAND until it succeeds or the time is up
#   xsession_wait_exit                waits for the program to end (status in xsession_exit_status)
#   xsession_stop_program             ends the program at once

# Seconds to wait for anything the program should do. Builds with sanitizers start and draw
# several times slower, so this is generous; waits poll and end as soon as they can.
: "${LV_X_TIMEOUT:=60}"

for tool in Xvfb xdotool import convert compare; do
    if ! command -v "$tool" >/dev/null; then
        echo "error: $tool not found; scripts/install-deps installs it" >&2
        exit 1
    fi
done

xsession_home=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
xsession_dir=$(mktemp -d "${TMPDIR:-/tmp}/lv-xsession.XXXXXX")
xsession_server_pid=
xsession_program_pid=
xsession_window=
xsession_program_args=()
# shellcheck disable=SC2034 # read by the sourcing script
xsession_exit_status=

# Stops the program, then the server, whichever of them is still running.
xsession_stop() {
    xsession_stop_program
    if [[ -n $xsession_server_pid ]]; then
        kill "$xsession_server_pid" 2>/dev/null || true
        wait "$xsession_server_pid" 2>/dev/null || true
    fi
    rm -rf "$xsession_dir"
}
trap xsession_stop EXIT
trap 'exit 130' INT TERM

xsession_poll() {
    local deadline=$((SECONDS + LV_X_TIMEOUT))
    until "$@"; do
        ((SECONDS < deadline)) || return 1
        sleep 0.1
    done
}

# Xvfb writes the display number it chose, and then a newline, once it accepts clients. A
# server that died also ends the wait; the caller tells the two apart.
xsession_display_ready() {
    local file="$xsession_dir/display"
    kill -0 "$xsession_server_pid" 2>/dev/null || return 0
    [[ -s $file && -z $(tail -c 1 "$file") ]]
}

xsession_start_display() {
    local size=${1:-1024x768}
    Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset \
        3>"$xsession_dir/display" >"$xsession_dir/xvfb.log" 2>&1 &
    xsession_server_pid=$!
    if ! xsession_poll xsession_display_ready || ! kill -0 "$xsession_server_pid" 2>/dev/null; then
        echo "error: Xvfb did not start:" >&2
        cat "$xsession_dir/xvfb.log" >&2
        exit 1
    fi
    DISPLAY=":$(head -n 1 "$xsession_dir/display")"
    export DISPLAY
    echo "Xvfb running on display $DISPLAY ($size, 24 bits)"
}

xsession_start_program() {
    local program=$1
    shift
    if [[ ! -x $program ]]; then
        echo "error: no program at $program" >&2
        exit 1
    fi
    # A private runtime directory keeps Qt from complaining when none is set, as under CI. The
    # suppressions matter to sanitizer builds only.
    [[ -d $xsession_dir/runtime ]] || mkdir -m 700 "$xsession_dir/runtime"
    env QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$xsession_dir/runtime" \
        LSAN_OPTIONS="suppressions=$xsession_home/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}" \
        "$@" "$program" "${xsession_program_args[@]}" >"$xsession_dir/program.log" 2>&1 &
    xsession_program_pid=$!
}

xsession_program_log() {
    cat "$xsession_dir/program.log"
}

# Qt also creates hidden helper windows whose names contain the program's name: only a
# visible window of our process with the caption counts.
xsession_find_window() {
    kill -0 "$xsession_program_pid" 2>/dev/null || return 0
    xsession_window=$(xdotool search --onlyvisible --pid "$xsession_program_pid" \
        --name 'Lotka-Volterra' 2>/dev/null | head -n 1) || true
    [[ -n $xsession_window ]]
}

xsession_wait_window() {
    xsession_poll xsession_find_window || true
    if ! kill -0 "$xsession_program_pid" 2>/dev/null; then
        echo "error: the program ended before showing its window; its output:" >&2
        xsession_program_log >&2
        exit 1
    fi
    if [[ -z $xsession_window ]]; then
        echo "error: no window within $LV_X_TIMEOUT s; the program's output:" >&2
        xsession_program_log >&2
        exit 1
    fi
}

xsession_shot() {
    import -window "$xsession_window" "$1"
}

# Takes a picture into $1 and tells whether it equals the previous one taken this way.
xsession_shot_unchanged() {
    local previous="$xsession_dir/previous.png"
    xsession_shot "$1" || return 1
    if [[ -f $previous && $(compare -metric AE "$previous" "$1" null: 2>&1) == 0 ]]; then
        return 0
    fi
    cp "$1" "$previous"
    sleep 0.3
    return 1
}

# Takes pictures until two in a row are the same, so that start-up drawing has finished.
xsession_settled_shot() {
    rm -f "$xsession_dir/previous.png"
    xsession_poll xsession_shot_unchanged "$1"
}

xsession_program_ended() {
    ! kill -0 "$xsession_program_pid" 2>/dev/null
}

# shellcheck disable=SC2034 # the status is read by the sourcing script
xsession_wait_exit() {
    if ! xsession_poll xsession_program_ended; then
        return 1
    fi
    xsession_exit_status=0
    wait "$xsession_program_pid" || xsession_exit_status=$?
    xsession_program_pid=
}

xsession_stop_program() {
    if [[ -n $xsession_program_pid ]]; then
        kill "$xsession_program_pid" 2>/dev/null || true
        wait "$xsession_program_pid" 2>/dev/null || true
        xsession_program_pid=
    fi
}
