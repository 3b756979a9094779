// SPDX-License-Identifier: GPL-3.0-or-later
#include "KillSets.h"

#include "common/AppFolders.h"
#include "security/OwnerCheck.h"
#include "security/OwnerRecord.h"
#include "security/SecuritySettings.h"
#include "store/LoginCsv.h"
#include "store/RecordList.h"

#include <QDir>
#include <QFileInfo>

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

QStringList build(const QString &variant, int count = KillSets::kRecords)
{
    const QString date = RecordLine::recordDate(KillSets::now());
    QStringList lines;
    lines.reserve(count);
    for (int i = 0; i < count; ++i)
        lines.append(RecordLine::build(texts(i, variant), date));
    return lines;
}

QStringList sorted(QStringList lines)
{
    std::sort(lines.begin(), lines.end());
    return lines;
}

/** Set A sorted, built once: every kill of a run compares against it. */
const QStringList &sortedSetA()
{
    static const QStringList a = sorted(KillSets::setA());
    return a;
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

QByteArray importFile()
{
    static const QByteArray file = [] {
        RecordList logins;
        logins.assign(build(u"i-"_s, 2000));
        return LoginCsv::exportRecords(logins);
    }();
    return file;
}

QList<QStringList> states(const QString &mode)
{
    const QStringList a = setA();
    if (mode == u"rewrite"_s)
        return { sorted(a), sorted(setB()) };
    if (mode == u"import"_s)
        return { sorted(a), sorted(a + build(u"i-"_s, 2000)) };
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
    return load(database, level, key(), why);
}

std::optional<QStringList> load(Database &database, int level, const QString &key, QString *why)
{
    if (level == 1) {
        if (const FileResult deciphered = database.DecryptDBToTemp(key); !deciphered) {
            if (why)
                *why = deciphered.error;
            return std::nullopt;
        }
    }
    LoadResult loaded = database.LoadDatabase(Level(level));
    if (const FileResult removed = database.removeTemporary(); !removed)
        loaded.status = removed;
    if (!loaded.status) {
        if (why)
            *why = loaded.status.error;
        return std::nullopt;
    }
    return loaded.lines;
}

QList<OwnerSettings> levelStates()
{
    const QString second = u"second: Zq8-w3x"_s;
    return { { 0, {} }, { 1, u"first level-1 password"_s }, { 1, second }, { 2, second }, { 1, u"third"_s } };
}

QString ownerRecord(const OwnerSettings &settings)
{
    const QString password = settings.password.isEmpty() ? OwnerRecord::kNoPassword.toString() : settings.password;
    return OwnerRecord::build(OwnerRecord::kNeverExpires, password, u"05-17-2002"_s, Level(settings.level));
}

FileResult settle(Database &database, OwnerState &state)
{
    AppFolders::removeLeftovers();
    state = OwnerState();
    readOwnerPassword(state, false);
    return SecuritySettings::settleAtStart(state, database);
}

int levelStateOf(const OwnerState &state)
{
    const QList<OwnerSettings> states = levelStates();
    for (qsizetype i = 0; i < states.size(); ++i) {
        // Level 0 reads no password, whatever the owner file holds.
        if (states[i].level == int(state.Reach) && (state.Reach == Level::None || states[i].password == state.GoodPass))
            return int(i);
    }
    return -1;
}

int levelStateFound(Database &database, QString &why)
{
    OwnerState owner;
    const FileResult settled = settle(database, owner);
    if (!settled) {
        why = u"the start could not settle the files: "_s + settled.error;
        return -1;
    }
    const QStringList stray = strayFiles(QFileInfo(database.files().plain).absolutePath(), int(owner.Reach));
    if (!stray.isEmpty()) {
        why = u"at level %1 the data folder holds %2"_s.arg(int(owner.Reach)).arg(stray.join(u", "_s));
        return -1;
    }
    const std::optional<QStringList> lines = load(database, int(owner.Reach), owner.GoodPass, &why);
    if (!lines)
        return -1;
    if (sorted(*lines) != sortedSetA()) {
        why = u"the database holds %1 records that are not set A"_s.arg(lines->size());
        return -1;
    }
    const int state = levelStateOf(owner);
    if (state < 0)
        why = u"the owner file holds settings the run never makes"_s;
    return state;
}

QStringList strayFiles(const QString &dataFolder, int level)
{
    const QStringList allowed
        = { level == 1 ? u"userDB.edb"_s : u"userDB.pdb"_s, u"ground.lnk"_s, u".hidden"_s, u"corvane.lock"_s };
    QStringList stray;
    for (const QString &name : QDir(dataFolder).entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (!allowed.contains(name))
            stray.append(name);
    }
    return stray;
}

} // namespace KillSets
