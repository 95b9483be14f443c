// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QObject>
#include <QTimer>

#include <deque>
#include <functional>
#include <optional>
#include <vector>

/// Answers the modal prompts of the real input dialog: puts each scripted
/// answer into the dialog's line and accepts it. Where the script says nullopt
/// (or has run out) it does what byHand says, by default Cancel. Records what
/// each prompt showed before it was answered.
class PromptAnswerer : public QObject
{
public:
    struct Seen
    {
        QString caption;
        QString label;
        QString initialText;
        bool ownerVisible = false;
    };

    explicit PromptAnswerer(std::deque<std::optional<QString>> script, QWidget *owner = nullptr)
        : m_script(std::move(script))
        , m_owner(owner)
    {
        connect(&m_poll, &QTimer::timeout, this, &PromptAnswerer::answerOpenPrompt);
        m_poll.start(0);
    }

    std::function<void(QInputDialog *)> byHand = [](QInputDialog *dialog) { dialog->reject(); };
    std::vector<Seen> seen;

private:
    void answerOpenPrompt()
    {
        auto *dialog = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible() || dialog->property("answered").toBool())
            return;
        dialog->setProperty("answered", true);
        auto *line = dialog->findChild<QLineEdit *>();
        seen.push_back({dialog->windowTitle(), dialog->findChild<QLabel *>()->text(), line->text(),
                        m_owner && m_owner->isVisible()});
        std::optional<QString> answer;
        if (!m_script.empty()) {
            answer = m_script.front();
            m_script.pop_front();
        }
        if (!answer) {
            byHand(dialog);
            return;
        }
        line->setText(*answer);
        dialog->accept();
    }

    std::deque<std::optional<QString>> m_script;
    QWidget *m_owner;
    QTimer m_poll;
};
