#!/usr/bin/env bash
# The real program on a private X server: 45 prompts answered from the
# keyboard, then the window at its size and caption, an insult on Next
# Insult, and the program's end by Exit and by closing the window.
set -u
jeerforge=$1 xclose=$2 artifacts=$3
mkdir -p "$artifacts"
source "$(dirname "$0")/xvfb.sh"

jeerforge_start "you always" run dog
check "the main window is shown" [ -n "$window" ]
check "the window is 455x120" [ "$(window_size "$window")" = 455x120 ]
import -window "$window" "$artifacts/window-start.png" 2>/dev/null
press_next
sleep 0.3
import -window "$window" "$artifacts/window-insult.png" 2>/dev/null
press_exit
wait_for_exit "$program"
check "Exit ends the program with success" [ $? -eq 0 ]

jeerforge_start a b c
"$xclose" "$window"
wait_for_exit "$program"
check "closing the window ends the program" [ $? -eq 0 ]

echo "screenshots: $artifacts"
[ "$failures" -eq 0 ]
