# SPDX-FileCopyrightText: 2026 The Jeerforge developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Runs the real program natively on Wayland: a Weston compositor inside the
# test's Xvfb (its x11 backend gives it a seat), and the test's own session
# and accessibility buses. xdotool cannot reach Wayland clients, so the
# program is driven through the accessibility bus alone, as assistive
# technology does. Source it after xvfb.sh.

# Starts Weston, as $weston_pid, and waits for its socket; one that a
# Weston before it left behind goes first.
weston_start() {
    rm -f "$XDG_RUNTIME_DIR/jeerforge-wayland"
    weston --backend=x11-backend.so --socket=jeerforge-wayland --width=1024 --height=768 --idle-time=0 \
        --log="$xvfb_dir/weston.log" 2>/dev/null &
    weston_pid=$!
    session_pids+=("$weston_pid")
    eventually [ -S "$XDG_RUNTIME_DIR/jeerforge-wayland" ] || { echo "Weston did not start:"; cat "$xvfb_dir/weston.log"; exit 1; }
}
accessibility_bus_start
weston_start

# As in xvfb.sh, but the program sees only the Wayland display, and each
# prompt is answered by its OK button, as no X keyboard reaches it.
jeerforge_start() {
    env --default-signal=INT -u DISPLAY WAYLAND_DISPLAY=jeerforge-wayland QT_QPA_PLATFORM=wayland QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
        "$jeerforge" "${jeerforge_args[@]}" 2>>"$xvfb_dir/stderr" &
    program=$!
    local answered
    answered=$(atspi answer-prompts "$1" "$2" "$3")
    check "45 prompts came before the window" [ "$answered" = 45 ]
    window=""
    [ "$answered" = 45 ] && window="Jeerforge V. 1.0"
}
window_size() { atspi size; }
