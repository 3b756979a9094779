// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <functional>

/**
 * Ends the program at once, saving nothing. After a request every event loop
 * returns (the main one and any nested wait), and code that was waiting in
 * one must check isRequested() and return straight away, touching no file
 * and showing no window.
 */
class ProgramExit : public QObject
{
    Q_OBJECT

public:
    static ProgramExit &instance();

    static void request();
    static bool isRequested();

    /**
     * Replaces what a request does beyond raising the flag and the signal; the
     * default calls QCoreApplication::exit(0). Tests install a recorder.
     * An empty function restores the default and lowers the flag.
     */
    static void setHandler(std::function<void()> handler);

Q_SIGNALS:
    void requested();

private:
    ProgramExit() = default;
    bool m_requested = false;
    std::function<void()> m_handler;
};
