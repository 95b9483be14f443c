// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "startup.h"

#include "outsidetext.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QList>
#include <QString>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <pwd.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// The options that Qt's GUI, widgets and display plugins read themselves;
// the first group takes a value.
const QStringList qtOptionsWithValue{u"platform"_s,      u"platformpluginpath"_s,
                                     u"platformtheme"_s, u"plugin"_s,
                                     u"qmljsdebugger"_s, u"qwindowgeometry"_s,
                                     u"qwindowicon"_s,   u"qwindowtitle"_s,
                                     u"session"_s,       u"display"_s,
                                     u"geometry"_s,      u"title"_s,
                                     u"icon"_s,          u"name"_s,
                                     u"visual"_s,        u"style"_s,
                                     u"stylesheet"_s};
const QStringList qtSwitches{u"reverse"_s, u"widgetcount"_s, u"sync"_s, u"nograb"_s, u"dograb"_s};

} // namespace

std::optional<int> answerCommandLine(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);

    QCommandLineParser parser;
    parser.setApplicationDescription(u"Writes random insults out of words you type in."_s);
    // Qt's options are written with one dash, as -platform.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help({u"h"_s, u"help"_s}, u"Shows this help and exits."_s);
    const QCommandLineOption version({u"v"_s, u"version"_s}, u"Shows the version and exits."_s);
    parser.addOption(help);
    parser.addOption(version);
    for (const QString &name : qtOptionsWithValue) {
        QCommandLineOption option(name, QString(), u"value"_s);
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const QString &name : qtSwitches) {
        QCommandLineOption option(name);
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    parser.parse(arguments);

    if (!parser.unknownOptionNames().isEmpty()) {
        const QString name = parser.unknownOptionNames().constFirst();
        const auto typed = std::find_if(arguments.cbegin() + 1, arguments.cend(), [&name](const QString &argument) {
            return argument.startsWith(u'-') &&
                argument.section(u'=', 0, 0).remove(0, argument.startsWith(u"--"_s) ? 2 : 1) == name;
        });
        std::fprintf(stderr, "jeerforge: unknown option '%s'; see 'jeerforge --help'.\n",
                     qPrintable(plainText(typed != arguments.cend() ? *typed : u'-' + name)));
        return 2;
    }
    if (parser.isSet(help)) {
        // Without an application object yet, Qt cannot name the program itself.
        const QString text = parser.helpText().replace(u"<executable_name>"_s, u"jeerforge"_s);
        std::printf("%s\nQt's own options, such as -platform NAME, -style NAME and -reverse, work as in any Qt "
                    "program.\n",
                    qPrintable(text));
        return 0;
    }
    if (parser.isSet(version)) {
        std::printf("%s %s\n", qPrintable(QCoreApplication::applicationName()),
                    qPrintable(QCoreApplication::applicationVersion()));
        return 0;
    }
    return std::nullopt;
}

void settleHomeFolder()
{
    const char *home = std::getenv("HOME");
    if (home && *home)
        return;
    const long suggested = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(suggested > 0 ? static_cast<std::size_t>(suggested) : 16384);
    passwd entry{};
    passwd *found = nullptr;
    while (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == ERANGE)
        buffer.resize(buffer.size() * 2);
    if (found && found->pw_dir && *found->pw_dir)
        ::setenv("HOME", found->pw_dir, 1);
}
