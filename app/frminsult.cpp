// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "frminsult.h"

#include "batchprintout.h"
#include "errorreport.h"
#include "platformservices.h"
#include "wordprompts.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

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

} // namespace

FrmInsult::FrmInsult(PlatformServices &services, WordBank bank, QWidget *parent)
    : QWidget(parent)
    , m_services(services)
    , m_bank(std::move(bank))
    , m_composer(m_bank, services)
    , txtInsult(place(new QLineEdit(u"Click Next Insult to generate insults from the words that you typed in."_s, this),
                      "txtInsult", {8, 16, 441, 25}))
    , lblTitle(place(new QLabel(u"Programmed by Quillon"_s, this), "lblTitle", {32, 0, 393, 17}))
    , cmdNext(place(new QPushButton(u"Next Insult"_s, this), "cmdNext", {8, 80, 97, 25}))
    , cmdExit(place(new QPushButton(u"Exit"_s, this), "cmdExit", {120, 80, 105, 25}))
    , cmdPrint(place(new QPushButton(u"Print Results"_s, this), "cmdPrint", {280, 80, 145, 25}))
{
    setObjectName(u"frmInsult"_s);
    setWindowTitle(u"Jeerforge V. 1.0"_s);
    resize(455, 120);

    txtInsult->setAccessibleName(u"Insult"_s);
    lblTitle->setTextFormat(Qt::PlainText);
    // The label overlaps the box's top row; keep it drawn on top.
    lblTitle->raise();

    setTabOrder(txtInsult, cmdNext);
    setTabOrder(cmdNext, cmdExit);
    setTabOrder(cmdExit, cmdPrint);
    txtInsult->setFocus();

    connect(cmdNext, &QPushButton::clicked, this, [this] { m_composer.NextInsult(); });
    connect(cmdPrint, &QPushButton::clicked, this, &FrmInsult::printResults);
    connect(cmdExit, &QPushButton::clicked, this, [this] { m_services.EndProgram(); });
}

void FrmInsult::setVisible(bool visible)
{
    if (visible && !m_loaded)
        load();
    QWidget::setVisible(visible);
}

void FrmInsult::printResults()
{
    try {
        PrintResults(m_bank, m_services);
    } catch (const PlatformError &error) {
        reportError(this, QString::fromUtf8(error.what()));
    }
}

void FrmInsult::load()
{
    m_loaded = true;
    CollectWords(m_bank, m_services);
}
