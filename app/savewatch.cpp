// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "savewatch.h"

#include "messages.h"
#include "printbudget.h"
#include "printoutdocument.h"
#include "waitingbox.h"

#include <QEventLoop>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include <atomic>
#include <future>

std::optional<QString> saveOffTheWindowsThread(PrintoutDocument &printout, const QString &path, bool replace,
                                               Watched watched)
{
    std::atomic<bool> stop{false};
    QEventLoop loop;
    auto saved = std::async(std::launch::async, [&] {
        auto result = printout.save(path, replace, &stop);
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        return result;
    });
    if (watched == Watched::ByThePerson) {
        QPointer<QMessageBox> box;
        QTimer showAfter;
        showAfter.setSingleShot(true);
        QObject::connect(&showAfter, &QTimer::timeout, [&] {
            box = showWaitingBox(Messages::preparing());
            QObject::connect(box, &QDialog::finished, [&stop] { stop = true; });
        });
        showAfter.start(PrintBudget::showWaitAfter);
        if (saved.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
            loop.exec();
        // A signal ends every event loop before the save is done, and the save with it.
        if (saved.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
            stop = true;
        delete box.data();
    }
    return saved.get();
}
