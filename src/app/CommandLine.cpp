// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLine.h"

#include "common/AppInfo.h"

#include <QCommandLineParser>

using namespace Qt::StringLiterals;

namespace CommandLine {

namespace {
// Qt's own options: QApplication takes them out of the arguments (and acts on them) once it exists.
const char16_t *const kQtOptionsWithValue[] = { u"platform", u"platformpluginpath", u"platformtheme", u"plugin",
    u"qwindowgeometry", u"qwindowicon", u"qwindowtitle", u"session", u"display", u"geometry", u"title", u"name",
    u"style", u"stylesheet", u"qmljsdebugger", u"fontengine", u"visual" };
const char16_t *const kQtFlags[] = { u"reverse", u"widgetcount", u"sync", u"nograb", u"dograb" };

QString usage(const QCommandLineParser &parser)
{
    // Qt names the program "<executable_name>" when no application object exists yet.
    QString text = parser.helpText();
    text.replace(0, text.indexOf(u'\n'), u"Usage: corvane [options]"_s);
    return text;
}
} // namespace

Outcome parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    // Qt's options come with one dash ("-platform xcb"), so words after one dash are options, not letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(u"Corvane keeps your logins on your own computer.\n\n"
                                     u"Records: ${XDG_DATA_HOME:-~/.local/share}/corvane for an installed Corvane,\n"
                                     u"  else the folder of the program.\n"
                                     u"Exit status: 0 ended normally, or the Corvane already running on the records\n"
                                     u"  came forward; 1 no display; 2 a wrong command line; 3 the owner password\n"
                                     u"  was not given; 4 a Corvane that does not answer holds the records."_s);
    const QCommandLineOption help({ u"h"_s, u"help"_s }, u"Shows this help and ends."_s);
    const QCommandLineOption version({ u"v"_s, u"version"_s }, u"Shows Corvane's version and ends."_s);
    parser.addOption(help);
    parser.addOption(version);
    for (const char16_t *name : kQtOptionsWithValue) {
        QCommandLineOption option(QString::fromUtf16(name), {}, u"value"_s);
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char16_t *name : kQtFlags) {
        QCommandLineOption option(QString::fromUtf16(name));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }

    if (!parser.parse(arguments))
        return { Action::Refuse, u"corvane: "_s + parser.errorText() + u"\n\n"_s + usage(parser) };
    if (!parser.positionalArguments().isEmpty()) {
        return { Action::Refuse,
            u"corvane: Unexpected argument '%1'.\n\n"_s.arg(parser.positionalArguments().constFirst())
                + usage(parser) };
    }
    if (parser.isSet(help))
        return { Action::ShowHelp, usage(parser) };
    if (parser.isSet(version))
        return { Action::ShowVersion, AppInfo::title + u' ' + AppInfo::version + u'\n' };
    return {};
}

QStringList fromArgv(int argc, char *argv[])
{
    QStringList arguments;
    arguments.reserve(argc);
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

} // namespace CommandLine
