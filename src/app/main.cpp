// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLine.h"
#include "app/PlatformChoice.h"
#include "app/Startup.h"
#include "common/Accessibility.h"
#include "common/ProgramExit.h"
#include "security/CoreDumps.h"

#include <QApplication>
#include <QFont>
#include <QIcon>

#include <cstdio>
#include <optional>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {
/** Answers the command line; the status to end with, or nullopt to start the program. */
std::optional<int> answerCommandLine(int argc, char *argv[])
{
    const CommandLine::Outcome outcome = CommandLine::parse(CommandLine::fromArgv(argc, argv));
    switch (outcome.action) {
    case CommandLine::Action::Run:
        return std::nullopt;
    case CommandLine::Action::ShowHelp:
    case CommandLine::Action::ShowVersion:
        std::fputs(outcome.text.toLocal8Bit().constData(), stdout);
        return static_cast<int>(ExitStatus::Normal);
    case CommandLine::Action::Refuse:
        std::fputs(outcome.text.toLocal8Bit().constData(), stderr);
        return static_cast<int>(ExitStatus::Usage);
    }
    return std::nullopt;
}
} // namespace

int main(int argc, char *argv[])
{
    // The process holds the owner password and every record: it must never end up in a core dump,
    // and whatever it or its libraries write (caches included) is for the user's eyes only.
    disableCoreDumps();
    ::umask(077);
    // Help and version need no display: they are answered before any window system is touched.
    if (const std::optional<int> status = answerCommandLine(argc, argv))
        return *status;
    // In a Wayland session Corvane runs as an X11 program unless the user chose a platform.
    PlatformChoice::apply();
    if (const QString none = PlatformChoice::noDisplay(PlatformChoice::current()); !none.isEmpty()) {
        std::fputs((none + u'\n').toLocal8Bit().constData(), stderr);
        return static_cast<int>(ExitStatus::NoDisplay);
    }

    std::optional<PlatformChoice::StartGuard> guard(std::in_place);
    QApplication app(argc, argv);
    guard.reset();
    QApplication::setApplicationName(u"corvane"_s);
    // The name of the menu entry: a Wayland desktop finds the window's icon and entry by it.
    QGuiApplication::setDesktopFileName(QStringLiteral(CORVANE_DESKTOP_ID));
    QApplication::setWindowIcon(QIcon(u":/icons/corvane.svg"_s));
    // The windows are laid out for an 8-point interface font.
    QFont font = QApplication::font();
    font.setPointSize(8);
    QApplication::setFont(font);
    // Screen readers see each window as a window, and the menus it owns.
    Accessibility::install();
    // Windows come and go during the start (splash, authentication, main window); the program
    // ends when it is told to, not when the last window happens to close.
    QApplication::setQuitOnLastWindowClosed(false);

    Startup startup;
    if (!startup.run())
        return static_cast<int>(startup.endStatus());
    if (ProgramExit::isRequested())
        return ProgramExit::status();
    return QApplication::exec();
}
