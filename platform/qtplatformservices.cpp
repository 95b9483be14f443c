// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "qtplatformservices.h"

#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>

#include <algorithm>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

// How wide a prompt is where the screen has room, in logical pixels.
constexpr int comfortablePromptWidth = 480;

QString fromUtf8(const std::string &text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string toUtf8(const QString &text)
{
    return text.toStdString();
}

} // namespace

QtPlatformServices::QtPlatformServices()
{
    m_random.reseedFromClock();
}

void QtPlatformServices::setDisplay(QLineEdit *display)
{
    m_display = display;
    if (display)
        display->setMaxLength(std::numeric_limits<int>::max());
}

std::string QtPlatformServices::AskText(const std::string &prompt)
{
    if (m_askingStopped)
        return {};
    QInputDialog dialog;
    dialog.setWindowTitle(u"Jeerforge"_s);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setLabelText(fromUtf8(prompt));
    dialog.setTextValue(QString());
    // The prompts come before the main window; closing one must not end the program.
    dialog.setAttribute(Qt::WA_QuitOnClose, false);
    if (auto *label = dialog.findChild<QLabel *>()) {
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
    }
    if (auto *line = dialog.findChild<QLineEdit *>())
        line->setMaxLength(std::numeric_limits<int>::max());
    // The text wraps, so the prompt never needs more than the screen's width,
    // with room for a window frame, and OK and Cancel stay in sight.
    const int available = dialog.screen()->availableGeometry().width() * 9 / 10;
    dialog.setMaximumWidth(available);
    const int width = std::min(comfortablePromptWidth, available);
    const int hintedHeight = dialog.sizeHint().height(); // also lays the dialog out
    dialog.resize(width, std::max(dialog.heightForWidth(width), hintedHeight));

    if (dialog.exec() != QDialog::Accepted)
        return {};
    return toUtf8(dialog.textValue());
}

void QtPlatformServices::Reseed()
{
    m_random.reseedFromClock();
}

double QtPlatformServices::NextUniform()
{
    return m_random.nextUniform();
}

void QtPlatformServices::SetDisplayText(const std::string &text)
{
    Q_ASSERT(m_display);
    if (!m_display)
        return;
    m_display->setText(fromUtf8(text));
    // A sentence longer than the box shows from its beginning.
    m_display->setCursorPosition(0);
}

std::string QtPlatformServices::GetDisplayText()
{
    Q_ASSERT(m_display);
    return m_display ? toUtf8(m_display->text()) : std::string();
}

void QtPlatformServices::PrintLine(const std::string &line)
{
    if (!m_printout.addLine(fromUtf8(line))) {
        throw PlatformError(
            QCoreApplication::translate("QtPlatformServices", "The printout is full; the line was not added to it.")
                .toStdString());
    }
}

void QtPlatformServices::EndProgram()
{
    QCoreApplication::exit(0);
}
