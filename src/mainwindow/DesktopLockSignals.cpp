// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/DesktopLockSignals.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {
const QString kLogin = u"org.freedesktop.login1"_s;
const QString kLoginPath = u"/org/freedesktop/login1"_s;
const QString kLoginManager = u"org.freedesktop.login1.Manager"_s;
} // namespace

DesktopLockSignals::DesktopLockSignals(QObject *parent)
    : QObject(parent)
{ }

void DesktopLockSignals::watch()
{
    if (m_watching)
        return;
    m_watching = true;
    watchSessionBus();
    watchSystemBus();
}

void DesktopLockSignals::watchSessionBus()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    // Each desktop's screen saver says so on its own interface, some under more than one path; any sender.
    static const std::pair<const char16_t *, const char16_t *> savers[] = {
        { u"org.freedesktop.ScreenSaver", u"/org/freedesktop/ScreenSaver" },
        { u"org.freedesktop.ScreenSaver", u"/ScreenSaver" },
        { u"org.gnome.ScreenSaver", u"/org/gnome/ScreenSaver" },
    };
    for (const auto &[interface, path] : savers)
        bus.connect(QString(), QString::fromUtf16(path), QString::fromUtf16(interface), u"ActiveChanged"_s, this,
            SLOT(screenSaverActiveChanged(bool)));
}

void DesktopLockSignals::watchSystemBus()
{
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return;
    bus.connect(kLogin, kLoginPath, kLoginManager, u"PrepareForSleep"_s, this, SLOT(prepareForSleep(bool)));
    // This session's object, asked for without waiting: the answer comes back as an event.
    const QByteArray id = qgetenv("XDG_SESSION_ID");
    QDBusMessage ask = id.isEmpty()
        ? QDBusMessage::createMethodCall(kLogin, kLoginPath, kLoginManager, u"GetSessionByPID"_s)
        : QDBusMessage::createMethodCall(kLogin, kLoginPath, kLoginManager, u"GetSession"_s);
    if (id.isEmpty())
        ask << quint32(::getpid());
    else
        ask << QString::fromLocal8Bit(id);
    auto *call = new QDBusPendingCallWatcher(bus.asyncCall(ask), this);
    connect(call, &QDBusPendingCallWatcher::finished, this, &DesktopLockSignals::sessionFound);
}

void DesktopLockSignals::sessionFound(QDBusPendingCallWatcher *call)
{
    call->deleteLater();
    const QDBusPendingReply<QDBusObjectPath> reply = *call;
    // Outside a login session (a service, a container) there is none: the screen saver and sleep still count.
    if (reply.isError())
        return;
    QDBusConnection::systemBus().connect(
        kLogin, reply.value().path(), u"org.freedesktop.login1.Session"_s, u"Lock"_s, this, SLOT(sessionLock()));
}

void DesktopLockSignals::screenSaverActiveChanged(bool active)
{
    if (active)
        Q_EMIT lockRequested();
}

void DesktopLockSignals::sessionLock()
{
    Q_EMIT lockRequested();
}

void DesktopLockSignals::prepareForSleep(bool start)
{
    if (start)
        Q_EMIT lockRequested();
}
