// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QBuffer>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QString>

#include <memory>

class QPdfWriter;
class QTextLine;

/// A print document built in memory as PDF, one line of text at a time.
/// A line wider than the page wraps onto the next lines; a full page goes on
/// on the next one. Each line looks as the text box shows it: control
/// characters as blanks, right-to-left text against the right margin, and
/// emoji from an outline font, or as pictures where only colour ones exist.
class PdfLineWriter
{
public:
    /// Portrait pages of the given paper with 2 cm margins. Without a valid
    /// paper, the locale's: US Letter where it measures in inches, else A4.
    static QPageLayout pageLayout(const QPageSize &paper = {});

    explicit PdfLineWriter(const QPageLayout &layout = pageLayout());
    ~PdfLineWriter();
    PdfLineWriter(const PdfLineWriter &) = delete;
    PdfLineWriter &operator=(const PdfLineWriter &) = delete;

    void addLine(const QString &recorded);

    [[nodiscard]] int pageCount() const { return m_pages; }

    /// Ends the document and hands over its PDF; nothing can be added after.
    [[nodiscard]] QByteArray finish();

private:
    void drawColourGlyphs(const QTextLine &row, QPointF offset);

    QBuffer m_buffer;
    std::unique_ptr<QPdfWriter> m_writer;
    QPainter m_painter;
    QFont m_font;
    QHash<QString, bool> m_colourFonts; // whether a font has colour bitmaps only, by name
    QHash<QString, QImage> m_pictures; // glyphs of such fonts, by font name and glyph
    qreal m_y = 0;
    int m_pages = 1;
};
