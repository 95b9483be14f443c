// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "promptanswerer.h"
#include "qtplatformservices.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QString longText()
{
    QString text;
    for (int i = 0; text.size() < 100'000; ++i)
        text += QString::number(i) + u' ';
    return text;
}

// Emoji outside the BMP, a combining accent, Hebrew and Arabic.
const QString mixedScripts =
    QString::fromUtf8("\xF0\x9F\x98\x80 cafe\xCC\x81 \xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D "
                      "\xD9\x85\xD8\xB1\xD8\xAD\xD8\xA8\xD8\xA7 \xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD");

std::string utf8(const QString &text)
{
    return text.toStdString();
}

} // namespace

TEST(QtAskText, ShowsTheCaptionPromptAndAnEmptyLine)
{
    QtPlatformServices services;
    PromptAnswerer answerer({u"first"_s});

    EXPECT_EQ(services.AskText("Give me a verb, such as 'run', 'play', etc."), "first");
    ASSERT_EQ(answerer.seen.size(), 1U);
    EXPECT_EQ(answerer.seen[0].caption, u"Jeerforge"_s);
    EXPECT_EQ(answerer.seen[0].label, u"Give me a verb, such as 'run', 'play', etc."_s);
    EXPECT_EQ(answerer.seen[0].initialText, QString());
}

TEST(QtAskText, AnswersComeBackWhole)
{
    QtPlatformServices services;
    const QStringList answers{longText(), mixedScripts, u"  blanks around  "_s, u"<b>not markup</b>"_s};
    for (const QString &answer : answers) {
        PromptAnswerer answerer({answer}); // cppcheck-suppress unreadVariable ; it answers while it lives
        EXPECT_EQ(services.AskText("Another Please."), utf8(answer)) << answer.size() << " characters";
    }
}

TEST(QtAskText, PromptTextIsShownAsPlainText)
{
    QtPlatformServices services;
    PromptAnswerer answerer({u"x"_s});
    services.AskText("<i>" + utf8(mixedScripts));
    ASSERT_EQ(answerer.seen.size(), 1U);
    EXPECT_EQ(answerer.seen[0].label, u"<i>"_s + mixedScripts);
}

struct CancelCase
{
    const char *name; // cppcheck-suppress unusedStructMember ; names each case
    std::function<void(QInputDialog *)> cancel;
};

class QtAskTextCancel : public ::testing::TestWithParam<CancelCase>
{};

TEST_P(QtAskTextCancel, GivesTheEmptyStringEvenWithTextTyped)
{
    QtPlatformServices services;
    PromptAnswerer answerer({std::nullopt});
    // cppcheck-suppress unreadVariable ; the answerer calls it at the open prompt
    answerer.byHand = [](QInputDialog *dialog) {
        dialog->findChild<QLineEdit *>()->setText(u"typed, then cancelled"_s);
        GetParam().cancel(dialog);
    };
    EXPECT_EQ(services.AskText("Another Please."), "");
    EXPECT_EQ(answerer.seen.size(), 1U);
}

INSTANTIATE_TEST_SUITE_P(EveryWayOut, QtAskTextCancel,
                         ::testing::Values(CancelCase{"CancelButton",
                                                      [](QInputDialog *dialog) {
                                                          for (auto *button : dialog->findChildren<QPushButton *>())
                                                              if (button->text().remove(u'&') == u"Cancel"_s)
                                                                  button->click();
                                                      }},
                                           CancelCase{"Escape",
                                                      [](QInputDialog *dialog) {
                                                          QTest::keyClick(dialog->focusWidget(), Qt::Key_Escape);
                                                      }},
                                           CancelCase{"CloseWindow", [](QInputDialog *dialog) { dialog->close(); }}),
                         [](const auto &testInfo) { return std::string(testInfo.param.name); });

TEST(QtAskText, EnterAnswersOk)
{
    QtPlatformServices services;
    PromptAnswerer answerer({std::nullopt});
    // cppcheck-suppress unreadVariable ; the answerer calls it at the open prompt
    answerer.byHand = [](QInputDialog *dialog) {
        QTest::keyClicks(dialog->focusWidget(), u"typed by keys"_s);
        QTest::keyClick(dialog->focusWidget(), Qt::Key_Return);
    };
    EXPECT_EQ(services.AskText("Another Please."), "typed by keys");
}

TEST(QtDisplayText, RoundTripsAnyTextThroughTheTextBox)
{
    QtPlatformServices services;
    QLineEdit box;
    services.setDisplay(&box);
    for (const QString &text : {longText(), mixedScripts, QString()}) {
        services.SetDisplayText(utf8(text));
        EXPECT_EQ(box.text(), text);
        EXPECT_EQ(services.GetDisplayText(), utf8(text));
    }
    box.setText(u"edited by the user"_s);
    EXPECT_EQ(services.GetDisplayText(), "edited by the user");
}

TEST(QtRandom, ReseedingGivesNewDrawsInRange)
{
    QtPlatformServices services;
    services.Reseed();
    const double first = services.NextUniform();
    services.Reseed();
    EXPECT_NE(services.NextUniform(), first);
    for (int i = 0; i < 1000; ++i) {
        const double r = services.NextUniform();
        EXPECT_GE(r, 0.0);
        EXPECT_LT(r, 1.0);
    }
}
