// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "printdocument.h"

#include <QLocale>
#include <QPdfWriter>
#include <QTextLayout>

PrintDocument::PrintDocument(const QPageLayout &layout)
{
    m_buffer.open(QIODevice::WriteOnly);
    m_writer = std::make_unique<QPdfWriter>(&m_buffer);
    m_writer->setTitle(QStringLiteral("Jeerforge"));
    m_writer->setCreator(QStringLiteral("Jeerforge"));
    m_writer->setPageLayout(layout);
    m_font.setPointSizeF(11);
    m_painter.begin(m_writer.get());
    m_painter.setFont(m_font);
}

PrintDocument::~PrintDocument() = default;

QPageLayout PrintDocument::pageLayout(const QPageSize &paper)
{
    const bool inches = QLocale::system().measurementSystem() == QLocale::ImperialUSSystem;
    return {paper.isValid() ? paper : QPageSize(inches ? QPageSize::Letter : QPageSize::A4), QPageLayout::Portrait,
            QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter};
}

void PrintDocument::addLine(const QString &line)
{
    const QRect page = m_writer->pageLayout().paintRectPixels(m_writer->resolution());
    QTextLayout layout(line, m_font, m_writer.get());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setTextDirection(line.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);
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
        m_y += row.height();
    }
}

QByteArray PrintDocument::finish()
{
    if (m_painter.isActive())
        m_painter.end();
    m_writer.reset();
    m_buffer.close();
    QByteArray pdf = m_buffer.data();
    m_buffer.setData(QByteArray());
    return pdf;
}
