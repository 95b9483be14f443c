// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QPageLayout>
#include <QRectF>
#include <QString>

#include <memory>

struct PangoCairoLibrary;

/// A print document built in memory as PDF, one line of text at a time.
/// A line wider than the page wraps onto the next lines; a full page goes on
/// on the next one. Each line looks as the text box shows it: control
/// characters as blanks, right-to-left text against the right margin, and
/// emoji in colour. Copy and search in the PDF give back the characters
/// typed, in every script, as Pango and cairo keep each cluster's text.
class PdfLineWriter
{
public:
    /// Portrait pages of the given paper with 2 cm margins. Without a valid
    /// paper, the locale's: US Letter where it measures in inches, else A4.
    static QPageLayout pageLayout(const QPageSize &paper = {});

    /// A document whose lines are set in 11-point type of the given family,
    /// with the fonts that fontconfig adds for what it lacks. Nothing, with
    /// error saying why, where Pango cannot be loaded.
    static std::unique_ptr<PdfLineWriter> open(const QPageLayout &layout, const QString &family, QString &error);

    PdfLineWriter(std::shared_ptr<const PangoCairoLibrary> pango, const QPageLayout &layout, const QString &family);
    ~PdfLineWriter();
    PdfLineWriter(const PdfLineWriter &) = delete;
    PdfLineWriter &operator=(const PdfLineWriter &) = delete;

    void addLine(const QString &recorded);

    [[nodiscard]] int pageCount() const { return m_pages; }

    /// Ends the document and hands over its PDF, empty when cairo could not
    /// write it; nothing can be added after.
    [[nodiscard]] QByteArray finish();

private:
    struct Drawing;

    std::shared_ptr<const PangoCairoLibrary> m_pango;
    QByteArray m_pdf;
    QRectF m_page; // inside the margins, in points
    std::unique_ptr<Drawing> m_drawing;
    double m_y = 0; // from the top margin, in points
    int m_pages = 1;
};
