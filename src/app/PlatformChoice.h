// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

/**
 * Which Qt platform Corvane asks for. In a Wayland session with an X server
 * for X11 programs, Corvane runs as an X11 program unless the user chose a
 * platform: only there can it keep its window above others, put it back where
 * it was, and see what other programs copy while it is not the active window.
 */
namespace PlatformChoice {

/** The environment the choice depends on. */
struct Session
{
    QByteArray qpaPlatform; ///< QT_QPA_PLATFORM: the user's own choice when not empty
    QByteArray waylandDisplay; ///< WAYLAND_DISPLAY
    QByteArray sessionType; ///< XDG_SESSION_TYPE
    QByteArray display; ///< DISPLAY: an X server (XWayland in a Wayland session)
};

/** The session Corvane was started in. */
Session current();

/**
 * The value for QT_QPA_PLATFORM: "xcb;wayland" (X11, native Wayland should no
 * X server answer) in a Wayland session with DISPLAY set and no platform
 * chosen; empty, Qt's own choice, otherwise.
 */
QByteArray platformFor(const Session &session);

/** Sets QT_QPA_PLATFORM for the current session where platformFor() says so; before the QApplication exists. */
void apply();

/**
 * Why no window can be opened, in one sentence for standard error: no
 * display at all (DISPLAY and WAYLAND_DISPLAY unset, as over ssh) and no
 * platform chosen. Empty when Qt may try.
 */
QString noDisplay(const Session &session);

/**
 * While it lives, a Qt platform that cannot start (a display that is set but
 * does not answer) ends the program with ExitStatus::NoDisplay and one
 * sentence on standard error, where Qt would abort. Held around the
 * construction of the QApplication.
 */
class StartGuard
{
public:
    StartGuard();
    ~StartGuard();
    StartGuard(const StartGuard &) = delete;
    StartGuard &operator=(const StartGuard &) = delete;
};

} // namespace PlatformChoice
