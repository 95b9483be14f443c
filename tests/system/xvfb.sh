# SPDX-FileCopyrightText: 2026 The Jeerforge developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Helpers for tests that drive the real program on a private X server.
# Source it; it starts Xvfb at once and stops it when the shell exits.

xvfb_dir=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$xvfb_dir/display" 2>"$xvfb_dir/xvfb.log" &
xvfb_pid=$!
xvfb_stop() {
    kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
}
# What else the test starts on this display (buses, compositor, screen reader).
session_pids=()
session_stop() {
    [ ${#session_pids[@]} -gt 0 ] && kill "${session_pids[@]}" 2>/dev/null
    session_pids=()
}
trap 'session_stop; xvfb_stop; rm -rf "$xvfb_dir"' EXIT
for _ in $(seq 100); do
    [ -s "$xvfb_dir/display" ] && break
    sleep 0.1
done
[ -s "$xvfb_dir/display" ] || { echo "Xvfb did not start:"; cat "$xvfb_dir/xvfb.log"; exit 1; }
export DISPLAY=":$(cat "$xvfb_dir/display")"
unset WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb
# A desktop session has its own runtime folder.
export XDG_RUNTIME_DIR="$xvfb_dir/runtime"
mkdir -m 0700 "$XDG_RUNTIME_DIR"

# Every wait below is for an event, and gives up only after long enough for
# a machine that is busy with other work: a minute, or half of one.

# The id of the visible window whose title is exactly $1.
window_named() {
    local id
    for _ in $(seq 600); do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}

# Waits until window $1 is no longer mapped.
window_gone() {
    for _ in $(seq 1200); do
        xwininfo -id "$1" 2>/dev/null | grep -q 'IsViewable' || return 0
        sleep 0.05
    done
    return 1
}

# Types $2 into prompt window $1 and presses Enter.
answer_prompt() {
    xdotool windowfocus --sync "$1" 2>/dev/null || true
    [ -z "$2" ] || xdotool type "$2"
    xdotool key Return
    window_gone "$1"
}

# Width and height of window $1, as "WxH".
window_size() {
    xwininfo -id "$1" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}'
}

# Clicks at ($2, $3) inside window $1.
click_in() {
    xdotool mousemove --window "$1" "$2" "$3" click 1
}

# Waits for process $1 to end; its exit code is the result.
wait_for_exit() {
    for _ in $(seq 600); do
        kill -0 "$1" 2>/dev/null || { wait "$1"; return $?; }
        sleep 0.1
    done
    echo "process $1 did not end"
    kill "$1"
    return 124
}

# Starts the test's own session bus with an accessibility bus on it, where
# the program and assistive technology meet, and the driver that works
# through it (atspi_driver.py says how), serving this shell's commands.
accessibility_bus_start() {
    dbus-daemon --session --fork --print-address=3 --print-pid=4 3>"$xvfb_dir/bus" 4>"$xvfb_dir/bus.pid" 2>/dev/null
    DBUS_SESSION_BUS_ADDRESS=$(cat "$xvfb_dir/bus")
    export DBUS_SESSION_BUS_ADDRESS
    session_pids+=("$(cat "$xvfb_dir/bus.pid")")
    /usr/libexec/at-spi-bus-launcher --launch-immediately 2>/dev/null &
    session_pids+=($!)
    mkfifo "$xvfb_dir/atspi.in" "$xvfb_dir/atspi.out"
    /usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/atspi_driver.py" serve <"$xvfb_dir/atspi.in" >"$xvfb_dir/atspi.out" &
    session_pids+=($!)
    exec {atspi_in}>"$xvfb_dir/atspi.in" {atspi_out}<"$xvfb_dir/atspi.out"
}

# Runs one command of the driver, printing its output; its status is the command's.
atspi() {
    local word reply status
    for word in "$@"; do printf ':%s ' "$(printf '%s' "$word" | base64 -w 0)"; done >&"$atspi_in"
    echo >&"$atspi_in"
    IFS= read -r reply <&"$atspi_out" || { echo "the accessibility driver is gone"; return 1; }
    status=${reply%%$'\t'*}
    printf '%s' "${reply#*$'\t'}" | base64 -d
    return "$status"
}
# Chooses Save as PDF… at the end and answers the save dialog with the path $1.
save_as_pdf() { atspi press "Save as PDF…" && atspi save-as "$1"; }

# Runs a command until it succeeds, for up to 30 s.
eventually() {
    for _ in $(seq 300); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

failures=0
# A description, then a command that must succeed.
check() {
    local what=$1
    shift
    if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}

# Starts $jeerforge, with the arguments in the array jeerforge_args, and
# answers its 45 prompts through the accessibility bus, with Return on the
# keyboard: every beginning $1, every verb $2, every noun $3. Sets $program
# to its process id and $window to its main window; the driver fails if the
# window came early.
# A shell starts a background command with SIGINT ignored, and the program
# keeps an ignored signal ignored; it is started as from a terminal instead.
jeerforge_args=()
jeerforge_start() {
    [ -n "${atspi_in:-}" ] || accessibility_bus_start
    env --default-signal=INT QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$jeerforge" "${jeerforge_args[@]}" \
        2>>"$xvfb_dir/stderr" &
    program=$!
    check "45 prompts came before the window" [ "$(atspi answer-prompts "$1" "$2" "$3" x11)" = 45 ]
    window=$(window_named 'Jeerforge V\. 1\.0')
}

# As jeerforge_start, but typing each answer on the keyboard as a person
# does (plain ASCII only).
jeerforge_start_typing() {
    env --default-signal=INT "$jeerforge" "${jeerforge_args[@]}" 2>>"$xvfb_dir/stderr" &
    program=$!
    local prompts=0 prompt answer
    while [ "$prompts" -lt 45 ] && prompt=$(window_named Jeerforge); do
        if xdotool search --onlyvisible --name '^Jeerforge V\. 1\.0$' >/dev/null 2>&1; then
            echo "FAILED: the window showed before prompt $((prompts + 1))"
            failures=$((failures + 1))
        fi
        if [ "$prompts" -lt 5 ]; then answer=$1; elif [ "$prompts" -lt 25 ]; then answer=$2; else answer=$3; fi
        answer_prompt "$prompt" "$answer"
        prompts=$((prompts + 1))
    done
    check "45 prompts came before the window" [ "$prompts" -eq 45 ]
    window=$(window_named 'Jeerforge V\. 1\.0')
}

# What the program wrote to standard error so far.
jeerforge_stderr() {
    cat "$xvfb_dir/stderr" 2>/dev/null
}

# A button of the window, pressed once it takes presses; each returns once
# its click has run.
press_next() { atspi press "Next Insult"; }
press_exit() { atspi press Exit; }
press_print() { atspi press "Print Results"; }
# Waits until a printer look-up that a press started is over.
settled() { atspi settle; }
