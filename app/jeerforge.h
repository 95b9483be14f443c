// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

/// Starts Jeerforge: the word prompts, then the main window until it ends.
/// Returns the process exit code.
int runJeerforge(int &argc, char **argv);
