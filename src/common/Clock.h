// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>

/**
 * The program's one source of "now". Everything that writes a date or a time
 * asks this clock, so that tests can fix the moment.
 */
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;

    /** The clock in use: the system clock unless a test installed another. */
    static const Clock &instance();
    /** Installs clock (not owned); nullptr brings the system clock back. */
    static void install(const Clock *clock);

    static QDateTime current() { return instance().now(); }
};
