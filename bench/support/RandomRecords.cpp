// SPDX-License-Identifier: GPL-3.0-or-later
#include "RandomRecords.h"

#include <QDateTime>

using namespace Qt::StringLiterals;

namespace {
const QString kCharacters
    = u"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 .,;:!?-_/@#$%&*()+=[]{}<>~'"_s;
} // namespace

namespace RandomRecords {

QString text(QRandomGenerator &random, int from, int to)
{
    QString value;
    const int length = from + int(random.bounded(to - from + 1));
    for (int i = 0; i < length; ++i) {
        QChar c = kCharacters[random.bounded(int(kCharacters.size()))];
        // Filing refuses ":!" inside a value, and a value ending in ":" would make one with its separator.
        if (c == u'!' && value.endsWith(u':'))
            c = u'?';
        value.append(c);
    }
    if (value.endsWith(u':'))
        value.back() = u';';
    return value;
}

RecordLine::Texts texts(QRandomGenerator &random)
{
    return { text(random, 10, 30), text(random, 30, 60), text(random, 8, 20), text(random, 8, 20),
        text(random, 0, 40) };
}

QString line(QRandomGenerator &random)
{
    const RecordLine::Texts values = texts(random);
    const QDateTime when = QDateTime(QDate(2002, 1, 1), QTime(0, 0)).addSecs(random.bounded(700'000'000));
    return RecordLine::build(values, RecordLine::recordDate(when));
}

QStringList lines(int count, quint32 seed)
{
    QRandomGenerator random(seed);
    QStringList result;
    result.reserve(count);
    for (int i = 0; i < count; ++i)
        result.append(line(random));
    return result;
}

} // namespace RandomRecords
