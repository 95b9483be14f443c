// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "fakeplatform.h"
#include "frminsult.h"
#include "promptanswerer.h"
#include "qtplatformservices.h"

#include <QAccessible>
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
}

INSTANTIATE_TEST_SUITE_P(EveryControl, FrmInsultAccessibility,
                         ::testing::Values(Exposed{"txtInsult", QAccessible::EditableText, u"Insult"_s},
                                           Exposed{"lblTitle", QAccessible::StaticText, u"Programmed by Quillon"_s},
                                           Exposed{"cmdNext", QAccessible::Button, u"Next Insult"_s},
                                           Exposed{"cmdExit", QAccessible::Button, u"Exit"_s},
                                           Exposed{"cmdPrint", QAccessible::Button, u"Print Results"_s}),
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

TEST(PromptAccessibility, TheInputLineIsNamedByItsPrompt)
{
    QtPlatformServices services;
    PromptAnswerer answerer({std::nullopt});
    QString name;
    QAccessible::Role role = QAccessible::NoRole;
    answerer.byHand = [&](QInputDialog *dialog) {
        QAccessibleInterface *line = QAccessible::queryAccessibleInterface(dialog->focusWidget());
        name = line->text(QAccessible::Name);
        role = line->role();
        dialog->reject();
    };
    services.AskText("Give me a noun, such as 'ball', 'dog', etc.");
    EXPECT_EQ(role, QAccessible::EditableText);
    EXPECT_EQ(name, u"Give me a noun, such as 'ball', 'dog', etc."_s);
}
