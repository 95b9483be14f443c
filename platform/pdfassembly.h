// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

struct QpdfLibrary;

/// A PDF whose pages show pieces drawn once elsewhere, as often as they
/// are placed: each piece is a page of another PDF, which becomes a form
/// that every page placing it refers to. What the pieces say to copy and
/// search stays theirs; the pages carry no transparency group.
namespace PdfAssembly {

/// A piece placed on a page: the piece's page number from 0, and where its
/// lower left corner goes, in points from the page's lower left corner.
struct Placed
{
    int piece;
    double x;
    double y;
};

struct Page
{
    double width;
    double height;
    std::vector<Placed> placed;
};

/// The pages, titled "Jeerforge"; empty, with error saying why, where qpdf
/// cannot read the pieces or write the pages.
[[nodiscard]] QByteArray assemble(const QpdfLibrary &qpdf, const QByteArray &pieces, const std::vector<Page> &pages,
                                  QString &error);

} // namespace PdfAssembly
