// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "pdfassembly.h"

#include <QByteArray>
#include <QPageLayout>
#include <QRectF>
#include <QString>

#include <memory>
#include <vector>

struct PangoCairoLibrary;
struct QpdfLibrary;

/// A print document built in memory as PDF, one line of text at a time.
/// A line wider than the page wraps onto the next lines; a full page goes on
/// on the next one. Each line looks as the text box shows it: control
/// characters as blanks, right-to-left text against the right margin, and
/// emoji in colour. Copy and search in the PDF give back the characters
/// typed, in every script, as Pango and cairo keep each cluster's text.
/// Each distinct row is drawn once and shown by every page that prints it,
/// and no page carries a transparency group, which printers' filters would
/// turn into a picture of the page.
class PdfLineWriter
{
public:
    /// Portrait pages of the given paper with 2 cm margins. Without a valid
    /// paper, the locale's: US Letter where it measures in inches, else A4.
    static QPageLayout pageLayout(const QPageSize &paper = {});

    /// How the rows reach the pages; each way gives the same pages and text.
    enum class Layouts {
        /// Each distinct row drawn once, and shown as a form by every page
        /// that prints it: for a printout that repeats its lines.
        Placed,
        /// Each distinct line laid out once, its rows drawn where printed.
        Drawn,
        /// Each line laid out and drawn anew where printed.
        Anew,
    };

    /// A document whose lines are set in 11-point type of the given family,
    /// with the fonts that fontconfig adds for what it lacks. Nothing, with
    /// error saying why, where Pango cannot be loaded.
    static std::unique_ptr<PdfLineWriter> open(const QPageLayout &layout, const QString &family, QString &error,
                                               Layouts layouts = Layouts::Drawn);

    PdfLineWriter(std::shared_ptr<const PangoCairoLibrary> pango, std::shared_ptr<const QpdfLibrary> qpdf,
                  const QPageLayout &layout, const QString &family, Layouts layouts = Layouts::Drawn);
    ~PdfLineWriter();
    PdfLineWriter(const PdfLineWriter &) = delete;
    PdfLineWriter &operator=(const PdfLineWriter &) = delete;

    void addLine(const QString &recorded);

    [[nodiscard]] int pageCount() const { return m_pageCount; }

    /// Ends the document and hands over its PDF, empty when cairo could not
    /// draw a line or cairo or qpdf could not write it, with error saying
    /// why; nothing can be added after.
    [[nodiscard]] QByteArray finish(QString *error = nullptr);

private:
    struct Drawing;

    std::shared_ptr<const PangoCairoLibrary> m_pango;
    std::shared_ptr<const QpdfLibrary> m_qpdf;
    QByteArray m_pdf; // cairo's: the pages, or where rows are placed, the pieces
    std::vector<PdfAssembly::Page> m_pages; // where rows are placed
    int m_pageCount = 1;
    QRectF m_page; // inside the margins, in points
    std::unique_ptr<Drawing> m_drawing;
    double m_y = 0; // from the top margin, in points
    QString m_failure; // why cairo stopped drawing, once it has
};
