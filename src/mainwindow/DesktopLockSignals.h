// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QDBusPendingCallWatcher;

/**
 * The desktop's word that the owner is away: the screen saver's lock on the
 * session bus (the freedesktop.org and GNOME interfaces), and on the system
 * bus the login manager's Lock of this session and its announcement that the
 * machine goes to sleep. Whichever of these exist are listened to; a missing
 * bus or service is no error. Connecting to the buses waits until watch() is
 * called, so that a start never pays for it.
 */
class DesktopLockSignals : public QObject
{
    Q_OBJECT

public:
    explicit DesktopLockSignals(QObject *parent = nullptr);

    /** Starts listening (once; later calls do nothing). */
    void watch();

Q_SIGNALS:
    /** The screen locks, the session is told to lock, or the machine is about to sleep. */
    void lockRequested();

private Q_SLOTS:
    // D-Bus signals are connected by name, so these are slots.
    void screenSaverActiveChanged(bool active);
    void sessionLock();
    void prepareForSleep(bool start);

private:
    void watchSessionBus();
    void watchSystemBus();
    void sessionFound(QDBusPendingCallWatcher *call);

    bool m_watching = false;
};
