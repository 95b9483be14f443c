#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Jeerforge developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program on a private X server: 45 prompts answered from the
# keyboard, then the window at its size and caption, an insult on Next
# Insult, the program's end by Exit and by closing the window, the layout
# at twice the scale, and arguments that change nothing.
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

QT_SCALE_FACTOR=2 jeerforge_start a b c
check "at scale 2 the window is 910x240 device pixels" [ "$(window_size "$window")" = 910x240 ]
import -window "$window" "$artifacts/window-scale-2.png" 2>/dev/null
press_exit_at_scale_2() { click_in "$window" 340 184; }
press_exit_at_scale_2
wait_for_exit "$program"
check "Exit at scale 2 sits at twice its place" [ $? -eq 0 ]

jeerforge_args=(--help --version -x bogus words)
jeerforge_start a b c
check "arguments change nothing: the window is 455x120" [ "$(window_size "$window")" = 455x120 ]
press_exit
wait_for_exit "$program"
check "arguments change nothing: Exit ends it" [ $? -eq 0 ]

echo "screenshots: $artifacts"
[ "$failures" -eq 0 ]
