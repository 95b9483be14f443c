#!/usr/bin/env bash
# The real program on a private X server: 45 prompts answered from the
# keyboard, then the window at its size and caption, an insult on Next
# Insult, and the program's end by Exit and by closing the window.
set -u
jeerforge=$1 xclose=$2 artifacts=$3
mkdir -p "$artifacts"
source "$(dirname "$0")/xvfb.sh"
trap xvfb_stop EXIT
failures=0
check() { # description, then a command that must succeed
    local what=$1; shift
    if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}

start_and_answer_prompts() {
    "$jeerforge" &
    program=$!
    prompts=0
    while prompt=$(window_named Jeerforge); do
        if xdotool search --onlyvisible --name '^Jeerforge V\. 1\.0$' >/dev/null 2>&1; then
            echo "FAILED: the window showed before prompt $((prompts + 1))"
            failures=$((failures + 1))
        fi
        answer_prompt "$prompt" "word$prompts"
        prompts=$((prompts + 1))
        [ "$prompts" -eq 45 ] && break
    done
    check "45 prompts were shown" [ "$prompts" -eq 45 ]
    window=$(window_named 'Jeerforge V\. 1\.0')
}

start_and_answer_prompts
check "the main window is shown" [ -n "$window" ]
check "the window is 455x120" [ "$(window_size "$window")" = 455x120 ]
import -window "$window" "$artifacts/window-start.png" 2>/dev/null
click_in "$window" 50 92 # Next Insult
sleep 0.3
import -window "$window" "$artifacts/window-insult.png" 2>/dev/null
click_in "$window" 170 92 # Exit
wait_for_exit "$program"
check "Exit ends the program with success" [ $? -eq 0 ]

start_and_answer_prompts
"$xclose" "$window"
wait_for_exit "$program"
check "closing the window ends the program" [ $? -eq 0 ]

echo "screenshots: $artifacts"
[ "$failures" -eq 0 ]
