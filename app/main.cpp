// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "jeerforge.h"

int main(int argc, char **argv)
{
    return runJeerforge(argc, argv);
}
