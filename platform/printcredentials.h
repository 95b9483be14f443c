// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string>

/// A user name and password for the print service or a printer, as the user
/// gave them; kept in memory only.
struct PrintCredentials
{
    std::string user;
    std::string password;
};
