// SPDX-License-Identifier: GPL-3.0-or-later
// The record store on a full disk: every write of the database (filing,
// replacing and removing a record at both levels, the start-up deciphering,
// the conversions between the levels, saving the security settings, backup
// and restore) reports its failure, and every file holds exactly what it
// held before, with nothing left beside it.
#include "FileSizeLimit.h"
#include "TestFolders.h"
#include "backup/DatabaseBackup.h"
#include "common/AppFolders.h"
#include "common/SafeFile.h"
#include "security/OwnerFile.h"
#include "security/OwnerRecord.h"
#include "security/SecuritySettings.h"
#include "store/Database.h"
#include "store/RecordEditor.h"
#include "store/RecordList.h"
#include "store/RecordTableModel.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QMap>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
const QString kKey = u"old password"_s;
const QString kNewKey = u"new password"_s;

enum class Op {
    Add,
    Replace,
    Remove,
    StartUpDecipher,
    EncryptTempToDB,
    EncryptPlainToDB,
    DecryptDBToPlain,
    ChangeKey,
    SettingsProtectDatabase,
    SettingsUnprotectDatabase,
    SettingsNewPassword,
    Backup,
    Restore,
};

QString record(int i, const QString &variant = u"user"_s)
{
    return u"Service %1:!https://site%1.example/:!%2%1:!pass%1:!note %1:!05-17-2002 14:03:59:!"_s.arg(i).arg(variant);
}

QStringList records(const QString &variant = u"user"_s)
{
    QStringList lines;
    for (int i = 0; i < 200; ++i)
        lines.append(record(i, variant));
    // In the record list's order, which the files keep too.
    RecordList list;
    list.assign(lines);
    return list.items();
}

/** Every file under folder with its bytes: what "nothing changed" compares. */
QMap<QString, QByteArray> snapshot(const QString &folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(path.mid(folder.size()), TestFolders::read(path));
    }
    return files;
}

/** The level an operation starts from. */
int levelOf(Op op, int level)
{
    switch (op) {
    case Op::StartUpDecipher:
    case Op::EncryptTempToDB:
    case Op::DecryptDBToPlain:
    case Op::ChangeKey:
    case Op::SettingsUnprotectDatabase:
    case Op::SettingsNewPassword:
        return 1;
    case Op::EncryptPlainToDB:
    case Op::SettingsProtectDatabase:
        return 0;
    default:
        return level;
    }
}

bool appends(Op op)
{
    return op == Op::Add;
}

/**
 * Whether op writes the database file of its level itself, rather than a new one beside it or a copy;
 * at level 1 a rewrite fails at the deciphered copy before it comes to the database.
 */
bool writesDatabase(Op op, int level)
{
    if (op == Op::Replace || op == Op::Remove || op == Op::Restore)
        return level == 0;
    return op == Op::Add || op == Op::EncryptTempToDB;
}
} // namespace

class tst_FullDisk : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void write_fullDisk_isReportedAndChangesNoFile_data();
    void write_fullDisk_isReportedAndChangesNoFile();
    void append_toDeviceThatIsFull_isReported_data();
    void append_toDeviceThatIsFull_isReported();
};

void tst_FullDisk::write_fullDisk_isReportedAndChangesNoFile_data()
{
    QTest::addColumn<Op>("op");
    QTest::addColumn<int>("level");
    QTest::addColumn<bool>("partWay");
    const struct
    {
        const char *name;
        Op op;
        int level;
    } ops[] = {
        { "Add, level 0", Op::Add, 0 },
        { "Add, level 1", Op::Add, 1 },
        { "Replace, level 0", Op::Replace, 0 },
        { "Replace, level 1", Op::Replace, 1 },
        { "Remove, level 0", Op::Remove, 0 },
        { "Remove, level 1", Op::Remove, 1 },
        { "start-up deciphering", Op::StartUpDecipher, 1 },
        { "EncryptTempToDB", Op::EncryptTempToDB, 1 },
        { "EncryptPlainToDB", Op::EncryptPlainToDB, 0 },
        { "DecryptDBToPlain", Op::DecryptDBToPlain, 1 },
        { "new key", Op::ChangeKey, 1 },
        { "settings, None to Program and DBase", Op::SettingsProtectDatabase, 0 },
        { "settings, Program and DBase to None", Op::SettingsUnprotectDatabase, 1 },
        { "settings, new password at Program and DBase", Op::SettingsNewPassword, 1 },
        { "backup, level 0", Op::Backup, 0 },
        { "backup, level 1", Op::Backup, 1 },
        { "restore, level 0", Op::Restore, 0 },
        { "restore, level 1", Op::Restore, 1 },
    };
    for (const auto &row : ops) {
        QTest::addRow("%s, no byte fits", row.name) << row.op << row.level << false;
        QTest::addRow("%s, full part-way", row.name) << row.op << row.level << true;
    }
}

void tst_FullDisk::write_fullDisk_isReportedAndChangesNoFile()
{
    QFETCH(Op, op);
    QFETCH(int, level);
    QFETCH(bool, partWay);
    level = levelOf(op, level);
    TestFolders folders;
    QVERIFY(SafeFile::makePrivateFolder(folders.data()));
    Database db;
    const KeyProvider key = [] { return kKey; };
    QVERIFY(db.RewriteDatabase(Level(level), records(), kKey));
    QVERIFY(OwnerFile::write(OwnerRecord::build(u"xx-xx-xxxx"_s, kKey, u"01-01-2002"_s, Level(level))));
    RecordTableModel model;
    model.setLines(records());
    RecordEditor editor(model, db);
    OwnerState state { Level(level), kKey, u"Ok"_s };

    // An older backup in the chosen folder, which a failed backup must leave alone and a failed restore
    // must not bring in.
    const QString chosen = folders.root() + u"/stick"_s;
    QVERIFY(QDir().mkpath(chosen));
    const DatabaseFiles files = db.files();
    {
        Database other({ chosen + u"/Corvane.pdb"_s, chosen + u"/Corvane.edb"_s, files.temporary });
        QVERIFY(other.RewriteDatabase(Level(level), records(u"older"_s), kKey));
    }
    if (op == Op::EncryptTempToDB)
        QVERIFY(db.DecryptDBToTemp(kKey));

    const QString target = level == 1 ? files.encrypted : files.plain;
    // A database copied in by hand may be readable by all: a write to it leaves it private, whatever fails.
    const QFile::Permissions readable = QFile::ReadGroup | QFile::ReadOther;
    QVERIFY(QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | readable));
    const QMap<QString, QByteArray> before = snapshot(folders.root());
    const rlim_t limit = !partWay ? 0 : appends(op) ? rlim_t(QFileInfo(target).size() + 10) : 100;

    bool ok = true;
    QString message;
    const auto take = [&](const FileResult &result) {
        ok = result.ok;
        message = result.error;
    };
    const auto edited = [&](const EditResult &result) {
        ok = result.outcome == EditOutcome::Done;
        message = result.detail;
        QCOMPARE(result.outcome, EditOutcome::WriteFailed);
    };
    {
        FileSizeLimit full(limit);
        switch (op) {
        case Op::Add:
            edited(editor.add(Level(level), { u"New"_s, {}, u"me"_s, u"pw"_s, {} }, key));
            break;
        case Op::Replace:
            edited(editor.replace(Level(level), 7, { u"Changed"_s, {}, u"me"_s, u"pw"_s, {} }, key));
            break;
        case Op::Remove:
            edited(editor.remove(Level(level), 7, key));
            break;
        case Op::StartUpDecipher:
            take(db.DecryptDBToTemp(kKey));
            break;
        case Op::EncryptTempToDB:
            take(db.EncryptTempToDB(kNewKey));
            break;
        case Op::EncryptPlainToDB:
            take(db.EncryptPlainToDB(kKey));
            break;
        case Op::DecryptDBToPlain:
            take(db.DecryptDBToPlain(kKey));
            break;
        case Op::ChangeKey:
            take(db.changeKey(kKey, kNewKey));
            break;
        case Op::SettingsProtectDatabase:
        case Op::SettingsUnprotectDatabase:
        case Op::SettingsNewPassword: {
            const int to = op == Op::SettingsUnprotectDatabase ? 0 : 1;
            const QString password = op == Op::SettingsNewPassword ? kNewKey : kKey;
            const SecuritySettings::SaveResult saved = SecuritySettings::save(state, db,
                OwnerRecord::build(u"xx-xx-xxxx"_s, password, u"05-17-2002"_s, Level(to)), Level(to), password);
            ok = bool(saved);
            message = saved.detail;
            break;
        }
        case Op::Backup:
        case Op::Restore: {
            const DatabaseBackup::SaveResult saved = op == Op::Backup
                ? DatabaseBackup::save(DatabaseBackup::Backup, folders.data(), chosen, Level(level))
                : DatabaseBackup::restore(db, chosen, Level(level), kKey, {});
            ok = saved.outcome != DatabaseBackup::Outcome::NotLocated;
            message = saved.error;
            QCOMPARE(saved.outcome, DatabaseBackup::Outcome::NotLocated);
            break;
        }
        }
    }
    QVERIFY2(!ok, "a write on a full disk was reported as done");
    QVERIFY(!message.isEmpty());
    QCOMPARE(snapshot(folders.root()), before);
    QCOMPARE(!(QFileInfo(target).permissions() & readable), writesDatabase(op, level));
    QCOMPARE(model.List1().items(), records());
    QCOMPARE(state.Reach, Level(level));
    QCOMPARE(state.GoodPass, kKey);

    // Once there is room again, the same database loads whole.
    if (level == 1 && op != Op::EncryptTempToDB)
        QVERIFY(db.DecryptDBToTemp(kKey));
    const LoadResult loaded = db.LoadDatabase(Level(level));
    QVERIFY(loaded.status);
    QCOMPARE(loaded.lines, records());
}

void tst_FullDisk::append_toDeviceThatIsFull_isReported_data()
{
    QTest::addColumn<int>("level");
    QTest::newRow("level 0") << 0;
    QTest::newRow("level 1") << 1;
}

void tst_FullDisk::append_toDeviceThatIsFull_isReported()
{
    QFETCH(int, level);
    if (!QFileInfo(u"/dev/full"_s).isWritable())
        QSKIP("no /dev/full on this machine");
    TestFolders folders;
    // Only appends go to the device itself: a rewrite would replace the device file with a new one.
    Database db({ u"/dev/full"_s, u"/dev/full"_s, AppFolders::temporaryDatabase() });
    RecordTableModel model;
    RecordEditor editor(model, db);
    const EditResult result = editor.add(Level(level), { u"New"_s, {}, u"me"_s, u"pw"_s, {} }, [] { return kKey; });
    QCOMPARE(result.outcome, EditOutcome::WriteFailed);
    QVERIFY(!result.detail.isEmpty());
    QCOMPARE(model.rowCount(), 0);
}

QTEST_GUILESS_MAIN(tst_FullDisk)
#include "tst_fulldisk.moc"
