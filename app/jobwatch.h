// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "printjob.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

class QMessageBox;
class QuitOnSignals;

/// Watches one print errand for the person at the screen. After a second of
/// waiting, a modal window says what is awaited and offers to stop waiting,
/// by its button or by closing it; a user name and password that the print
/// service wants are asked for in a dialog, which nothing covers, and whose
/// time is the user's, not the wait's; a signal stops the wait at once. The
/// window's thread keeps running its event loop all the while.
class JobWatch : public QObject
{
    Q_OBJECT

public:
    /// Asks for a user name and password, saying who asks and offering a
    /// user; nothing on Cancel.
    using AskForPassword = std::function<std::optional<PrintJob::Credentials>(const QString &who, const QString &user)>;

    /// By default, the password is asked for in Jeerforge's password dialog.
    JobWatch(std::unique_ptr<PrintJob> job, const QuitOnSignals &quitOnSignals, QObject *parent = nullptr,
             AskForPassword askForPassword = {});
    ~JobWatch() override;

    /// Starts the errand; done() comes when it is over.
    void start();

    /// Starts the errand and runs an event loop until it is over. For the
    /// end, once the window's own loop is over.
    [[nodiscard]] PrintResult wait();

    [[nodiscard]] PrintJob &job() const { return *m_job; }

Q_SIGNALS:
    void done(const PrintResult &result);

private:
    [[nodiscard]] QString awaited() const;
    void tell();
    void showWaiting();
    void askForPassword(const PasswordRequest &request);

    std::unique_ptr<PrintJob> m_job;
    const QuitOnSignals &m_quitOnSignals;
    AskForPassword m_askForPassword;
    QTimer m_showAfter;
    QPointer<QMessageBox> m_box;
    QString m_printer;
    bool m_sending = false;
    bool m_preparing = false;
    std::optional<PrintResult> m_result;
};
