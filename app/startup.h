// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <optional>

/// Answers Jeerforge's own options before anything needs a display:
/// -h/--help and -v/--version print to standard output; an unknown option
/// is named on standard error. Returns the exit status when the command line
/// was answered so, or nothing when the program is to run. Qt's own options
/// (-platform, -style, -reverse and the rest) are left to Qt.
[[nodiscard]] std::optional<int> answerCommandLine(int argc, char **argv);

/// Where HOME is unset or empty (cron, "env -i", some launchers), sets it to
/// the home folder that the password database gives, as GLib and the shell
/// take it, so that a kept printout goes to the user's own folders rather
/// than to "/". Runs before any thread starts.
void settleHomeFolder();
