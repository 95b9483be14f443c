// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QPageSize>
#include <QStringList>

#include <atomic>
#include <memory>
#include <optional>

class PdfLineWriter;

/// The one printout that PlatformServices::PrintLine fills: every line, and
/// the PDF laid out from them as they come, on the paper of the default
/// printer last found, else the locale's. Nothing in it is lost unless
/// discard() is called.
class PrintoutDocument
{
public:
    /// What a print job takes along: the lines, the PDF as laid out so far,
    /// and the mark that the printer took them, which keeps the printout
    /// from going twice. Safe to use on another thread.
    struct Copy
    {
        QStringList lines;
        QPageSize laidOutFor; // invalid for the locale's paper
        QByteArray pdf;
        std::shared_ptr<std::atomic<int>> printedAs; // the job's id, once a printer took it

        /// The PDF on the given paper, laid out anew where it differs.
        [[nodiscard]] QByteArray on(const QPageSize &paper) const;
    };

    PrintoutDocument();
    ~PrintoutDocument();
    PrintoutDocument(const PrintoutDocument &) = delete;
    PrintoutDocument &operator=(const PrintoutDocument &) = delete;

    /// Adds one line; the first opens the document.
    void addLine(const QString &line);

    /// The paper of the default printer just found: what is laid out is laid
    /// out anew on it, and so is what comes.
    void setPaper(const QPageSize &paper);

    /// Whether the printout holds lines that have not been handed over.
    [[nodiscard]] bool pending() const { return !m_done.lines.isEmpty(); }

    /// Ends the open document and hands out what a print job needs.
    [[nodiscard]] Copy copy();

    /// Writes the printout to a PDF file at path, whole or not at all. An
    /// existing file is replaced only when replace is true. Returns nothing
    /// once it is saved, or else why not, in the system's words; the printout
    /// is then kept.
    [[nodiscard]] std::optional<QString> save(const QString &path, bool replace);

    /// Throws the printout away: printed, saved or discarded by the user.
    void discard();

private:
    std::unique_ptr<PdfLineWriter> m_writer;
    Copy m_done; // the lines, and the PDF once the document is ended
    QPageSize m_paper; // of the default printer last found; invalid while none is known
};
