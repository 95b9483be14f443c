// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "printoutdocument.h"

#include "pdflinewriter.h"

#include <QFile>
#include <QFont>
#include <QFontInfo>
#include <QSaveFile>

#include <cerrno>
#include <numeric>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// Writes all of data, unbuffered, and has it on the disk before it returns
// true; else error says why, in the system's words.
bool writeWhole(QFileDevice &file, const QByteArray &data, QString &error)
{
    qint64 written = 0;
    // A write that fills the disk is short; the next one says why.
    while (written < data.size()) {
        const qint64 now = file.write(data.constData() + written, data.size() - written);
        if (now <= 0) {
            error = file.errorString();
            return false;
        }
        written += now;
    }
    if (::fsync(file.handle()) != 0) {
        error = qt_error_string(errno);
        return false;
    }
    return true;
}

// Whether two papers lay out alike, where an invalid one stands for the locale's.
bool samePage(const QPageSize &one, const QPageSize &other)
{
    return PdfLineWriter::pageLayout(one).pageSize().isEquivalentTo(PdfLineWriter::pageLayout(other).pageSize());
}

} // namespace

struct PrintoutDocument::Copy::LaidOut
{
    std::mutex mutex;
    QPageSize paper;
    QByteArray pdf;
};

QByteArray PrintoutDocument::Copy::on(const QPageSize &paper, QString &error, const std::atomic<bool> *stop) const
{
    {
        const std::scoped_lock lock(laidOut->mutex);
        if (!laidOut->pdf.isEmpty() && samePage(paper, laidOut->paper))
            return laidOut->pdf;
    }
    // Forms pay where each line comes back several times, as each press of a full batch brings it.
    const bool repeats = lines->printed.size() >= 4 * std::size_t(lines->distinct.size());
    const auto writer = PdfLineWriter::open(PdfLineWriter::pageLayout(paper), family, error,
                                            repeats ? PdfLineWriter::Layouts::Placed : PdfLineWriter::Layouts::Drawn);
    if (!writer)
        return {};
    for (const quint32 number : lines->printed) {
        if (stop && *stop) {
            error = u"the layout was stopped"_s;
            return {};
        }
        writer->addLine(lines->distinct.at(number));
    }
    QByteArray pdf = writer->finish(&error);
    if (pdf.isEmpty())
        return {};
    const std::scoped_lock lock(laidOut->mutex);
    laidOut->paper = paper;
    laidOut->pdf = pdf;
    return pdf;
}

PrintoutDocument::PrintoutDocument() = default;
PrintoutDocument::~PrintoutDocument() = default;

bool PrintoutDocument::hasRoomFor(std::span<const std::string> lines) const
{
    // Counted as addLine() counts them, in the characters of the text they become.
    const qsizetype characters =
        std::accumulate(lines.begin(), lines.end(), qsizetype(0), [](qsizetype all, const std::string &line) {
            return all + QString::fromUtf8(line.data(), qsizetype(line.size())).size();
        });
    const std::scoped_lock lock(m_mutex);
    const qsizetype held = m_done.lines ? qsizetype(m_done.lines->printed.size()) : 0;
    const qsizetype printed = m_done.lines ? m_done.lines->characters : 0;
    return held + qsizetype(lines.size()) <= mostLines && printed + characters <= mostCharacters;
}

bool PrintoutDocument::addLine(const QString &line)
{
    const std::scoped_lock lock(m_mutex);
    if (!m_done.lines) {
        m_done.lines = std::make_shared<const Copy::Lines>();
        m_done.delivery = std::make_shared<Copy::Delivery>();
        // The paper shows the lines in the font the box shows them in.
        m_done.family = QFontInfo(QFont()).family();
    }
    if (qsizetype(m_done.lines->printed.size()) >= mostLines || m_done.lines->characters + line.size() > mostCharacters)
        return false;
    // A copy handed out keeps the lines it was given.
    auto lines = m_done.lines.use_count() == 1 ? std::const_pointer_cast<Copy::Lines>(m_done.lines)
                                               : std::make_shared<Copy::Lines>(*m_done.lines);
    auto known = lines->numbers.constFind(line);
    if (known == lines->numbers.cend()) {
        known = lines->numbers.insert(line, quint32(lines->distinct.size()));
        lines->distinct.append(line);
    }
    lines->printed.push_back(*known);
    lines->characters += line.size();
    m_done.lines = std::move(lines);
    m_done.laidOut.reset();
    return true;
}

void PrintoutDocument::setPaper(const QPageSize &paper)
{
    const std::scoped_lock lock(m_mutex);
    m_paper = paper;
}

QPageSize PrintoutDocument::paper() const
{
    const std::scoped_lock lock(m_mutex);
    return m_paper;
}

bool PrintoutDocument::pending() const
{
    const std::scoped_lock lock(m_mutex);
    return m_done.lines && !m_done.lines->printed.empty();
}

std::optional<PrintoutDocument::Copy> PrintoutDocument::pendingCopy()
{
    const std::scoped_lock lock(m_mutex);
    if (!m_done.lines || m_done.lines->printed.empty())
        return std::nullopt;
    if (!m_done.laidOut)
        m_done.laidOut = std::make_shared<Copy::LaidOut>();
    return m_done;
}

std::optional<QString> PrintoutDocument::save(const QString &path, bool replace, const std::atomic<bool> *stop)
{
    const std::optional<Copy> lines = pendingCopy();
    if (!lines)
        return u"the printout was handed over already"_s;
    QString error;
    const QByteArray pdf = lines->on(paper(), error, stop);
    if (pdf.isEmpty())
        return error;
    if (replace) {
        // Another file is written and put in the old one's place only once it is whole on the disk.
        QSaveFile file(path);
        if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && writeWhole(file, pdf, error) && file.commit()) {
            discard();
            return std::nullopt;
        }
        if (error.isEmpty())
            error = file.errorString();
        file.cancelWriting();
        return error;
    }
    // Created only where no file is; one that could not be written whole is removed.
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
        return file.errorString();
    if (!writeWhole(file, pdf, error)) {
        file.close();
        file.remove();
        return error;
    }
    file.close();
    discard();
    return std::nullopt;
}

void PrintoutDocument::discard()
{
    const std::scoped_lock lock(m_mutex);
    m_done = {};
}
