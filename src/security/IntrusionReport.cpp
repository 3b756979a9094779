// SPDX-License-Identifier: GPL-3.0-or-later
#include "security/IntrusionReport.h"

#include "common/AppInfo.h"
#include "common/Clock.h"
#include "common/DateText.h"
#include "common/SafeFile.h"
#include "common/TextLines.h"
#include "common/Windows1252.h"

using namespace Qt::StringLiterals;

namespace IntrusionReport {

QStringList lines(const Attempts &attempts, const QDateTime &when)
{
    QStringList block;
    block << QString() << AppInfo::title + u" Intrussion Report"_s << QString()
          << u"[ "_s + DateText::date(when.date()) + u" - "_s + DateText::time(when.time()) + u" ]"_s << QString();
    for (int i = 1; i <= 3; ++i)
        block << u"Intrussion attempt #"_s + QString::number(i) + u": "_s + attempts.at(i);
    block << QString() << u" -------- END REPORT --------------"_s;
    return block;
}

FileResult WriteIntrusionReport(const Attempts &attempts, const QString &path)
{
    QByteArray content;
    for (const QString &line : lines(attempts, Clock::current())) {
        // What an intruder typed is kept as typed; a character the code page lacks is written as "?".
        content.append(TextLines::terminated(Windows1252::encode(line)));
    }
    return SafeFile::append(path, content);
}

} // namespace IntrusionReport
