// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/LoadWatcher.h"

LoadWatcher::LoadWatcher(QObject *parent)
    : QObject(parent)
{ }

void LoadWatcher::navigationRequested()
{
    setBusy(true);
}

void LoadWatcher::loadStarted()
{
    setBusy(true);
}

void LoadWatcher::loadFinished()
{
    setBusy(false);
}

void LoadWatcher::stopWaiting()
{
    setTransfersEnabled(true);
}

void LoadWatcher::setBusy(bool busy)
{
    const bool wasBusy = m_busy;
    m_busy = busy;
    if (busy) {
        if (m_watching)
            setTransfersEnabled(false);
        return;
    }
    if (m_watching) {
        m_watching = false;
        Q_EMIT ready();
        setTransfersEnabled(true);
    }
    if (wasBusy)
        Q_EMIT idle();
}

void LoadWatcher::setTransfersEnabled(bool enabled)
{
    if (m_transfersEnabled == enabled)
        return;
    m_transfersEnabled = enabled;
    Q_EMIT transfersEnabledChanged(enabled);
}
