// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QTimer>

/**
 * The tray's clock: while running it reports the time of day as "hh:mm:ss"
 * (24-hour) at once and then on every change of the second, with one
 * single-shot timer re-armed to the next second boundary, so an idle window
 * wakes once a second and no more.
 */
class BrowserClock : public QObject
{
    Q_OBJECT

public:
    explicit BrowserClock(QObject *parent = nullptr);

    bool isRunning() const { return m_running; }
    void start();
    void stop();

    /** The time of day of Clock::current() as the clock shows it. */
    static QString timeText();

Q_SIGNALS:
    void ticked(const QString &time);

private:
    void tick();

    QTimer m_timer;
    bool m_running = false;
};
