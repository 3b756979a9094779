// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/PlatformChoice.h"

#include "common/ProgramExit.h"

#include <QList>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

using namespace Qt::StringLiterals;

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

QString noDisplay(const Session &session)
{
    if (!session.qpaPlatform.isEmpty() || !session.display.isEmpty() || !session.waylandDisplay.isEmpty())
        return {};
    return u"corvane: no display was found (DISPLAY and WAYLAND_DISPLAY are not set), so Corvane cannot open its "
           u"window."_s;
}

namespace {
QtMessageHandler g_previous = nullptr;
// What Qt says while it starts; passed on once it has started, or dropped when it cannot.
QList<std::pair<QtMsgType, QString>> g_held;

/** The display settings Qt tried, as "DISPLAY=:1, WAYLAND_DISPLAY=wayland-0". */
QString triedDisplays()
{
    QStringList tried;
    for (const char *name : { "QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY" }) {
        if (const QString value = qEnvironmentVariable(name); !value.isEmpty())
            tried.append(QString::fromLatin1(name) + u'=' + value);
    }
    return tried.join(u", "_s);
}

void holdStartMessages(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtFatalMsg) {
        g_held.append({ type, message });
        return;
    }
    // Qt ends the process after a fatal message; no platform could start, and the user hears why in one line.
    const QString line
        = u"corvane: the display could not be opened (%1), so Corvane cannot open its window.\n"_s.arg(triedDisplays());
    std::fputs(line.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
    std::_Exit(static_cast<int>(ExitStatus::NoDisplay));
}
} // namespace

StartGuard::StartGuard()
{
    g_previous = qInstallMessageHandler(holdStartMessages);
}

StartGuard::~StartGuard()
{
    qInstallMessageHandler(g_previous);
    const QMessageLogContext context;
    for (const auto &[type, message] : std::as_const(g_held))
        qt_message_output(type, context, message);
    g_held.clear();
}

} // namespace PlatformChoice
