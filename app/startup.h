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
