// SPDX-License-Identifier: GPL-3.0-or-later
#include "KillSets.h"

#include "RecordList.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {
constexpr int kEdited = 12345;

RecordLine::Texts texts(int i, const QString &variant)
{
    return { u"Service %1"_s.arg(i, 5, 10, QChar(u'0')), u"https://site%1.example/login?from=corvane"_s.arg(i),
        u"%1user%2"_s.arg(variant).arg(i), u"%1pass-%2-word"_s.arg(variant).arg(i),
        u"note %1, \"quoted\" and long enough to look like a real one"_s.arg(i) };
}

QStringList build(const QString &variant)
{
    const QString date = RecordLine::recordDate(KillSets::now());
    QStringList lines;
    lines.reserve(KillSets::kRecords);
    for (int i = 0; i < KillSets::kRecords; ++i)
        lines.append(RecordLine::build(texts(i, variant), date));
    return lines;
}

QStringList sorted(QStringList lines)
{
    std::sort(lines.begin(), lines.end());
    return lines;
}
} // namespace

namespace KillSets {

QString key()
{
    return u"kill-test owner password"_s;
}

QDateTime now()
{
    return QDateTime(QDate(2002, 5, 17), QTime(14, 3, 59));
}

QStringList setA()
{
    RecordList list;
    list.assign(build(u"a-"_s));
    return list.items();
}

QStringList setB()
{
    RecordList list;
    list.assign(build(u"b-"_s));
    return list.items();
}

RecordLine::Texts editedTexts()
{
    return texts(kEdited, u"a-"_s);
}

RecordLine::Texts replacedTexts()
{
    RecordLine::Texts changed = editedTexts();
    changed[RecordLine::Password] = u"changed password"_s;
    return changed;
}

QList<QStringList> states(const QString &mode)
{
    const QStringList a = setA();
    if (mode == u"rewrite"_s)
        return { sorted(a), sorted(setB()) };
    const QString date = RecordLine::recordDate(now());
    const QString edited = RecordLine::build(editedTexts(), date);
    QStringList replaced = a;
    replaced.replace(replaced.indexOf(edited), RecordLine::build(replacedTexts(), date));
    QStringList removed = a;
    removed.removeOne(edited);
    return { sorted(a), sorted(replaced), sorted(removed) };
}

int stateOf(const QList<QStringList> &known, QStringList lines)
{
    lines = sorted(std::move(lines));
    for (qsizetype i = 0; i < known.size(); ++i) {
        if (known[i] == lines)
            return int(i);
    }
    return -1;
}

std::optional<QStringList> load(Database &database, int level, QString *why)
{
    if (level == 1) {
        if (const FileResult deciphered = database.DecryptDBToTemp(key()); !deciphered) {
            if (why)
                *why = deciphered.error;
            return std::nullopt;
        }
    }
    LoadResult loaded = database.LoadDatabase(level);
    database.removeTemporary();
    if (!loaded.status) {
        if (why)
            *why = loaded.status.error;
        return std::nullopt;
    }
    return loaded.lines;
}

} // namespace KillSets
