// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/PlatformChoice.h"
#include "app/Startup.h"
#include "common/Accessibility.h"
#include "common/ProgramExit.h"
#include "security/CoreDumps.h"

#include <QApplication>
#include <QFont>
#include <QIcon>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    // The process holds the owner password and every record: it must never end up in a core dump,
    // and whatever it or its libraries write (caches included) is for the user's eyes only.
    disableCoreDumps();
    ::umask(077);
    // In a Wayland session Corvane runs as an X11 program unless the user chose a platform.
    PlatformChoice::apply();

    QApplication app(argc, argv);
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
    if (!startup.run() || ProgramExit::isRequested())
        return 0;
    return QApplication::exec();
}
