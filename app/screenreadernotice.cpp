// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "screenreadernotice.h"

#include <QAccessibleWidget>

namespace {

// Exposes the notice as a notification whose name is the announced text.
class NoticeInterface : public QAccessibleWidget
{
public:
    explicit NoticeInterface(ScreenReaderNotice *notice)
        : QAccessibleWidget(notice, QAccessible::Notification)
    {}

    [[nodiscard]] QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Name)
            return static_cast<const ScreenReaderNotice *>(widget())->text();
        return QAccessibleWidget::text(kind);
    }
};

QAccessibleInterface *noticeInterface(const QString &className, QObject *object)
{
    if (className != QLatin1StringView(ScreenReaderNotice::staticMetaObject.className()))
        return nullptr;
    return new NoticeInterface(static_cast<ScreenReaderNotice *>(object));
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
    m_text = text;
    if (!QAccessible::isActive())
        return;
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    // Qt announces it itself, and screen readers speak it once they are done
    // with what they are saying; the notice stays hidden.
    QAccessibleAnnouncementEvent announcement(parentWidget(), text);
    announcement.setPoliteness(QAccessible::AnnouncementPoliteness::Polite);
    QAccessible::updateAccessibility(&announcement);
#else
    // Screen readers speak a notification as it appears, under its new name;
    // a changed name alone is not spoken by all of them.
    QAccessibleEvent renamed(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&renamed);
    hide();
    show();
#endif
}
