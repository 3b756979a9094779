// SPDX-License-Identifier: GPL-3.0-or-later
#include "Fakes.h"

#include "common/ProgramExit.h"

#include <QtDebug>

using namespace Qt::StringLiterals;

MessageAnswer FakeMessages::show(
    QWidget *, MessageIcon icon, const QString &title, const QString &text, MessageButtons buttons)
{
    shown.append({ icon, title, text, buttons });
    if (!m_answers.isEmpty())
        return m_answers.dequeue();
    switch (buttons) {
    case MessageButtons::Ok:
        return MessageAnswer::Ok;
    case MessageButtons::YesNo:
        m_unexpected.append(title + u": "_s + text);
        return MessageAnswer::No;
    case MessageButtons::OkCancel:
        m_unexpected.append(title + u": "_s + text);
        return MessageAnswer::Cancel;
    }
    return MessageAnswer::Ok;
}

char *toString(const ShownMessage &message)
{
    const QString shown = u"icon %1, \"%2\": \"%3\", buttons %4"_s.arg(int(message.icon))
                              .arg(message.title, message.text)
                              .arg(int(message.buttons));
    return qstrdup(shown.toUtf8().constData());
}

QStringList FakeMessages::texts() const
{
    QStringList list;
    for (const ShownMessage &message : shown)
        list.append(message.text);
    return list;
}

void FakeMessages::clear()
{
    shown.clear();
    m_answers.clear();
    m_unexpected.clear();
}

FakeExit::FakeExit()
{
    ProgramExit::setHandler([this] { ++count; });
}

FakeExit::~FakeExit()
{
    ProgramExit::setHandler({});
}
