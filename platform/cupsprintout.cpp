// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cupsprintout.h"

#include "platformservices.h"
#include "printdocument.h"

#include <QFile>
#include <QSaveFile>

using namespace std::chrono_literals;

namespace {

// What the print service may take of a press, and of an attempt at the end,
// leaving room within the bounds for the question that tells why it failed.
constexpr auto pressPatience = 6s;
constexpr auto endPatience = 24s;

} // namespace

CupsPrintout::CupsPrintout() = default;
CupsPrintout::~CupsPrintout() = default;

void CupsPrintout::addLine(const QString &line)
{
    if (!m_document)
        m_document = std::make_unique<PrintDocument>(PrintDocument::pageLayout(m_paper));
    m_document->addLine(line);
}

std::string CupsPrintout::findPrinter()
{
    if (m_printerFound)
        return {};
    try {
        const QPageSize paper = m_spooler.defaultPaper(pressPatience);
        m_printerFound = true;
        if (!pending())
            m_paper = paper;
        return {};
    } catch (const PlatformError &error) {
        return error.what();
    }
}

bool CupsPrintout::pending() const
{
    return m_document || !m_finished.isEmpty();
}

const QByteArray &CupsPrintout::finished()
{
    if (m_document) {
        m_finished = m_document->finish();
        m_document.reset();
    }
    return m_finished;
}

void CupsPrintout::print()
{
    if (!pending())
        return;
    m_spooler.submit("Jeerforge", finished(), endPatience);
    discard();
}

void CupsPrintout::save(const std::string &path, bool replace)
{
    const QByteArray &pdf = finished();
    const QString name = QString::fromStdString(path);
    QString error;
    if (replace) {
        QSaveFile file(name);
        if (file.open(QIODevice::WriteOnly) && file.write(pdf) == pdf.size() && file.commit()) {
            discard();
            return;
        }
        error = file.errorString();
    } else {
        // Created only where no file is; one that could not be written whole is removed.
        QFile file(name);
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            if (file.write(pdf) == pdf.size() && file.flush()) {
                discard();
                return;
            }
            file.remove();
        }
        error = file.errorString();
    }
    throw PlatformError("The printout could not be saved as \"" + path + "\": " + error.toStdString() + ".");
}

void CupsPrintout::discard()
{
    m_document.reset();
    m_finished.clear();
}
