// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Clock.h"
#include "common/Messages.h"
#include "common/Shell.h"

#include <QList>
#include <QQueue>
#include <QStringList>

/** A message box as the program asked for it. */
struct ShownMessage
{
    MessageIcon icon;
    QString title;
    QString text;
    MessageButtons buttons = MessageButtons::Ok;

    friend bool operator==(const ShownMessage &, const ShownMessage &) = default;
};

/** How QCOMPARE prints a message box that differs. */
char *toString(const ShownMessage &message);

/**
 * Records every message box instead of showing it. Answers come from a
 * queue; a box with a choice (Yes/No, OK/Cancel) and no queued answer is an
 * unexpected message: it gets the safe answer (No, Cancel) at once, so a test
 * never hangs, and unexpected() lists it so the test fails.
 */
class FakeMessages final : public Messages
{
public:
    FakeMessages() { Messages::install(this); }
    ~FakeMessages() override { Messages::install(nullptr); }

    MessageAnswer show(
        QWidget *parent, MessageIcon icon, const QString &title, const QString &text, MessageButtons buttons) override;

    /** The answer to give to the next box. */
    void queue(MessageAnswer answer) { m_answers.enqueue(answer); }

    QList<ShownMessage> shown;
    /** Boxes with a choice that found no queued answer. */
    QStringList unexpected() const { return m_unexpected; }
    /** The texts shown, in order. */
    QStringList texts() const;
    void clear();

private:
    QQueue<MessageAnswer> m_answers;
    QStringList m_unexpected;
};

/** Records what the program asked the desktop to open. */
class FakeShell final : public Shell
{
public:
    FakeShell() { Shell::install(this); }
    ~FakeShell() override { Shell::install(nullptr); }
    void open(const QString &target) override { opened.append(target); }
    QStringList opened;
};

/** A clock that stands still at the moment a test gives it. */
class FakeClock final : public Clock
{
public:
    explicit FakeClock(QDateTime now)
        : m_now(std::move(now))
    {
        Clock::install(this);
    }
    ~FakeClock() override { Clock::install(nullptr); }
    QDateTime now() const override { return m_now; }
    void set(QDateTime now) { m_now = std::move(now); }

private:
    QDateTime m_now;
};

/**
 * Records exit requests instead of ending the test. The program sees the
 * request as it would (ProgramExit::isRequested(), the signal, nested waits
 * ending); count tells how often it asked.
 */
class FakeExit final
{
public:
    FakeExit();
    ~FakeExit();
    bool requested() const { return count > 0; }
    int count = 0;
};
