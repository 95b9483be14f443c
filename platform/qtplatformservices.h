// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "cupsspooler.h"
#include "platformservices.h"
#include "randomsource.h"

#include <QByteArray>
#include <QPointer>

#include <memory>

class PrintDocument;

class QLineEdit;

/// PlatformServices on a Qt Widgets desktop.
class QtPlatformServices : public PlatformServices
{
public:
    QtPlatformServices();
    ~QtPlatformServices() override;

    /// The text box that SetDisplayText and GetDisplayText work on.
    void setDisplay(QLineEdit *display);

    /// Ends the print document, if there is one, and hands it to the printer
    /// it was opened for. Throws PlatformError, with the spooler's reason,
    /// when the printer does not take it; the ended document is then kept,
    /// and the next call hands it over again. Call it as the program ends.
    void endPrintDocument();

    /// Throws away the print document, ended or not, without printing it.
    void discardPrintDocument();

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
    CupsSpooler m_spooler;
    std::unique_ptr<PrintDocument> m_document;
    QByteArray m_finished; // an ended document that the printer has not taken yet
    std::string m_printer;
};
