// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "cupsspooler.h"
#include "printout.h"

#include <QByteArray>
#include <QPageSize>
#include <QStringList>

#include <memory>

class PrintDocument;
class QString;

/// The printout as a PDF built in memory from the first line on, whether or
/// not there is a printer, and handed to the CUPS spooler or a file at the end.
/// Its pages have the paper of the printer it goes to: the lines are kept, and
/// laid out anew where that printer's paper is not the one they were laid out
/// for.
class CupsPrintout : public Printout
{
public:
    CupsPrintout();
    ~CupsPrintout() override;
    CupsPrintout(const CupsPrintout &) = delete;
    CupsPrintout &operator=(const CupsPrintout &) = delete;

    /// Adds one line; the first opens the document.
    void addLine(const QString &line);

    void setKeepWaiting(KeepWaiting keepWaiting) override { m_spooler.setKeepWaiting(std::move(keepWaiting)); }
    void setAskPassword(AskPassword askPassword) override { m_spooler.setAskPassword(std::move(askPassword)); }
    std::string findPrinter() override;
    bool pending() const override;
    void print() override;
    void save(const std::string &path, bool replace) override;
    void discard() override;

private:
    const QByteArray &finished(const QPageSize &paper);

    CupsSpooler m_spooler;
    std::unique_ptr<PrintDocument> m_document;
    QStringList m_lines; // every line, until the printout is handed over
    QByteArray m_finished; // the ended document, until it is handed over
    QPageSize m_laidOutFor; // the paper of m_document or m_finished; invalid for the locale's
    QPageSize m_paper; // of the default printer last found; invalid while none is known
    bool m_printerFound = false;
};
