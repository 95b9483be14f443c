// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "frminsult.h"

#include "batchprintout.h"
#include "errorreport.h"
#include "platformservices.h"
#include "screenreadernotice.h"
#include "wordprompts.h"

#include <QAccessibleWidget>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

#include <algorithm>
#include <array>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

template<typename Control>
Control *place(Control *control, const char *name, QRect geometry)
{
    control->setObjectName(QLatin1StringView(name));
    control->setGeometry(geometry);
    return control;
}

// Says what a button does, to screen readers and, as its tooltip, on hover.
void describe(QPushButton *button, const QString &description)
{
    button->setAccessibleDescription(description);
    button->setToolTip(description);
}

// A plain top-level QWidget reaches assistive technology as a mere filler;
// ours is the program's window, and screen readers follow it only as such.
QAccessibleInterface *windowInterface(const QString &className, QObject *object)
{
    if (className != QLatin1StringView(FrmInsult::staticMetaObject.className()))
        return nullptr;
    return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
}

} // namespace

FrmInsult::FrmInsult(PlatformServices &services, WordBank bank, PrintoutRoom room, QWidget *parent)
    : QWidget(parent)
    , m_services(services)
    , m_bank(std::move(bank))
    , m_room(std::move(room))
    , m_composer(m_bank, services)
    , txtInsult(place(new QLineEdit(u"Click Next Insult to generate insults from the words that you typed in."_s, this),
                      "txtInsult", {8, 16, 441, 25}))
    , lblTitle(place(new QLabel(u"Programmed by Quillon"_s, this), "lblTitle", {32, 0, 393, 17}))
    , cmdNext(place(new QPushButton(u"Next Insult"_s, this), "cmdNext", {8, 80, 97, 25}))
    , cmdExit(place(new QPushButton(u"Exit"_s, this), "cmdExit", {120, 80, 105, 25}))
    , cmdPrint(place(new QPushButton(u"Print Results"_s, this), "cmdPrint", {280, 80, 145, 25}))
    , m_notice(new ScreenReaderNotice(this))
{
    QAccessible::installFactory(windowInterface);
    setObjectName(u"frmInsult"_s);
    setWindowTitle(u"Jeerforge V. 1.0"_s);
    // The controls never move, so the window never grows: tiling desktops
    // float it, and its title bar offers nothing to maximize.
    setFixedSize(455, 120);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    txtInsult->setAccessibleName(u"Insult"_s);
    lblTitle->setTextFormat(Qt::PlainText);
    // The label overlaps the box's top row; keep it drawn on top.
    lblTitle->raise();
    describe(cmdNext, u"Makes a new insult from your words, shows it in the box and records it, up to 100."_s);
    describe(cmdPrint,
             u"Adds the whole batch of insults to one printout, which goes to the default printer "
             u"when Jeerforge closes, or can be saved as a PDF."_s);
    describe(cmdExit,
             u"Closes Jeerforge. A pending printout is sent to the default printer then, or, if it "
             u"cannot be printed, saved as a PDF."_s);

    setTabOrder(txtInsult, cmdNext);
    setTabOrder(cmdNext, cmdExit);
    setTabOrder(cmdExit, cmdPrint);
    txtInsult->setFocus();

    connect(cmdNext, &QPushButton::clicked, this, [this] {
        m_composer.NextInsult();
        // The focus stays on the button, so screen readers hear the new text only from the notice.
        m_notice->announce(txtInsult->text());
    });
    connect(cmdPrint, &QPushButton::clicked, this, &FrmInsult::printResults);
    connect(cmdExit, &QPushButton::clicked, this, [this] { m_services.EndProgram(); });
    fitFont();
}

// The desktop's font, no larger than lets every caption fit its control.
void FrmInsult::fitFont()
{
    QFont fitting = font();
    const bool inPoints = fitting.pointSizeF() > 0;
    while (!captionsFit(fitting)) {
        const qreal size = inPoints ? fitting.pointSizeF() : fitting.pixelSize();
        if (size <= 4)
            break;
        if (inPoints)
            fitting.setPointSizeF(size - 0.5);
        else
            fitting.setPixelSize(static_cast<int>(size) - 1);
    }
    if (fitting != font())
        setFont(fitting);
}

bool FrmInsult::captionsFit(const QFont &font) const
{
    const QFontMetrics metrics(font);
    const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, txtInsult);
    // QLineEdit keeps one pixel above and below its text, inside the frame.
    if (metrics.height() + 2 * frame + 2 > txtInsult->height())
        return false;
    if (metrics.horizontalAdvance(lblTitle->text()) > lblTitle->width() || metrics.height() > lblTitle->height())
        return false;
    const std::array<const QPushButton *, 3> buttons{cmdNext, cmdExit, cmdPrint};
    return std::all_of(buttons.begin(), buttons.end(), [&](const QPushButton *button) {
        const int margin = style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button);
        const int buttonFrame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button);
        return metrics.horizontalAdvance(button->text()) + 2 * margin <= button->width() &&
            metrics.height() + 2 * buttonFrame <= button->height();
    });
}

// A title bar that draws a maximize button all the same (Qt's own, on
// Wayland) leaves the window where and as it was.
void FrmInsult::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::WindowStateChange && windowState().testFlag(Qt::WindowMaximized))
        setWindowState(windowState() & ~Qt::WindowMaximized);
    QWidget::changeEvent(event);
}

void FrmInsult::holdButtons(bool held)
{
    // The button that had the focus gets it back once the wait is over.
    QWidget *focused = focusWidget();
    for (QPushButton *button : {cmdNext, cmdExit, cmdPrint})
        button->setEnabled(!held);
    if (held)
        m_focusBeforeHold = focused;
    else if (m_focusBeforeHold)
        m_focusBeforeHold->setFocus();
}

// A printout too full for the batch takes none of it, and keeps what it
// holds; an error of the desktop's is told as it says it.
void FrmInsult::printResults()
{
    if (const std::optional<QString> full = m_room ? m_room(m_bank) : std::nullopt) {
        reportError(this, *full);
        return;
    }
    try {
        PrintResults(m_bank, m_services);
    } catch (const PlatformError &error) {
        reportError(this, QString::fromStdString(error.what()));
        return;
    }
    Q_EMIT resultsPrinted();
}

void FrmInsult::load()
{
    if (std::exchange(m_loaded, true))
        return;
    CollectWords(m_bank, m_services);
}
