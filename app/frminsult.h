// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "insultcomposer.h"
#include "wordbank.h"

#include <functional>
#include <optional>

#include <QPointer>
#include <QString>
#include <QWidget>

class PlatformServices;
class QLabel;
class QLineEdit;
class QPushButton;
class ScreenReaderNotice;

/// Jeerforge's one window: the insult text box, the credit label and the
/// Next Insult, Exit and Print Results buttons at fixed places, in a window
/// of fixed size. It owns the word bank, which load() fills before the window
/// is first shown. It takes the desktop's font, made smaller where a caption
/// would not fit its control. Each new text in the box is announced to screen
/// readers.
class FrmInsult : public QWidget
{
    Q_OBJECT

public:
    /// Whether the printout has room for a press of Print Results, which
    /// prints the bank's batch; if not, what to tell the user.
    using PrintoutRoom = std::function<std::optional<QString>(const WordBank &bank)>;

    /// Without room, every press prints.
    FrmInsult(PlatformServices &services, WordBank bank, PrintoutRoom room = {}, QWidget *parent = nullptr);

    [[nodiscard]] const WordBank &wordBank() const { return m_bank; }
    [[nodiscard]] QLineEdit *insultBox() const { return txtInsult; }

    /// The window's load step: asks for the words (CollectWords), once.
    void load();

    /// While held, the buttons take no click, as while the print service is awaited.
    void holdButtons(bool held);

Q_SIGNALS:
    /// Print Results put the batch into the printout.
    void resultsPrinted();

protected:
    void changeEvent(QEvent *event) override;

private:
    void fitFont();
    [[nodiscard]] bool captionsFit(const QFont &font) const;

    void printResults();

    PlatformServices &m_services;
    WordBank m_bank;
    PrintoutRoom m_room;
    InsultComposer m_composer;
    bool m_loaded = false;
    QPointer<QWidget> m_focusBeforeHold;

    QLineEdit *txtInsult;
    QLabel *lblTitle;
    QPushButton *cmdNext;
    QPushButton *cmdExit;
    QPushButton *cmdPrint;
    ScreenReaderNotice *m_notice;
};
