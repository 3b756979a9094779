// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

/**
 * Follows the page's loading and decides the state of the four transfer
 * buttons. It watches from the window's load until the first load finishes:
 * while the page is busy the buttons are disabled; the first time it is no
 * longer busy, ready() asks the window to put the user name on the
 * clipboard and the buttons are enabled. After that it only keeps track of
 * whether the page is busy; a later load (Refresh) leaves the buttons alone.
 */
class LoadWatcher : public QObject
{
    Q_OBJECT

public:
    explicit LoadWatcher(QObject *parent = nullptr);

    bool isBusy() const { return m_busy; }
    /** Whether the watcher still waits for the first finished load. */
    bool isWatching() const { return m_watching; }
    bool transfersEnabled() const { return m_transfersEnabled; }

    /** The window asked the browser to load a page; busy until it reports the end. */
    void navigationRequested();
    void loadStarted();
    /** The load ended: finished, failed, stopped, or the page's process went away. */
    void loadFinished();
    /** "Stop": the buttons as when ready, while the page and the watcher go on. */
    void stopWaiting();

Q_SIGNALS:
    void transfersEnabledChanged(bool enabled);
    /** The first load has ended: the window puts the user name on the clipboard. */
    void ready();
    /** The page is no longer busy (after any load). */
    void idle();

private:
    void setBusy(bool busy);
    void setTransfersEnabled(bool enabled);

    bool m_busy = false;
    bool m_watching = true;
    bool m_transfersEnabled = true;
};
