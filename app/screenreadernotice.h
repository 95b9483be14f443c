// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QWidget>

/// A notification that only assistive technology perceives. Each announce()
/// hands the given text to screen readers, which speak it while the keyboard
/// focus stays where it is: as Qt's own announcement from Qt 6.8 on, and
/// before that by showing this notice anew under that name. It has no size,
/// draws nothing and takes no focus; while no assistive technology listens it
/// only keeps the text.
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
