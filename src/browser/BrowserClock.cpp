// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/BrowserClock.h"

#include "common/Clock.h"

using namespace Qt::StringLiterals;

BrowserClock::BrowserClock(QObject *parent)
    : QObject(parent)
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &BrowserClock::tick);
}

void BrowserClock::start()
{
    if (m_running)
        return;
    m_running = true;
    tick();
}

void BrowserClock::stop()
{
    m_running = false;
    m_timer.stop();
}

QString BrowserClock::timeText()
{
    return Clock::current().time().toString(u"HH:mm:ss"_s);
}

void BrowserClock::tick()
{
    if (!m_running)
        return;
    Q_EMIT ticked(timeText());
    if (!m_running) // a receiver stopped the clock
        return;
    // A few milliseconds past the boundary, so a timer that fires a little
    // early still lands in the new second.
    const int msec = Clock::current().time().msec();
    m_timer.start(1000 - msec + 5);
}
