// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

#include <functional>

/**
 * The resize grip's auto-hide count: one tick every 10 ms since it was last
 * reset, read from a monotonic clock so that no timer has to run while the
 * grip is hidden. The count saturates at 32767 instead of wrapping.
 */
class GripCounter
{
public:
    static constexpr int kTickMs = 10;
    static constexpr qint16 kMaximum = 32767;

    /** Milliseconds of a monotonic clock; the default is the system's steady clock. */
    using MsClock = std::function<qint64()>;

    explicit GripCounter(MsClock clock = {});

    qint16 value() const;
    void reset();
    /** Milliseconds until the count reaches count; 0 when it already has. */
    qint64 msUntil(int count) const;

private:
    MsClock m_clock;
    qint64 m_since = 0;
};
