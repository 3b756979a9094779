// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/PlatformChoice.h"

#include <QtGlobal>

namespace PlatformChoice {

Session current()
{
    return { qgetenv("QT_QPA_PLATFORM"), qgetenv("WAYLAND_DISPLAY"), qgetenv("XDG_SESSION_TYPE"), qgetenv("DISPLAY") };
}

QByteArray platformFor(const Session &session)
{
    if (!session.qpaPlatform.isEmpty() || session.display.isEmpty())
        return {};
    const bool waylandSession = !session.waylandDisplay.isEmpty() || session.sessionType == "wayland";
    return waylandSession ? QByteArray("xcb;wayland") : QByteArray();
}

void apply()
{
    const QByteArray platform = platformFor(current());
    if (!platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", platform);
}

} // namespace PlatformChoice
