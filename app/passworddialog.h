// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "printjob.h"

#include <optional>

class QString;

/// Asks for the user name and password that the print service wants, in a
/// small modal dialog that says who asks (who) and offers user. Returns them,
/// or nothing on Cancel. Nothing of the dialog exists before it is needed.
std::optional<PrintJob::Credentials> askForPassword(const QString &who, const QString &user);
