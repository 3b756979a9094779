// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

/**
 * Whether Corvane is locked: its windows hidden and its records out of
 * memory until the owner types the owner password again. Code that waits in
 * an event loop of its own (a page loading, say) ends the wait when a lock
 * is requested, so that the lock can run once the command that waited has
 * returned. Windows that hold record texts of their own empty themselves on
 * locked().
 */
class SessionLock : public QObject
{
    Q_OBJECT

public:
    static SessionLock &instance();

    static bool isLocked();
    /** Says that a lock is wanted; the main window carries it out. */
    static void request();
    /** Set by the main window as it locks and as the owner comes back. */
    static void setLocked(bool locked);

Q_SIGNALS:
    /** A lock is wanted: every wait of a command must end. */
    void requested();
    /** The windows are hidden and the records dropped; the owner is about to be asked. */
    void locked();
    /** The owner is back and the main window shows its records again. */
    void unlocked();

private:
    SessionLock() = default;
    bool m_locked = false;
};
