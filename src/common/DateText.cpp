// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/DateText.h"

#include "common/Clock.h"

using namespace Qt::StringLiterals;

namespace DateText {

QString date(QDate date)
{
    return date.toString(u"MM-dd-yyyy"_s);
}

QString time(QTime time)
{
    return time.toString(u"HH:mm:ss"_s);
}

QString today()
{
    return date(Clock::current().date());
}

std::optional<QDate> parseDate(QStringView text)
{
    // Exactly two digits, hyphen, two digits, hyphen, four digits.
    if (text.size() != 10 || text[2] != u'-' || text[5] != u'-')
        return std::nullopt;
    for (qsizetype i : { 0, 1, 3, 4, 6, 7, 8, 9 }) {
        if (text[i] < u'0' || text[i] > u'9')
            return std::nullopt;
    }
    const QDate parsed(text.mid(6, 4).toInt(), text.mid(0, 2).toInt(), text.mid(3, 2).toInt());
    if (!parsed.isValid())
        return std::nullopt;
    return parsed;
}

} // namespace DateText
