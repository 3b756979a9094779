// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

/**
 * Asks the desktop to open something (a web page, the help page, a Path):
 * xdg-open with the text unchanged as its one argument, started detached.
 * Nothing is reported back; the desktop shows its own errors.
 */
class Shell
{
public:
    virtual ~Shell() = default;
    virtual void open(const QString &target) = 0;

    static Shell &instance();
    /** Installs shell (not owned); nullptr brings xdg-open back. */
    static void install(Shell *shell);
};

inline void shellOpen(const QString &target)
{
    Shell::instance().open(target);
}
