// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>

#include <array>

class QSocketNotifier;

/// While it lives, SIGTERM, SIGINT and SIGHUP end the event loops the way
/// Exit does, so the program still ends properly when it is asked to from
/// outside (kill, Ctrl+C, the session ending), even while a message box is
/// open. Only one may live at a time.
class QuitOnSignals : public QObject
{
    Q_OBJECT

public:
    explicit QuitOnSignals(QObject *parent = nullptr);
    ~QuitOnSignals() override;

    /// Whether SIGTERM or SIGHUP came: the session or the system is ending,
    /// and nobody is left to answer a question.
    [[nodiscard]] bool sessionEnding() const;

    /// How many of these signals came so far.
    [[nodiscard]] int count() const { return m_count; }

private:
    static void handle(int signal);

    std::array<int, 2> m_fds{-1, -1};
    QSocketNotifier *m_notifier = nullptr;
    int m_caught = 0; // the last signal that came
    int m_count = 0;
};
