// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QWidget>

/// A notification that only assistive technology perceives. Each announce()
/// shows it anew with the given text, which screen readers speak while the
/// keyboard focus stays where it is. It has no size, draws nothing and takes
/// no focus; while no assistive technology listens it only keeps the text.
class ScreenReaderNotice : public QWidget
{
    Q_OBJECT

public:
    explicit ScreenReaderNotice(QWidget *parent);

    void announce(const QString &text);

    /// The text last announced; screen readers read it as the notice's name.
    [[nodiscard]] const QString &text() const { return m_text; }

private:
    QString m_text;
};
