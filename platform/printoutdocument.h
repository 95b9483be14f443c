// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QHash>
#include <QPageSize>
#include <QStringList>

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

/// The one printout that PlatformServices::PrintLine fills: every line, laid
/// out as PDF when it goes to a printer or a file, on that printer's paper or
/// else on the paper of the default printer last found, else the locale's.
/// Nothing in it is lost unless discard() is called. It holds each distinct
/// line once, however often it is printed, and at most as much as it can lay
/// out in seconds. Every call may come from any thread, as the end of the
/// program may hand it over from another.
class PrintoutDocument
{
public:
    /// What a print job takes along: the lines, the font they are shown in,
    /// and what became of them at the printer. Safe to use on another thread.
    struct Copy
    {
        /// The lines in the order printed, each distinct one held once.
        struct Lines
        {
            QStringList distinct;
            QHash<QString, quint32> numbers; // of the distinct lines
            std::vector<quint32> printed;
            qsizetype characters = 0; // printed, counting each time
        };
        std::shared_ptr<const Lines> lines;
        QString family;

        /// The job that has these lines at a printer, once one has, and
        /// whether the print service said that it prints it; so that the
        /// printout never goes twice, and an attempt after one that got no
        /// answer asks about the job it sent. Used on the print service's
        /// thread only.
        struct Delivery
        {
            int job = 0; // created, and sent the document
            bool documentWhole = false; // the print service said that the job holds all of it
            bool confirmed = false; // and that it prints it
        };
        std::shared_ptr<Delivery> delivery;

        /// The PDF on the given paper (an invalid one for the locale's). It is
        /// empty, with error saying why, when it cannot be laid out, or when
        /// stop, where given, says so before it is done.
        [[nodiscard]] QByteArray on(const QPageSize &paper, QString &error,
                                    const std::atomic<bool> *stop = nullptr) const;

        struct LaidOut; // the last PDF laid out from these lines, for the next attempt
        std::shared_ptr<LaidOut> laidOut;
    };

    PrintoutDocument();
    ~PrintoutDocument();
    PrintoutDocument(const PrintoutDocument &) = delete;
    PrintoutDocument &operator=(const PrintoutDocument &) = delete;

    /// How much the printout holds at most: 10,000 presses of a batch of
    /// ordinary insults, or 100 of the longest a person would type.
    static constexpr qsizetype mostLines = 1'000'000;
    static constexpr qsizetype mostCharacters = 100'000'000;

    /// Whether these lines, in UTF-8 as PlatformServices::PrintLine takes
    /// them, fit all together.
    [[nodiscard]] bool hasRoomFor(std::span<const std::string> lines) const;

    /// Adds the line, unless the printout is full; then it says so.
    bool addLine(const QString &line);

    /// The paper of the default printer just found, which a saved file takes.
    void setPaper(const QPageSize &paper);
    [[nodiscard]] QPageSize paper() const;

    /// Whether the printout holds lines that have not been handed over.
    [[nodiscard]] bool pending() const;

    /// What a print job needs, taken at once with the lines; nothing when
    /// no line is pending (any more).
    [[nodiscard]] std::optional<Copy> pendingCopy();

    /// Writes the printout to a PDF file at path, whole or not at all. An
    /// existing file is replaced only when replace is true. Returns nothing
    /// once it is saved, or else why not, in the system's words; the printout
    /// is then kept. Stop, where given, ends the layout before it is done.
    [[nodiscard]] std::optional<QString> save(const QString &path, bool replace,
                                              const std::atomic<bool> *stop = nullptr);

    /// Throws the printout away: printed, saved or discarded by the user.
    void discard();

private:
    mutable std::mutex m_mutex;
    Copy m_done;
    QPageSize m_paper; // of the default printer last found; invalid while none is known
};
