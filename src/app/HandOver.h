// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QSocketNotifier;

/**
 * One running Corvane per application folder, brought forward when it is
 * started again. The running one listens on a local socket, "instance" in its
 * private temporary folder (mode 0700: no other user can reach it). A second
 * start connects, sends one line, "raise" and its activation token (the
 * desktop's leave to take the focus, when it gave one), and ends once the
 * running one has answered "ok", which it does when it has brought its front
 * window forward.
 */
class HandOver : public QObject
{
    Q_OBJECT

public:
    explicit HandOver(QObject *parent = nullptr);
    ~HandOver() override;

    /** The socket's path; empty when the private folder cannot be made. */
    static QString socketPath();

    /**
     * Asks the Corvane that runs on this folder to come forward; true once it
     * has said so. false when none listens, or none answers within timeoutMs
     * (it is stopped, or busy for longer than a user waits).
     */
    static bool askRunning(int timeoutMs);

    /**
     * Starts listening for later starts. Only while this program holds the
     * folder's instance lock: a socket left by a run that was killed is
     * replaced. false when the socket cannot be made (a later start then
     * finds nobody to hand over to).
     */
    bool listen();

Q_SIGNALS:
    /** A later start asks to be brought forward; token is its activation token, or empty. */
    void raiseRequested(const QByteArray &token);

private:
    void acceptClient();

    int m_fd = -1;
    QSocketNotifier *m_notifier = nullptr;
    QString m_path;
};
