// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "printservice.h"
#include "quitonsignals.h"
#include "scriptedcups.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <csignal>
#include <functional>
#include <memory>

#include <gtest/gtest.h>

inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

/// What the tests of the waits share: the print service on the scripted
/// scheduler, the program's signal handling, and the person at the screen.
class PrintWaits : public ::testing::Test
{
protected:
    void SetUp() override
    {
        resetScript();
        cups = scriptedCups();
        if (!cups)
            GTEST_SKIP() << "no libcups here";
        service = std::make_unique<PrintService>(cups);
    }

    void TearDown() override
    {
        service.reset();
        ippDelete(script.capabilities);
        // A signal ends every event loop, and later ones at once, until the
        // application's own loop has run again.
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        QCoreApplication::exec();
    }

    /// As SIGTERM from outside.
    static void terminate() { std::raise(SIGTERM); }

    /// The message box on top, if one is.
    static QMessageBox *boxOnTop() { return qobject_cast<QMessageBox *>(QApplication::activeModalWidget()); }

    /// Clicks the button of the box whose text it is.
    static bool click(QMessageBox *box, const QString &text)
    {
        const QList<QAbstractButton *> buttons = box->buttons();
        const auto button = std::find_if(buttons.begin(), buttons.end(),
                                         [&text](const QAbstractButton *b) { return b->text() == text; });
        if (button == buttons.end()) {
            ADD_FAILURE() << "no button " << text.toStdString() << " in " << box->text().toStdString();
            return false;
        }
        (*button)->click();
        return true;
    }

    /// Whatever is on top, each time the event loop turns, goes to answer;
    /// it says whether it answered. A window it leaves unanswered for 15 s
    /// fails the test, and a SIGTERM ends what asks, so that an unexpected
    /// question ends the test instead of holding it.
    void answerEachWindowOnTop(std::function<bool(QWidget *)> answer)
    {
        m_answer = std::move(answer);
        QObject::connect(&m_answerer, &QTimer::timeout, [this] {
            QWidget *top = QApplication::activeModalWidget();
            if (!top || !top->isVisible() || top == m_answered)
                return;
            if (m_answer(top)) {
                m_answered = top;
            } else if (top != m_unanswered) {
                m_unanswered = top;
                m_unansweredSince.start();
            } else if (m_unansweredSince.hasExpired(15'000)) {
                const auto *box = qobject_cast<QMessageBox *>(top);
                ADD_FAILURE() << "nothing answers " << top->windowTitle().toStdString() << ": "
                              << (box ? box->text().toStdString() : std::string(top->metaObject()->className()));
                terminate();
                m_unanswered = nullptr;
            }
        });
        m_answerer.start(10);
    }

    std::shared_ptr<const CupsLibrary> cups;
    std::unique_ptr<PrintService> service;
    const QuitOnSignals quitOnSignals;

private:
    QTimer m_answerer;
    std::function<bool(QWidget *)> m_answer;
    QPointer<QWidget> m_answered;
    QPointer<QWidget> m_unanswered;
    QElapsedTimer m_unansweredSince;
};
