// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/GripCounter.h"

#include <QDeadlineTimer>

GripCounter::GripCounter(MsClock clock)
    : m_clock(clock ? std::move(clock) : MsClock([] { return QDeadlineTimer::current().deadline(); }))
    , m_since(m_clock())
{ }

qint16 GripCounter::value() const
{
    const qint64 ticks = (m_clock() - m_since) / kTickMs;
    if (ticks <= 0)
        return 0;
    return ticks >= kMaximum ? kMaximum : qint16(ticks);
}

void GripCounter::reset()
{
    m_since = m_clock();
}

qint64 GripCounter::msUntil(int count) const
{
    const qint64 due = m_since + qint64(count) * kTickMs;
    const qint64 left = due - m_clock();
    return left > 0 ? left : 0;
}
