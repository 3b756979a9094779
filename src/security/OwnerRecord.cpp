// SPDX-License-Identifier: GPL-3.0-or-later
#include "security/OwnerRecord.h"

namespace OwnerRecord {

QString build(QStringView expiry, QStringView password, QStringView setDate, Level level)
{
    return expiry + password + setDate + QString::number(int(level));
}

Fields parse(QStringView record)
{
    Fields fields;
    if (record.isEmpty())
        return fields;
    const QChar last = record.back();
    if (last >= u'0' && last <= u'9')
        fields.level = Level(last.unicode() - u'0');

    // The shortened record (without the level) holds two dates of 10 around the password.
    const QStringView shortened = record.chopped(1);
    if (shortened.size() < 20)
        return fields;
    fields.complete = true;
    fields.expiry = shortened.first(10).toString();
    fields.password = shortened.sliced(10, shortened.size() - 20).toString();
    fields.setDate = shortened.last(10).toString();
    return fields;
}

} // namespace OwnerRecord
