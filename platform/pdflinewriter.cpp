// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "pdflinewriter.h"

#include <QFontInfo>
#include <QGlyphRun>
#include <QHash>
#include <QImage>
#include <QLocale>
#include <QPdfWriter>
#include <QRawFont>
#include <QTextLayout>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// Pictures of glyphs that only a colour bitmap font has are drawn at this resolution.
constexpr qreal pictureDpi = 300;

// The line as the text box shows it: every control character, line breaks
// and tabs included, as one blank.
QString asInTheBox(QString line)
{
    for (QChar &c : line) {
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            c = u' ';
    }
    return line;
}

// Whether a line may hold a glyph that only a colour bitmap font draws, as
// most emoji are: a character outside the BMP, or a symbol.
bool mayNeedPictures(const QString &line)
{
    return std::any_of(line.begin(), line.end(),
                       [](QChar c) { return c.isSurrogate() || c.category() == QChar::Symbol_Other; });
}

// A glyph drawn as the screen draws it, at the given scale.
QImage pictureOf(QRawFont font, quint32 glyph, qreal scale)
{
    font.setPixelSize(font.pixelSize() * scale);
    const QRectF area = font.boundingRect(glyph);
    QImage picture(area.size().toSize() + QSize(1, 1), QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QGlyphRun one;
    one.setRawFont(font);
    one.setGlyphIndexes({glyph});
    one.setPositions({-area.topLeft()});
    QPainter painter(&picture);
    painter.drawGlyphRun(QPointF(0, 0), one);
    return picture;
}

} // namespace

PdfLineWriter::PdfLineWriter(const QPageLayout &layout)
{
    m_buffer.open(QIODevice::WriteOnly);
    m_writer = std::make_unique<QPdfWriter>(&m_buffer);
    m_writer->setTitle(QStringLiteral("Jeerforge"));
    m_writer->setCreator(QStringLiteral("Jeerforge"));
    m_writer->setPageLayout(layout);
    m_font.setPointSizeF(11);
    // Emoji are taken from an outline font before any colour one, which paper cannot show.
    m_font.setFamilies({QFontInfo(m_font).family(), u"Symbola"_s});
    m_painter.begin(m_writer.get());
    m_painter.setFont(m_font);
}

PdfLineWriter::~PdfLineWriter() = default;

QPageLayout PdfLineWriter::pageLayout(const QPageSize &paper)
{
    const bool inches = QLocale::system().measurementSystem() == QLocale::ImperialUSSystem;
    return {paper.isValid() ? paper : QPageSize(inches ? QPageSize::Letter : QPageSize::A4), QPageLayout::Portrait,
            QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter};
}

void PdfLineWriter::addLine(const QString &recorded)
{
    const QString line = asInTheBox(recorded);
    const QRect page = m_writer->pageLayout().paintRectPixels(m_writer->resolution());
    QTextLayout layout(line, m_font, m_writer.get());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    // As the box does, the first strong character decides; such a line starts at the right margin.
    const bool rightToLeft = line.isRightToLeft();
    option.setTextDirection(rightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
    option.setAlignment(rightToLeft ? Qt::AlignRight : Qt::AlignLeft);
    layout.setTextOption(option);

    // Even an empty line makes one row, so it takes a line's height.
    layout.beginLayout();
    qreal height = 0;
    for (QTextLine row = layout.createLine(); row.isValid(); row = layout.createLine()) {
        row.setLineWidth(page.width());
        row.setPosition(QPointF(0, height));
        height += row.height();
    }
    layout.endLayout();

    for (int i = 0; i < layout.lineCount(); ++i) {
        const QTextLine row = layout.lineAt(i);
        if (m_y + row.height() > page.height() && m_y > 0) {
            m_writer->newPage();
            ++m_pages;
            m_y = 0;
        }
        row.draw(&m_painter, QPointF(0, m_y - row.y()));
        if (mayNeedPictures(line))
            drawColourGlyphs(row, QPointF(0, m_y - row.y()));
        m_y += row.height();
    }
}

// Glyphs that only a colour bitmap font has would leave a gap on paper; they
// go there as pictures, as the screen shows them.
void PdfLineWriter::drawColourGlyphs(const QTextLine &row, QPointF offset)
{
    for (const QGlyphRun &run : row.glyphRuns()) {
        const QRawFont font = run.rawFont();
        // A PDF can hold a font's outlines, not its colour bitmaps (the CBLC and CBDT tables).
        const QString name = font.familyName() + u'/' + font.styleName();
        auto colour = m_colourFonts.constFind(name);
        if (colour == m_colourFonts.constEnd())
            colour = m_colourFonts.insert(name, !font.fontTable("CBLC").isEmpty());
        if (!*colour)
            continue;
        for (qsizetype i = 0; i < run.glyphIndexes().size(); ++i) {
            const quint32 glyph = run.glyphIndexes().at(i);
            const QRectF area = font.boundingRect(glyph).translated(run.positions().at(i) + offset);
            if (area.isEmpty())
                continue;
            // The same words come back in insult after insult; so does each picture, drawn once.
            QImage &picture = m_pictures[name + u'/' + QString::number(glyph)];
            if (picture.isNull())
                picture = pictureOf(font, glyph, pictureDpi / m_writer->resolution());
            m_painter.drawImage(area, picture);
        }
    }
}

QByteArray PdfLineWriter::finish()
{
    if (m_painter.isActive())
        m_painter.end();
    m_writer.reset();
    m_buffer.close();
    QByteArray pdf = m_buffer.data();
    m_buffer.setData(QByteArray());
    return pdf;
}
