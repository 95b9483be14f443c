// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platformservices.h"
#include "printoutdocument.h"
#include "printservice.h"
#include "randomsource.h"

#include <QPointer>

class QLineEdit;

/// PlatformServices on a Qt Widgets desktop. The lines it prints go into its
/// printout, which the program hands to its print service as it ends.
class QtPlatformServices : public PlatformServices
{
public:
    QtPlatformServices();

    /// The text box that SetDisplayText and GetDisplayText work on.
    void setDisplay(QLineEdit *display);

    [[nodiscard]] PrintoutDocument &printout() { return m_printout; }
    [[nodiscard]] PrintService &printService() { return m_printService; }

    /// Asks nothing more: every later AskText returns "" at once, as if
    /// cancelled. For a program that is ending.
    void stopAsking() { m_askingStopped = true; }

    std::string AskText(const std::string &prompt) override;
    void Reseed() override;
    double NextUniform() override;
    void SetDisplayText(const std::string &text) override;
    std::string GetDisplayText() override;
    void PrintLine(const std::string &line) override;
    void EndProgram() override;

private:
    QPointer<QLineEdit> m_display;
    RandomSource m_random;
    PrintoutDocument m_printout;
    PrintService m_printService;
    bool m_askingStopped = false;
};
