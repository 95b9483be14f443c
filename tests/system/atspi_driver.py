# SPDX-FileCopyrightText: 2026 The Jeerforge developers
# SPDX-License-Identifier: GPL-3.0-or-later

"""Drives the running Jeerforge through the accessibility bus (AT-SPI), as
assistive technology does: where no X server takes synthetic keys, as on
Wayland. Like a person's keys, every command that acts reaches only the
window that holds the keyboard, so a modal window keeps the others out of
reach. Each command prints its result and exits non-zero when it fails.

  answer-prompts BEGINNING VERB NOUN [KEYS]
                                       answers the 45 start-up prompts (OK, or
                                       Cancel where the answer is empty); with
                                       KEYS = x11, Return on the X keyboard
                                       stands for OK
  size                                 the main window's size, as WxH
  press BUTTON                         presses a button in the window that
                                       holds the keyboard, once it takes
                                       presses, and returns once the press
                                       has landed
  shows BUTTON                         waits until the window that holds the
                                       keyboard has BUTTON, taking presses
  settle                               waits until the main window's buttons
                                       take presses again
  save-as PATH                         answers the save dialog with PATH and
                                       prints whose it was: Qt's or GNOME's
  answer TEXT BUTTON                   presses BUTTON in the message box whose
                                       text holds TEXT
  log-in PASSWORD                      answers the password dialog with
                                       PASSWORD and prints what it asked
  text                                 what the insult box shows
  notice                               what the screen-reader notice says
  tree                                 the main window's accessible tree
  serve                                reads commands from standard input, one
                                       a line, each argument as ":" and its
                                       base64, and
                                       answers each with a line: its exit
                                       status, a tab, and its output in base64

A run that drives the program through many commands serves them from one
process, which saves starting Python and reading the bus each time.
"""

import base64
import contextlib
import io
import subprocess
import sys
import time

import pyatspi

WINDOW = "Jeerforge V. 1.0"


def wait_for(find, what, seconds=60.0):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        try:
            found = find()
        except Exception:  # an object went away while it was read
            found = None
        if found is not None:
            return found
        time.sleep(0.01)
    sys.exit(f"not found through the accessibility bus: {what}")


def showing(accessible):
    return accessible.getState().contains(pyatspi.STATE_SHOWING)


def hidden(accessible):
    try:
        return not showing(accessible)
    except Exception:  # it is gone
        return True


# Qt's side of the program; GTK's file chooser, where the desktop's is used,
# registers as a second application, "jeerforge".
def top_levels(names=("Jeerforge",)):
    for application in pyatspi.Registry.getDesktop(0):
        if application is None or application.name not in names:
            continue
        for window in application:
            if window is not None and showing(window):
                yield window


def top_level(role, name):
    return next((w for w in top_levels() if w.getRole() == role and w.name == name), None)


# The window that holds the keyboard, of the program or of GTK's side of it;
# where none does, as on an X server with no window manager, the program's
# one window, while it shows no other.
def active_windows():
    windows = list(top_levels(("Jeerforge", "jeerforge")))
    active = [w for w in windows if w.getState().contains(pyatspi.STATE_ACTIVE)]
    return active if active or len(windows) != 1 else windows


# The first showing control with this role and name (any name for None) in
# the window that holds the keyboard.
def in_active_window(role, name):
    for window in active_windows():
        found = pyatspi.findDescendant(
            window, lambda a: a.getRole() == role and (name is None or a.name == name) and showing(a))
        if found is not None:
            return found
    return None


def descendant(root, role, name=None):
    return pyatspi.findDescendant(root, lambda a: a.getRole() == role and (name is None or a.name == name))


def takes_presses(accessible):
    state = accessible.getState()
    return state.contains(pyatspi.STATE_SHOWING) and state.contains(pyatspi.STATE_SENSITIVE)


def pressed(button):
    try:
        return button.getState().contains(pyatspi.STATE_PRESSED)
    except Exception:  # it went away with its window: the press was taken
        return False


# Qt's buttons click a tenth of a second after they are pressed, shown down
# meanwhile; the window's thread answers the bus only between events, so
# once the button is seen up again, the click and what it started have run.
def press(button):
    action = button.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    qt = "Press" in names
    action.doAction(names.index("Press" if qt else "click"))  # Qt's, GTK's
    if qt:
        wait_for(lambda: None if pressed(button) else True, f'the click of "{button.name}"')


def buttons_take_presses():
    window = top_level(pyatspi.ROLE_FRAME, WINDOW)
    if window is None:
        return None
    buttons = pyatspi.findAllDescendants(window, lambda a: a.getRole() == pyatspi.ROLE_PUSH_BUTTON)
    return True if len(buttons) == 3 and all(takes_presses(b) for b in buttons) else None


def main_window():
    return wait_for(lambda: top_level(pyatspi.ROLE_FRAME, WINDOW), f'the window "{WINDOW}"')


def answer_prompts(beginning, verb, noun, keys=""):
    for index in range(45):
        answer = beginning if index < 5 else verb if index < 25 else noun
        if top_level(pyatspi.ROLE_FRAME, WINDOW) is not None:
            sys.exit(f"the main window showed before prompt {index + 1}")
        dialog = wait_for(lambda: next((w for w in active_windows()
                                        if w.getRole() == pyatspi.ROLE_DIALOG and w.name == "Jeerforge"), None),
                          f"prompt {index + 1}, holding the keyboard")
        line = wait_for(lambda: descendant(dialog, pyatspi.ROLE_TEXT), f"the input line of prompt {index + 1}")
        if answer:
            line.queryEditableText().setTextContents(answer)
        if keys == "x11":
            subprocess.run(["xdotool", "key", "Return" if answer else "Escape"], check=True)
        else:
            press(descendant(dialog, pyatspi.ROLE_PUSH_BUTTON, "OK" if answer else "Cancel"))
        wait_for(lambda: True if hidden(dialog) else None, f"the end of prompt {index + 1}")
    main_window()
    print(45)


def tree(accessible, depth=0):
    states = [pyatspi.stateToString(s) for s in accessible.getState().getStates()]
    kept = [s for s in states if s in ("active", "focused", "focusable", "showing")]
    size = accessible.queryComponent().getExtents(pyatspi.WINDOW_COORDS)
    line = f'{"  " * depth}{accessible.getRoleName()} "{accessible.name}"'
    if accessible.description:
        line += f' ({accessible.description})'
    print(f"{line} {size.width}x{size.height} [{' '.join(kept)}]")
    for child in accessible:
        tree(child, depth + 1)


def main(command, *arguments):
    if command == "answer-prompts":
        answer_prompts(*arguments)
    elif command == "size":
        size = main_window().queryComponent().getExtents(pyatspi.WINDOW_COORDS)
        print(f"{size.width}x{size.height}")
    elif command in ("press", "shows"):
        button = wait_for(lambda: next((b for b in [in_active_window(pyatspi.ROLE_PUSH_BUTTON, arguments[0])]
                                        if b is not None and takes_presses(b)), None), arguments[0])
        if command == "press":
            press(button)
    elif command == "settle":
        wait_for(buttons_take_presses, "the main window's buttons, taking presses")
    elif command == "save-as":
        # Qt's dialog names its line; in GNOME's chooser the name is the one showing text field.
        line = wait_for(lambda: in_active_window(pyatspi.ROLE_TEXT, "File name:")
                        or in_active_window(pyatspi.ROLE_TEXT, None), "the save dialog")
        line.queryEditableText().setTextContents(arguments[0])
        press(wait_for(lambda: in_active_window(pyatspi.ROLE_PUSH_BUTTON, "Save"), "its Save button"))
        print("GNOME's" if line.getApplication().name == "jeerforge" else "Qt's")
    elif command == "answer":
        def box():
            return next((w for w in active_windows() if pyatspi.findDescendant(
                w, lambda a: a.getRole() == pyatspi.ROLE_LABEL and arguments[0] in a.name)), None)
        press(wait_for(lambda: descendant(wait_for(box, arguments[0]), pyatspi.ROLE_PUSH_BUTTON, arguments[1]),
                       arguments[1]))
    elif command == "log-in":
        password = wait_for(lambda: in_active_window(pyatspi.ROLE_PASSWORD_TEXT, "Password"), "the password dialog")
        dialog = password
        while dialog.getRole() != pyatspi.ROLE_DIALOG:
            dialog = dialog.parent
        print(descendant(dialog, pyatspi.ROLE_LABEL).name)
        password.queryEditableText().setTextContents(arguments[0])
        press(descendant(dialog, pyatspi.ROLE_PUSH_BUTTON, "OK"))
    elif command == "text":
        box = descendant(main_window(), pyatspi.ROLE_TEXT, "Insult").queryText()
        print(box.getText(0, box.characterCount))
    elif command == "notice":
        print(descendant(main_window(), pyatspi.ROLE_NOTIFICATION).name)
    elif command == "tree":
        tree(main_window())
    elif command == "serve":
        serve()
    else:
        sys.exit(__doc__)


def serve():
    for request in sys.stdin:
        arguments = [base64.b64decode(word[1:]).decode() for word in request.split()]
        output = io.StringIO()
        status = 0
        try:
            with contextlib.redirect_stdout(output):
                main(*arguments)
        except SystemExit as end:
            if isinstance(end.code, str):
                print(end.code, file=sys.stderr)
            status = end.code if isinstance(end.code, int) else 1
        except Exception as error:  # a bus error fails the command, not the driver
            print(f"{arguments[0]}: {error!r}", file=sys.stderr)
            status = 1
        print(f"{status}\t{base64.b64encode(output.getvalue().encode()).decode()}", flush=True)


if __name__ == "__main__":
    main(*sys.argv[1:])
