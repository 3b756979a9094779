// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

/**
 * Corvane's command line: --help and --version, and the options every Qt
 * program takes (-platform, -display, -style, -session and the like), which
 * are left to Qt. Read before any window system is touched, so that help and
 * version work without a display.
 */
namespace CommandLine {

enum class Action {
    Run, ///< start the program
    ShowHelp, ///< print text on standard output and end
    ShowVersion, ///< print text on standard output and end
    Refuse, ///< print text (what is wrong, then the usage) on standard error and end
};

struct Outcome
{
    Action action = Action::Run;
    QString text; ///< what to print, ending in a line end; empty for Run
};

/** What the arguments ask for; arguments[0] is the program as it was started. */
Outcome parse(const QStringList &arguments);

/** The arguments as the system handed them over. */
QStringList fromArgv(int argc, char *argv[]);

} // namespace CommandLine
