// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <optional>

class PrintoutDocument;

/// How a printout is saved to a file: laid out and written off the window's
/// thread, whose event loop keeps running for the person at the screen; after
/// a second, a window says so and offers to stop, as a signal stops it.
enum class Watched { ByThePerson, ByNobody };

/// Saves the printout at path as PrintoutDocument::save() does: nothing once
/// saved, else why not. With nobody watching, this thread waits, with no
/// event loop.
std::optional<QString> saveOffTheWindowsThread(PrintoutDocument &printout, const QString &path, bool replace,
                                               Watched watched);
