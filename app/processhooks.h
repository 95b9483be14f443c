// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <memory>

class HandOver;
class QApplication;

/// The application, or, where Qt cannot start its display plugin, the end of
/// the process with one line on standard error that gives Qt's own reason,
/// and status 1.
std::unique_ptr<QApplication> startApplication(int &argc, char **argv);

/// While it lives, a display that goes away (the X server, the Wayland
/// compositor) ends the process with the status that
/// HandOver::endWithoutDisplay() gives, on whichever thread Qt notices it.
/// Qt ends the process itself then; these hooks are the last moment it leaves.
/// Only one may live at a time; it goes before its HandOver.
class DisplayLossHooks
{
public:
    explicit DisplayLossHooks(HandOver &handOver);
    ~DisplayLossHooks();
    DisplayLossHooks(const DisplayLossHooks &) = delete;
    DisplayLossHooks &operator=(const DisplayLossHooks &) = delete;
};
