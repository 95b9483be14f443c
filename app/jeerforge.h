#pragma once

/// Starts Jeerforge: the word prompts, then the main window until it ends.
/// Returns the process exit code.
int runJeerforge(int &argc, char **argv);
