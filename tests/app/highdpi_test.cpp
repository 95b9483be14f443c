// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Run with QT_SCALE_FACTOR=2: the fixed layout doubles in device pixels, and
// the dialogs still fit the screen, whose width is then 400 logical pixels.
#include "fakeplatform.h"
#include "frminsult.h"
#include "qtplatformservices.h"
#include "savedialog.h"

#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(FrmInsultAtScaleTwo, EveryControlScalesInPlace)
{
    ASSERT_EQ(qgetenv("QT_SCALE_FACTOR"), "2");
    FakePlatform platform;
    FrmInsult window(platform, WordBank{});
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    EXPECT_EQ(window.devicePixelRatio(), 2.0);
    EXPECT_EQ(window.grab().size(), QSize(910, 240));
    EXPECT_EQ(window.windowHandle()->size() * window.devicePixelRatio(), QSize(910, 240));
    for (const char *name : {"txtInsult", "lblTitle", "cmdNext", "cmdExit", "cmdPrint"}) {
        auto *widget = window.findChild<QWidget *>(QLatin1StringView(name));
        ASSERT_NE(widget, nullptr) << name;
        EXPECT_EQ(widget->grab().size(), widget->size() * 2) << name;
    }
}

// With the desktop's font, and with one as large as a large-text setting gives.
class FrmInsultAtScaleTwoWithFont : public ::testing::TestWithParam<int>
{};

TEST_P(FrmInsultAtScaleTwoWithFont, EveryCaptionFitsItsControl)
{
    const QFont desktop = QApplication::font();
    if (GetParam() > 0)
        QApplication::setFont(QFont(u"DejaVu Sans"_s, GetParam()));
    FakePlatform platform;
    FrmInsult window(platform, WordBank{});
    window.show();
    QApplication::setFont(desktop);

    for (auto *button : window.findChildren<QPushButton *>()) {
        EXPECT_LE(button->sizeHint().width(), button->width()) << qPrintable(button->text());
        EXPECT_LE(button->fontMetrics().height(), button->height()) << qPrintable(button->text());
    }
    auto *label = window.findChild<QLabel *>(u"lblTitle"_s);
    EXPECT_LE(label->sizeHint().width(), label->width());
    EXPECT_LE(label->sizeHint().height(), label->height());
    auto *box = window.insultBox();
    EXPECT_LE(box->minimumSizeHint().height(), box->height()) << "the box's text clears its frame";
    if (GetParam() == 0) {
        EXPECT_EQ(window.font(), desktop) << "the desktop's own font fits as it is";
    } else {
        EXPECT_EQ(window.font().family(), u"DejaVu Sans"_s);
        EXPECT_GT(window.font().pointSizeF(), 8) << "as large as fits";
    }
}

INSTANTIATE_TEST_SUITE_P(DesktopFonts, FrmInsultAtScaleTwoWithFont, ::testing::Values(0, 16));

// A dialog's buttons lie inside its frame, so all of it must be on the screen:
// a prompt's, and the save dialog's with its name line.
TEST(DialogsAtScaleTwo, FitTheScreen)
{
    QRect screen;
    QRect frame;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        screen = dialog->screen()->availableGeometry();
        frame = dialog->frameGeometry();
        dialog->reject();
    });
    poll.start(0);

    QtPlatformServices services;
    services.AskText("Give me a beginning to a sentence, such as 'you always', 'everyone knows that you', "
                     "'I want you to,' etc.");
    ASSERT_LE(screen.width(), 512);
    EXPECT_TRUE(screen.contains(frame)) << frame.width() << "x" << frame.height() << " at " << frame.x();
    frame = {};
    EXPECT_TRUE(askWhereToSave(QDir::tempPath()).path.isEmpty()) << "cancelled";
    EXPECT_FALSE(frame.isEmpty());
    EXPECT_TRUE(screen.contains(frame)) << frame.width() << "x" << frame.height() << " at " << frame.x();
}
