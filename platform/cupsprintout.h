// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "cupsspooler.h"
#include "printout.h"

#include <QByteArray>
#include <QPageSize>

#include <memory>

class PrintDocument;
class QString;

/// The printout as a PDF built in memory from the first line on, whether or
/// not there is a printer, and handed to the CUPS spooler or a file at the end.
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
    std::string findPrinter() override;
    bool pending() const override;
    void print() override;
    void save(const std::string &path, bool replace) override;
    void discard() override;

private:
    const QByteArray &finished();

    CupsSpooler m_spooler;
    std::unique_ptr<PrintDocument> m_document;
    QByteArray m_finished; // the ended document, until it is handed over
    QPageSize m_paper;
    bool m_printerFound = false;
};
