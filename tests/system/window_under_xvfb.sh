#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Jeerforge developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program on a private display server, X11 (Xvfb, driven from the
# keyboard and mouse) or Wayland (Weston, driven through the accessibility
# bus): 45 prompts answered, then the window at its size, an insult on Next
# Insult and the program's end by Exit. On X11 the prompts are typed and the
# buttons clicked with the mouse, and also the window's fixed size hints, a
# signal at a prompt, closing the window, Qt's options, which change nothing,
# the layout at twice the scale, what the screen reader Orca speaks, and the
# display going away at a prompt; on Wayland also what screen
# readers are told, and, with no printer, the printout saved as a PDF at the
# end, then printed when the compositor goes away, with Qt's warnings off.
set -u
jeerforge=$1 xclose=$2 artifacts=$3 display_server=${4:-x11}
here=$(dirname "$0")
mkdir -p "$artifacts"
source "$here/xvfb.sh"
if [ "$display_server" = wayland ]; then
    source "$here/wayland.sh"
    source "$here/private_cupsd.sh"
    cupsd_start || exit 1
    trap 'cupsd_stop; session_stop; xvfb_stop; rm -rf "$xvfb_dir"' EXIT
fi

verb=run
if [ "$display_server" = wayland ]; then
    verb="" # Cancel on every verb prompt
    jeerforge_start "you always" "$verb" dog
else
    accessibility_bus_start
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 jeerforge_start_typing "you always" "$verb" dog
fi
check "the main window is shown" [ -n "$window" ]
check "the window is 455x120" [ "$(window_size "$window")" = 455x120 ]
size_hints() { xprop -id "$window" WM_NORMAL_HINTS; }
[ "$display_server" = x11 ] && check "its size is fixed there, so tiling desktops float it" \
    [ "$(size_hints | grep -cE '(minimum|maximum) size: 455 by 120')" -eq 2 ]
# The Motif hints (flags, functions, decorations): neither the window
# manager's functions nor its decorations offer to maximize.
offers_no_maximize() {
    local hints
    hints=$(xprop -id "$window" _MOTIF_WM_HINTS | sed -n 's/.* = //p' | tr -d ' ')
    IFS=, read -r flags functions decorations _ <<<"$hints"
    [ -n "$hints" ] && [ $((functions & 0x10)) -eq 0 ] && [ $((decorations & 0x40)) -eq 0 ] || { echo "hints: $hints"; false; }
}
[ "$display_server" = x11 ] && check "and its title bar offers nothing to maximize" offers_no_maximize

if [ "$display_server" = wayland ]; then
    sentence="^you always  (a|your|the|your mom's|your dad's) dog[.!]$"
    insult_shown() { [[ $(atspi text) =~ $sentence ]]; }
    press_next
    check "Next Insult shows an insult" eventually insult_shown
    check "screen readers are told the same text" [ "$(atspi notice)" = "$(atspi text)" ]
    atspi tree >"$artifacts/wayland-accessible-tree.txt"
    press_print
    check "Print Results without a printer says so" atspi press OK
    press_exit
    check "at the end the printout is saved as a PDF, in Qt's dialog" [ "$(save_as_pdf "$xvfb_dir/saved.pdf")" = "Qt's" ]
    wait_for_exit "$program"
    check "then the program ends with success" [ $? -eq 0 ]
    check "with the insult in the file" grep -qE "${sentence//  / +}" < <(pdftotext "$xvfb_dir/saved.pdf" -)
    check "and Qt kept nothing of its dialog on the disk" [ -z "$(find "$HOME" -name 'QtProject*')" ]

    cupsd_add_capture_printer
    # Many turn Qt's warnings off; the printout is handed over all the same.
    # With them on, the user is told once that the compositor went away.
    broke() { jeerforge_stderr | grep -c 'The Wayland connection broke'; }
    for rules in '*.warning=false' ''; do
        [ -n "$rules" ] || weston_start # the first run's went away
        QT_LOGGING_RULES=$rules jeerforge_start "you always" "$verb" dog
        press_next
        press_print
        settled
        kill "$weston_pid"
        wait "$weston_pid" 2>/dev/null
        wait_for_exit "$program"
        check "when the compositor goes away (rules: \"$rules\"), the program ends with success" [ $? -eq 0 ]
        check "and the printout reaches the printer" [ "$(cupsd_wait_for_jobs)" -eq "$((${#rules} > 0 ? 1 : 2))" ]
        check "saying so as the rules have it: $((${#rules} > 0 ? 0 : 1)) times" [ "$(broke)" -eq "$((${#rules} > 0 ? 0 : 1))" ]
    done
    [ "$failures" -eq 0 ]
    exit
fi

sentence="^you always run (a|your|the|your mom's|your dad's) dog[.!]$"
insult_shown() { [[ $(atspi text) =~ $sentence ]]; }
import -window "$window" "$artifacts/window-start.png" 2>/dev/null
click_in "$window" 50 92
check "a click on Next Insult shows an insult" eventually insult_shown
import -window "$window" "$artifacts/window-insult.png" 2>/dev/null
click_in "$window" 170 92
wait_for_exit "$program"
check "a click on Exit ends the program with success" [ $? -eq 0 ]

"$jeerforge" 2>/dev/null &
program=$!
window_named Jeerforge >/dev/null
kill -s TERM "$program"
wait_for_exit "$program"
check "SIGTERM at a prompt ends the program with success" [ $? -eq 0 ]

jeerforge_args=(-style Fusion -platform xcb plain words)
jeerforge_start a b c
jeerforge_args=()
check "Qt's options and plain words change nothing: the window is 455x120" [ "$(window_size "$window")" = 455x120 ]
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

echo "# what the screen reader Orca says, pressing Next Insult from the keyboard"
jeerforge_start "you always" run dog
# Orca runs its customizations file at start: here it makes the log readable line by line.
mkdir -p "$xvfb_dir/orca"
echo 'import orca.debug; orca.debug.debugFile.reconfigure(line_buffering=True)' >"$xvfb_dir/orca/orca-customizations.py"
orca --debug-file "$artifacts/orca.log" -u "$xvfb_dir/orca" >/dev/null 2>&1 &
session_pids+=($!)
said() { grep -q "SPEECH OUTPUT: '$1" "$artifacts/orca.log" 2>/dev/null; }
# Keys that come before Orca listens for events stall until a timeout.
listening() { grep -qE "ORCA: Starting (registry|Atspi main event loop)" "$artifacts/orca.log" 2>/dev/null; }
check "Orca starts" eventually listening
sleep 0.5
xdotool windowfocus --sync "$window"
check "it announces the window" eventually said "Jeerforge V. 1.0 frame"
# A key before Orca has presented the box with the focus may drop what follows.
check "and the box that has the focus" eventually said "Insult text"
xdotool key Tab
check "and Next Insult with its description" eventually said "Makes a new insult"
# Orca 43 speaks the notice as a notification, Orca 48 Qt's announcement as a message.
insults_said() { [ "$(grep -cE "SPEECH OUTPUT: '(notification )?you always run [a-z' ]* dog[.!]'" "$artifacts/orca.log")" -eq "$1" ]; }
for press in 1 2 3; do
    xdotool key space
    check "it speaks insult $press, the focus staying on the button" eventually insults_said $press
done
grep "SPEECH OUTPUT" "$artifacts/orca.log" >"$artifacts/orca-speech.txt"
press_exit
wait_for_exit "$program"
check "with the screen reader on, Exit ends the program with success" [ $? -eq 0 ]

"$jeerforge" 2>"$xvfb_dir/stderr" &
program=$!
window_named Jeerforge >/dev/null
xvfb_stop
wait_for_exit "$program"
check "the display gone at a prompt ends the program with failure" [ $? -eq 1 ]
check "saying so in one line" [ "$(grep -c 'display went away during the start-up prompts' "$xvfb_dir/stderr")" -eq 1 ]

echo "screenshots: $artifacts"
[ "$failures" -eq 0 ]
