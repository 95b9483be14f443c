// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "fakeplatform.h"
#include "frminsult.h"
#include "qtplatformservices.h"

#include <QAccessible>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

struct Exposed
{
    const char *name;
    QAccessible::Role role;
    QString accessibleName;
    // On the buttons, what the description and tooltip must tell; the initializer
    // keeps GCC from warning about the cases that leave it out.
    QString descriptionSays = {}; // NOLINT(readability-redundant-member-init)
};

class FrmInsultAccessibility : public ::testing::TestWithParam<Exposed>
{
protected:
    FakePlatform platform;
    FrmInsult window{platform, WordBank{}};
};

} // namespace

TEST_P(FrmInsultAccessibility, EveryControlHasANameAndRole)
{
    window.show();
    const Exposed expected = GetParam();
    auto *widget = window.findChild<QWidget *>(QLatin1StringView(expected.name));
    ASSERT_NE(widget, nullptr);
    QAccessibleInterface *exposed = QAccessible::queryAccessibleInterface(widget);
    ASSERT_NE(exposed, nullptr);
    EXPECT_EQ(exposed->role(), expected.role);
    EXPECT_EQ(exposed->text(QAccessible::Name), expected.accessibleName);
    const QString description = exposed->text(QAccessible::Description);
    if (expected.descriptionSays.isEmpty()) {
        EXPECT_TRUE(description.isEmpty()) << description.toStdString();
    } else {
        EXPECT_TRUE(description.contains(expected.descriptionSays)) << description.toStdString();
        EXPECT_EQ(widget->toolTip(), description);
    }
}

TEST_F(FrmInsultAccessibility, TheWindowIsExposedAsAWindowWithItsCaption)
{
    window.show();
    QAccessibleInterface *exposed = QAccessible::queryAccessibleInterface(&window);
    ASSERT_NE(exposed, nullptr);
    EXPECT_EQ(exposed->role(), QAccessible::Window);
    EXPECT_EQ(exposed->text(QAccessible::Name), u"Jeerforge V. 1.0"_s);
}

INSTANTIATE_TEST_SUITE_P(EveryControl, FrmInsultAccessibility,
                         ::testing::Values(Exposed{"txtInsult", QAccessible::EditableText, u"Insult"_s},
                                           Exposed{"lblTitle", QAccessible::StaticText, u"Programmed by Quillon"_s},
                                           Exposed{"cmdNext", QAccessible::Button, u"Next Insult"_s, u"new insult"_s},
                                           Exposed{"cmdExit", QAccessible::Button, u"Exit"_s,
                                                   u"pending printout is sent"_s},
                                           Exposed{"cmdPrint", QAccessible::Button, u"Print Results"_s,
                                                   u"one printout, which goes to the default printer when "
                                                   u"Jeerforge closes"_s}),
                         [](const auto &testInfo) { return std::string(testInfo.param.name); });

TEST(FrmInsultKeyboard, SpaceOnAFocusedButtonPressesIt)
{
    FakePlatform platform;
    FrmInsult window(platform, WordBank{});
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_EQ(window.wordBank().BatchCount(), 1) << "Next Insult";

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_EQ(platform.printed.size(), 100U) << "Print Results";

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_EQ(platform.ends, 1) << "Exit";
}

// The focus stays on Next Insult, so the new text reaches screen readers only
// through the notice, which must carry whatever the box now shows.
TEST(ScreenReaderNotice, CarriesEveryNewTextOfTheBoxWhileTheFocusStays)
{
    struct AnsweredPrompts : QtPlatformServices
    {
        std::string AskText(const std::string & /*prompt*/) override { return "w"; }
    } services;
    FrmInsult window(services, WordBank{});
    services.setDisplay(window.insultBox());
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    auto *next = window.findChild<QPushButton *>(u"cmdNext"_s);
    auto *notice = window.findChild<QWidget *>(u"screenReaderNotice"_s);
    ASSERT_NE(notice, nullptr);
    QAccessibleInterface *exposed = QAccessible::queryAccessibleInterface(notice);
    EXPECT_EQ(exposed->role(), QAccessible::Notification);
    EXPECT_FALSE(exposed->state().focusable);
    EXPECT_TRUE(notice->geometry().isEmpty());

    next->setFocus();
    for (int press = 1; press <= 2; ++press) {
        QTest::keyClick(next, Qt::Key_Space);
        ASSERT_EQ(exposed->text(QAccessible::Name), window.insultBox()->text()) << "press " << press;
        ASSERT_EQ(QApplication::focusWidget(), next);
    }
}
