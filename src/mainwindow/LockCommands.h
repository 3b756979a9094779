// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QObject>
#include <QPoint>
#include <QPointer>

#include <functional>

class DesktopLockSignals;
class QAction;
class QMenu;
class QWidget;
struct OwnerState;

/**
 * Locking Corvane while the owner is away: "&Lock" (Ctrl+L) and the
 * desktop's own lock (the screen saver, the session's lock, going to sleep)
 * hide every window of the program, drop the records from memory and ask
 * for the owner password as the start does. The right password brings the
 * main window back where it was, with its records read again; failing or
 * giving up ends the program, its preferences written as Exit writes them.
 * Only an owner password in force at Level::ProgramAndDatabase or Level::ProgramOnly locks.
 *
 * A lock never cuts a command short: a request ends the message boxes and
 * dialogs that wait (each gives its safe answer, Cancel or No) and any other
 * wait of a command, hides the windows at once, and drops the records once
 * every command has returned to the program's event loop.
 */
class LockCommands : public QObject
{
    Q_OBJECT

public:
    /** What of the main window the lock uses. */
    struct Controls
    {
        QWidget *window; ///< the main window: hidden while locked, shown again after
        QMenu *mnuFileTop;
        QAction *mnuLock;
    };

    /** What locking and unlocking do to the main window's contents. */
    struct Steps
    {
        /** Empties the grid, the boxes and the clipboard status, drops the records, ends capture mode. */
        std::function<void()> dropRecords;
        /** Reads the records again from the database file of the level in force. */
        std::function<void()> reloadRecords;
        /** Writes the preferences as Exit does (the program ends while locked). */
        std::function<void()> savePrefs;
    };

    LockCommands(const Controls &controls, OwnerState &owner, Steps steps);

    /**
     * Lets requests lock from now on, and starts listening to the desktop. Run
     * from the event loop the program lives in, once the window's load has
     * ended: a lock waits until the program is back in that loop.
     */
    void arm();

    /** "&Lock": locks at once (after the command at hand, if any, has returned). */
    void mnuLock_Click();
    /** Locks when an owner password guards Corvane; otherwise nothing happens. */
    void requestLock();

    /** Whether an owner password guards Corvane: a password in force at a level that asks for it. */
    bool guarded() const;
    /** Enables "&Lock" while an owner password guards Corvane; a tooltip says why it is disabled. */
    void updateEnabling();

    /** Locked, or about to be: the records are not to be shown. */
    bool isLocked() const { return m_pending || m_locked; }

    /** The window a request to come to the front raises: "Owner Authentication" while locked, else nullptr. */
    QWidget *ownerPrompt() const;

private:
    void tryLock();
    /** Ends what waits (dialogs, pop-ups, tooltips) and hides every window; safe inside any command. */
    void hideWindows();
    /** Locks: the other windows closed, the records dropped, the owner asked; unlocks on the right password. */
    void lock();
    void closeOtherWindows();
    void showWindowAgain();

    Controls m_ui;
    OwnerState &m_owner;
    Steps m_steps;
    DesktopLockSignals *m_desktop = nullptr;
    bool m_armed = false;
    /** The event loop level the program lives in; a deeper one means a command waits. */
    int m_loopLevel = 0;
    bool m_pending = false;
    bool m_locked = false;
    /** The windows hidden by the request, closed by the lock. */
    QList<QPointer<QWidget>> m_hidden;

    /** Where the main window was. */
    struct Place
    {
        bool visible = false;
        QPoint position;
        Qt::WindowStates state;
    } m_place;
};
