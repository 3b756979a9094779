// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <functional>

/** How the program ends, as the shell and the desktop see it. */
enum class ExitStatus : int {
    Normal = 0, ///< the user ended it, or a second start handed over to the running one
    NoDisplay = 1, ///< no desktop to show a window on
    Usage = 2, ///< a command line it does not understand
    OwnerRefused = 3, ///< the owner password was not given (three wrong ones, or Cancel)
    FolderInUse = 4, ///< another Corvane holds the folder and could not be reached
};

/**
 * Ends the program at once, saving nothing. After a request every event loop
 * returns (the main one and any nested wait), and code that was waiting in
 * one must check isRequested() and return straight away, touching no file
 * and showing no window.
 */
class ProgramExit : public QObject
{
    Q_OBJECT

public:
    static ProgramExit &instance();

    /** Ends the program with status (the first request's status counts). */
    static void request(ExitStatus status = ExitStatus::Normal);
    static bool isRequested();
    /** The status the program ends with: the first request's, Normal when none came. */
    static int status();

    /**
     * Replaces what a request does beyond raising the flag and the signal; the
     * default calls QCoreApplication::exit(status()). Tests install a recorder.
     * An empty function restores the default and lowers the flag.
     */
    static void setHandler(std::function<void()> handler);

Q_SIGNALS:
    void requested();

private:
    ProgramExit() = default;
    bool m_requested = false;
    ExitStatus m_status = ExitStatus::Normal;
    std::function<void()> m_handler;
};
