// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "fakeplatform.h"
#include "frminsult.h"
#include "printerlookup.h"
#include "printoutdocument.h"
#include "printservice.h"
#include "promptanswerer.h"
#include "qtplatformservices.h"
#include "quitonsignals.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

template<typename Control = QWidget>
Control *control(const FrmInsult &window, const char *name)
{
    auto *found = window.findChild<Control *>(QLatin1StringView(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

class ShownWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window.load();
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    FakePlatform platform;
    FrmInsult window{platform, WordBank{}};
};

} // namespace

TEST(FrmInsultStartUp, TheLoadStepAsksAllPromptsOnceAndShowingAsksNone)
{
    FakePlatform platform;
    FrmInsult window(platform, WordBank{});
    platform.answers.assign(45, std::string("w"));
    EXPECT_TRUE(platform.prompts.empty()) << "creating the window asks nothing";

    window.load();
    EXPECT_EQ(platform.prompts.size(), 45U);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.wordBank().Nouns[19], "w");

    window.load();
    window.show();
    EXPECT_EQ(platform.prompts.size(), 45U) << "the words are asked for once per run";
}

struct Placement
{
    const char *name;
    QRect geometry;
    QString text;
};

class FrmInsultLayout : public ShownWindow, public ::testing::WithParamInterface<Placement>
{};

TEST_P(FrmInsultLayout, ControlsSitAtTheirPlacesWithTheirTexts)
{
    const Placement p = GetParam();
    QWidget *widget = control(window, p.name);
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->geometry(), p.geometry);
    EXPECT_EQ(widget->property("text").toString(), p.text);
}

INSTANTIATE_TEST_SUITE_P(
    EveryControl, FrmInsultLayout,
    ::testing::Values(Placement{"txtInsult",
                                {8, 16, 441, 25},
                                u"Click Next Insult to generate insults from the words that you typed in."_s},
                      Placement{"lblTitle", {32, 0, 393, 17}, u"Programmed by Quillon"_s},
                      Placement{"cmdNext", {8, 80, 97, 25}, u"Next Insult"_s},
                      Placement{"cmdExit", {120, 80, 105, 25}, u"Exit"_s},
                      Placement{"cmdPrint", {280, 80, 145, 25}, u"Print Results"_s}),
    [](const auto &testInfo) { return std::string(testInfo.param.name); });

TEST_F(ShownWindow, HasItsCaptionSizeAndNothingElse)
{
    EXPECT_EQ(window.windowTitle(), u"Jeerforge V. 1.0"_s);
    EXPECT_EQ(window.size(), QSize(455, 120));
    EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    window.setWindowState(Qt::WindowMaximized);
    EXPECT_EQ(window.windowState(), Qt::WindowNoState) << "a title bar's maximize leaves the window as it was";
    EXPECT_EQ(window.size(), QSize(455, 120));
    const auto children = window.findChildren<QWidget *>();
    EXPECT_EQ(std::count_if(children.begin(), children.end(), [](QWidget *child) { return !child->size().isEmpty(); }),
              5)
        << "only the five controls take room; the screen-reader notice takes none";
}

TEST_F(ShownWindow, FocusStartsInTheTextBoxAndTabVisitsTheButtonsInOrder)
{
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    EXPECT_EQ(QApplication::focusWidget(), control(window, "txtInsult"));
    for (const char *next : {"cmdNext", "cmdExit", "cmdPrint", "txtInsult"}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), control(window, next));
    }
    EXPECT_EQ(control<QLabel>(window, "lblTitle")->focusPolicy(), Qt::NoFocus);
}

TEST_F(ShownWindow, EnterAndEscapeInTheTextBoxClickNoButton)
{
    std::vector<std::unique_ptr<QSignalSpy>> spies;
    for (auto *button : window.findChildren<QPushButton *>()) {
        EXPECT_FALSE(button->isDefault());
        EXPECT_FALSE(button->autoDefault());
        spies.push_back(std::make_unique<QSignalSpy>(button, &QPushButton::clicked));
    }
    auto *box = control<QLineEdit>(window, "txtInsult");
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
        QTest::keyClick(box, key);
    for (const auto &spy : spies)
        EXPECT_EQ(spy->count(), 0);
    EXPECT_TRUE(platform.calls.size() == 45 && platform.ends == 0) << "only the start-up prompts were used";
}

TEST_F(ShownWindow, EachButtonRunsItsOperation)
{
    platform.calls.clear();
    QTest::mouseClick(control<QPushButton>(window, "cmdNext"), Qt::LeftButton);
    EXPECT_EQ(window.wordBank().BatchCount(), 1);
    EXPECT_EQ(platform.display, "  a .");

    QTest::mouseClick(control<QPushButton>(window, "cmdPrint"), Qt::LeftButton);
    EXPECT_EQ(platform.printed.size(), 100U);

    EXPECT_EQ(platform.ends, 0);
    QTest::mouseClick(control<QPushButton>(window, "cmdExit"), Qt::LeftButton);
    EXPECT_EQ(platform.ends, 1);
}

// A press looks for the printer off the window's thread: the window's event
// loop keeps turning, its buttons take no click meanwhile, and a print
// service that is not there is told as plain text while the lines are kept.
TEST_F(ShownWindow, APressWithoutAPrintServiceKeepsEveryLineAndSaysSoWithoutFreezing)
{
    QTemporaryDir nowhere;
    qputenv("CUPS_SERVER", nowhere.filePath(u"no-<b>cupsd</b>.sock"_s).toLocal8Bit());
    PrintService service;
    PrintoutDocument printout;
    const QuitOnSignals quitOnSignals;
    PrinterLookup lookup(service, printout, quitOnSignals, &window);
    QObject::connect(&window, &FrmInsult::resultsPrinted, &lookup, &PrinterLookup::lookUp);
    QObject::connect(&lookup, &PrinterLookup::busy, &window, &FrmInsult::holdButtons);

    QTest::mouseClick(control<QPushButton>(window, "cmdNext"), Qt::LeftButton);
    platform.calls.clear();
    auto *print = control<QPushButton>(window, "cmdPrint");
    print->setFocus();
    QString shown;
    QTimer answerer;
    QObject::connect(&answerer, &QTimer::timeout, [&shown] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            shown = box->textFormat() == Qt::PlainText ? box->text() : u"(as markup)"_s;
            box->accept();
        }
    });
    answerer.start(10);
    QTest::mouseClick(print, Qt::LeftButton);
    EXPECT_EQ(platform.printed.size(), 100U) << "the press keeps its lines at once";
    EXPECT_FALSE(print->isEnabled() || control<QPushButton>(window, "cmdExit")->isEnabled())
        << "the press returned to the event loop, with the buttons held";
    EXPECT_TRUE(QTest::qWaitFor([&shown] { return !shown.isEmpty(); }));
    EXPECT_TRUE(shown.contains(
        u"no-<b>cupsd</b>.sock\u2069) is not running or could not be reached.\n\nYour printout is kept."_s))
        << qPrintable(shown);
    EXPECT_TRUE(QTest::qWaitFor([&] { return print->isEnabled() && window.focusWidget() == print; }))
        << "the buttons, and the focus, come back";
    EXPECT_EQ(window.wordBank().BatchCount(), 1);
    EXPECT_EQ(platform.ends, 0);
    qunsetenv("CUPS_SERVER");
}

// A printout too full for the batch takes none of it, and says so.
TEST(FrmInsultPrintout, APressThatWouldNotFitAddsNothingAndSaysSo)
{
    FakePlatform platform;
    FrmInsult window(platform, WordBank{}, [](const WordBank &) { return std::optional(u"The printout is full."_s); });
    window.load();
    window.show();
    QSignalSpy printed(&window, &FrmInsult::resultsPrinted);
    QString told;
    QTimer answerer;
    QObject::connect(&answerer, &QTimer::timeout, [&told] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            told = box->text();
            box->accept();
        }
    });
    answerer.start(10);
    QTest::mouseClick(control<QPushButton>(window, "cmdPrint"), Qt::LeftButton);
    EXPECT_EQ(told, u"The printout is full."_s);
    EXPECT_TRUE(platform.printed.empty());
    EXPECT_EQ(printed.count(), 0) << "no printer is looked for";
}

// The real dialogs, the real text box and the real random source together.
TEST(FrmInsultOnQt, PromptedWordsBecomeInsultsInTheRealTextBox)
{
    QtPlatformServices services;
    FrmInsult window(services, WordBank{});
    services.setDisplay(window.insultBox());

    const QString longBeginning(100'000, u'y');
    const QString emojiNoun = QString::fromUtf8("\xF0\x9F\x90\x95\xE2\x80\x8D\xF0\x9F\xA6\xBA");
    std::deque<std::optional<QString>> script(5, longBeginning);
    script.insert(script.end(), 20, u"fetch"_s);
    script.insert(script.end(), 20, emojiNoun);
    PromptAnswerer answerer(script, &window);

    window.load();
    window.show();
    ASSERT_EQ(answerer.seen.size(), 45U);
    for (const auto &seen : answerer.seen)
        EXPECT_FALSE(seen.ownerVisible);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    auto *box = window.insultBox();
    box->setText(u"typed by the user"_s);
    QTest::mouseClick(control<QPushButton>(window, "cmdNext"), Qt::LeftButton);

    const std::string sentence = box->text().toStdString();
    const std::string prefix = longBeginning.toStdString() + " fetch ";
    ASSERT_EQ(sentence.substr(0, prefix.size()), prefix) << "the long word arrives whole";
    EXPECT_EQ(box->cursorPosition(), 0) << "the box shows the sentence from its beginning";
    EXPECT_TRUE(sentence.ends_with(" " + emojiNoun.toStdString() + ".") ||
                sentence.ends_with(" " + emojiNoun.toStdString() + "!"));
    EXPECT_EQ(window.wordBank().BatchCount(), 1);
    EXPECT_EQ(window.wordBank().Batch()[0], sentence);
}
