// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/HandOver.h"

#include "common/AppFolders.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {
constexpr QByteArrayView kRaise = "raise";
constexpr QByteArrayView kAnswer = "ok\n";
// A request is one short line; anything longer is not from Corvane.
constexpr qsizetype kLongestRequest = 512;
// A client that connects and says nothing is let go after this long.
constexpr int kClientPatienceMs = 5000;

/** The address of the socket at path; false when the path is too long for one. */
bool addressOf(const QString &path, sockaddr_un &address)
{
    const QByteArray native = QFile::encodeName(path);
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (native.isEmpty() || size_t(native.size()) >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, native.constData(), size_t(native.size()));
    return true;
}

/** The desktop's activation token this start was given, safe to send on one line; empty when there is none. */
QByteArray activationToken()
{
    for (const char *name : { "XDG_ACTIVATION_TOKEN", "DESKTOP_STARTUP_ID" }) {
        const QByteArray token = qgetenv(name);
        const bool printable = std::all_of(token.cbegin(), token.cend(), [](char c) { return c > ' ' && c < 127; });
        if (!token.isEmpty() && printable && token.size() < kLongestRequest - kRaise.size() - 2)
            return token;
    }
    return {};
}

/** Waits until fd is ready for events or the deadline passes; false on timeout or error. */
bool waitFor(int fd, short events, const QDeadlineTimer &deadline)
{
    pollfd watch { fd, events, 0 };
    int ready = 0;
    do {
        ready = ::poll(&watch, 1, int(deadline.remainingTime()));
    } while (ready < 0 && errno == EINTR);
    return ready > 0 && (watch.revents & events);
}

/**
 * A connected socket to the running Corvane, or -1. One that has just taken the
 * folder may not listen yet, and one whose queue is full is busy: both are
 * asked again until the deadline.
 */
int connectTo(const sockaddr_un &address, const QDeadlineTimer &deadline)
{
    for (;;) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (fd < 0)
            return -1;
        if (::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0)
            return fd;
        const int error = errno;
        ::close(fd);
        if ((error != ENOENT && error != ECONNREFUSED && error != EAGAIN) || deadline.hasExpired())
            return -1;
        ::usleep(50 * 1000);
    }
}

/** One later start's request, read as it arrives. */
class Client : public QObject
{
public:
    Client(int fd, HandOver *server)
        : QObject(server)
        , m_fd(fd)
        , m_notifier(new QSocketNotifier(fd, QSocketNotifier::Read, this))
    {
        connect(m_notifier, &QSocketNotifier::activated, this, &Client::read);
        QTimer::singleShot(kClientPatienceMs, this, &Client::finish);
    }
    ~Client() override { ::close(m_fd); }

    std::function<void(const QByteArray &)> onRequest;

private:
    void read()
    {
        char buffer[256];
        const ssize_t got = ::read(m_fd, buffer, sizeof buffer);
        if (got < 0 && (errno == EAGAIN || errno == EINTR))
            return;
        if (got <= 0) {
            finish();
            return;
        }
        m_line.append(buffer, got);
        const qsizetype end = m_line.indexOf('\n');
        if (end < 0) {
            if (m_line.size() > kLongestRequest)
                finish();
            return;
        }
        const QList<QByteArray> words = m_line.left(end).split(' ');
        if (words.constFirst() == kRaise) {
            m_notifier->setEnabled(false);
            onRequest(words.value(1));
            // The client waits for this one short line; a socket's buffer always has room for it.
            static_cast<void>(::send(m_fd, kAnswer.data(), size_t(kAnswer.size()), MSG_NOSIGNAL));
        }
        finish();
    }

    void finish()
    {
        m_notifier->setEnabled(false);
        deleteLater();
    }

    int m_fd;
    QSocketNotifier *m_notifier;
    QByteArray m_line;
};
} // namespace

HandOver::HandOver(QObject *parent)
    : QObject(parent)
{ }

HandOver::~HandOver()
{
    if (m_fd < 0)
        return;
    ::close(m_fd);
    // The next start must not find a socket nobody answers on.
    ::unlink(QFile::encodeName(m_path).constData());
}

QString HandOver::socketPath()
{
    const QString folder = AppFolders::temporaryFolder();
    return folder.isEmpty() ? QString() : folder + u"/instance"_s;
}

bool HandOver::askRunning(int timeoutMs)
{
    sockaddr_un address;
    if (!addressOf(socketPath(), address))
        return false;
    const QDeadlineTimer deadline(timeoutMs);
    const int fd = connectTo(address, deadline);
    if (fd < 0)
        return false;
    QByteArray answer;
    const QByteArray request = kRaise.toByteArray() + ' ' + activationToken() + '\n';
    if (::send(fd, request.constData(), size_t(request.size()), MSG_NOSIGNAL) == request.size()) {
        while (!answer.contains('\n') && waitFor(fd, POLLIN, deadline)) {
            char buffer[16];
            const ssize_t got = ::read(fd, buffer, sizeof buffer);
            if (got <= 0 && !(got < 0 && (errno == EAGAIN || errno == EINTR)))
                break;
            if (got > 0)
                answer.append(buffer, got);
        }
    }
    ::close(fd);
    return answer == kAnswer;
}

bool HandOver::listen()
{
    m_path = socketPath();
    sockaddr_un address;
    if (!addressOf(m_path, address))
        return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return false;
    // Left by a run that was killed: this run holds the lock, so nobody else listens there.
    ::unlink(address.sun_path);
    if (::bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0 || ::listen(fd, 8) != 0) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
    m_notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &HandOver::acceptClient);
    return true;
}

void HandOver::acceptClient()
{
    const int client = ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (client < 0)
        return;
    auto *request = new Client(client, this);
    request->onRequest = [this](const QByteArray &token) { Q_EMIT raiseRequested(token); };
}
