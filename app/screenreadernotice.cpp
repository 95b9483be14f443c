// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "screenreadernotice.h"

#include <QAccessibleWidget>

namespace {

QAccessibleInterface *noticeInterface(const QString &className, QObject *object)
{
    if (className != QLatin1StringView(ScreenReaderNotice::staticMetaObject.className()))
        return nullptr;
    return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Notification);
}

} // namespace

ScreenReaderNotice::ScreenReaderNotice(QWidget *parent)
    : QWidget(parent)
{
    QAccessible::installFactory(noticeInterface);
    setObjectName(QStringLiteral("screenReaderNotice"));
    setGeometry(0, 0, 0, 0);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    hide();
}

void ScreenReaderNotice::announce(const QString &text)
{
    // Screen readers speak a notification as it appears; a changed name alone
    // is not spoken by all of them.
    setAccessibleName(text);
    if (!QAccessible::isActive())
        return;
    hide();
    show();
}
