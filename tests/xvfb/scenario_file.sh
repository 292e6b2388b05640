#!/usr/bin/env bash
# The program started with a scenario file, in a real X server: with the example file its
# window shows the scenario, not the designed start; with a missing file a message titled
# "Abrir escenario" appears over the window, which is as designed once the message is closed;
# so it does with a named pipe, which is not opened at all.
#
# Usage: scenario_file.sh PROGRAM CLOSE-WINDOW-HELPER EXAMPLE-FILE
set -euo pipefail

if [[ $# -ne 3 ]]; then
    echo "usage: $0 PROGRAM CLOSE-WINDOW-HELPER EXAMPLE-FILE" >&2
    exit 2
fi
program=$1
close_window=$2
example=$3
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source-path=SCRIPTDIR source=session.sh
source "$here/session.sh"

fail() {
    echo "FAILED: $*; the program's output:" >&2
    xsession_program_log >&2
    exit 1
}

# The pictures differ; $3 is a region WIDTHxHEIGHT+LEFT+TOP, or none for the whole window.
differ() {
    [[ $(compare -metric AE "$1${3:+[$3]}" "$2${3:+[$3]}" null: 2>&1) != 0 ]]
}

message=
find_message() {
    message=$(xdotool search --all --onlyvisible --pid "$xsession_program_pid" --name '^Abrir escenario$' 2>/dev/null |
        head -n 1) || true
    [[ -n $message ]]
}

# Starts the program with the given arguments and takes the picture $1 once it has settled.
start_and_shoot() {
    local shot=$1
    shift
    xsession_stop_program
    xsession_program_args=("$@")
    xsession_start_program "$program"
    xsession_wait_window
    xsession_settled_shot "$shot" || fail "the window never settled"
}

xsession_start_display 1024x768
designed="$xsession_dir/designed.png"
start_and_shoot "$designed"

echo "== lotka-volterra $(basename "$example")"
start_and_shoot "$xsession_dir/example.png" "$example"
find_message && fail "a message appeared"
differ "$designed" "$xsession_dir/example.png" "129x25+32+352" || fail "XI does not show the file's initial point"
differ "$designed" "$xsession_dir/example.png" "268x268+34+34" || fail "the phase plane shows the designed start"
echo "  ok   the window shows the scenario"

# Starts the program with the file $1, which it cannot open: a message appears over the window,
# and once it is closed the window is as designed.
expect_message() {
    echo "== lotka-volterra $(basename "$1")"
    xsession_stop_program
    xsession_program_args=("$1")
    xsession_start_program "$program"
    xsession_wait_window
    xsession_poll find_message || fail "no message titled \"Abrir escenario\""
    # Over the main window: the desktop is told that the message belongs to it.
    [[ $(xprop -id "$message" WM_TRANSIENT_FOR) == *"window id # $(printf '0x%x' "$xsession_window")" ]] ||
        fail "the message is not over the main window: $(xprop -id "$message" WM_TRANSIENT_FOR)"
    echo "  ok   the message is shown over the window"
    "$close_window" "$message" || fail "could not close the message"
    xsession_settled_shot "$xsession_dir/after.png" || fail "the window never settled"
    differ "$designed" "$xsession_dir/after.png" && fail "the window is not as designed after the message"
    echo "  ok   the window is as designed"
}

expect_message "$xsession_dir/no-such-file.lvesc"
# Regression: opening a named pipe waited for a writer, before the window was ever shown.
mkfifo "$xsession_dir/pipe.lvesc"
expect_message "$xsession_dir/pipe.lvesc"
echo "PASSED"
