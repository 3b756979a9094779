// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/SessionLock.h"

SessionLock &SessionLock::instance()
{
    static SessionLock lock;
    return lock;
}

bool SessionLock::isLocked()
{
    return instance().m_locked;
}

void SessionLock::request()
{
    Q_EMIT instance().requested();
}

void SessionLock::setLocked(bool locked)
{
    SessionLock &self = instance();
    if (self.m_locked == locked)
        return;
    self.m_locked = locked;
    if (locked)
        Q_EMIT self.locked();
    else
        Q_EMIT self.unlocked();
}
