// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>

#include <array>
#include <csignal>

class QSocketNotifier;

/// While it lives, SIGTERM, SIGINT and SIGHUP end the event loops the way
/// Exit does, so the program still ends properly when it is asked to from
/// outside (kill, Ctrl+C, the session ending), even while a message box is
/// open. A signal that was ignored when it came into being stays ignored,
/// and the earlier handling of each signal comes back when it goes. Only one
/// may live at a time.
class QuitOnSignals : public QObject
{
    Q_OBJECT

public:
    explicit QuitOnSignals(QObject *parent = nullptr);
    ~QuitOnSignals() override;

    /// Whether one of the signals came, even if no event loop has run since:
    /// the program is to end, and nobody is left to answer a question.
    [[nodiscard]] bool signalled() const;

Q_SIGNALS:
    /// Emitted from the event loop for each signal that came.
    void caught();

private:
    static void handle(int signal);

    std::array<int, 2> m_fds{-1, -1};
    std::array<struct sigaction, 3> m_previous{};
    QSocketNotifier *m_notifier = nullptr;
    bool m_caught = false;
};
