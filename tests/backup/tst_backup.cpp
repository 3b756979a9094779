// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileModes.h"
#include "FileSizeLimit.h"
#include "TestFolders.h"
#include "backup/DatabaseBackup.h"
#include "common/Windows1252.h"
#include "store/FieldCipher.h"
#include "store/LineCipher.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace Qt::StringLiterals;
using DatabaseBackup::Outcome;

namespace {
// Database bytes as they are on disk: CR LF line ends and codes a text reading would spoil.
const QByteArray kPlain = QByteArray("Fgh:!xy\r\n\x00\xff\x80:!\r\n", 14);
const QByteArray kEnciphered = QByteArray("\x9a\x0d\x0a\xb2\xff\r\n", 7);
const QByteArray kOld = "old copy\r\n";

QByteArray contentOf(QChar kind)
{
    return kind == u'p' ? kPlain : kEnciphered;
}

/** Where the database file of kind ('p' plain, 'e' enciphered) is read from and written to in mode. */
struct Ends
{
    QString source;
    QString target;
};

Ends ends(const TestFolders &folders, const QString &chosen, const QString &mode, QChar kind)
{
    const QString extension = kind == u'p' ? u"pdb"_s : u"edb"_s;
    const QString inData = folders.data() + u"/userDB."_s + extension;
    const QString inChosen = chosen + u"/Corvane."_s + extension;
    return mode == DatabaseBackup::Backup ? Ends { inData, inChosen } : Ends { inChosen, inData };
}

} // namespace

class tst_Backup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void save_copiesActiveFileElseOther_data();
    void save_copiesActiveFileElseOther();
    void filePairs_trailingSeparatorAndRoot_data();
    void filePairs_trailingSeparatorAndRoot();
    void save_targetCannotBeWritten_oldFileWholeAndNoStaleFallback_data();
    void save_targetCannotBeWritten_oldFileWholeAndNoStaleFallback();
    void restore_putsInPlaceOnlyRecordsUnderTheKeyInForce_data();
    void restore_putsInPlaceOnlyRecordsUnderTheKeyInForce();
};

void tst_Backup::save_copiesActiveFileElseOther_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("level");
    QTest::addColumn<QString>("files"); // which sources exist: p = plain, e = enciphered
    QTest::addColumn<QString>("copied"); // which file ends up copied
    QTest::addColumn<int>("outcome");

    const int done = int(Outcome::BackedUp), none = int(Outcome::NotLocated);
    QTest::newRow("backup plain") << u"Backup"_s << u"0"_s << u"p"_s << u"p"_s << done;
    QTest::newRow("backup only enciphered falls back") << u"Backup"_s << u"0"_s << u"e"_s << u"e"_s << done;
    QTest::newRow("backup both at level 2: plain only") << u"Backup"_s << u"2"_s << u"pe"_s << u"p"_s << done;
    QTest::newRow("backup both at level 1: enciphered only") << u"Backup"_s << u"1"_s << u"pe"_s << u"e"_s << done;
    QTest::newRow("backup level 1 only plain falls back") << u"Backup"_s << u"1"_s << u"p"_s << u"p"_s << done;
    QTest::newRow("backup neither") << u"Backup"_s << u"0"_s << u""_s << u""_s << none;
}

void tst_Backup::save_copiesActiveFileElseOther()
{
    QFETCH(QString, mode);
    QFETCH(QString, level);
    QFETCH(QString, files);
    QFETCH(QString, copied);
    QFETCH(int, outcome);
    TestFolders folders;
    const QString chosen = folders.root() + u"/stick"_s;
    QDir().mkpath(chosen);
    QDir().mkpath(folders.data());
    for (const QChar kind : files)
        TestFolders::write(ends(folders, chosen, mode, kind).source, contentOf(kind));

    // The trailing separator of the folder box is dropped.
    const DatabaseBackup::SaveResult result
        = DatabaseBackup::save(mode, folders.data(), chosen + u'/', Level(level.toInt()));

    QCOMPARE(int(result.outcome), outcome);
    QCOMPARE(result.error.isEmpty(), !copied.isEmpty());
    for (const QChar kind : u"pe"_s) {
        const QString target = ends(folders, chosen, mode, kind).target;
        QCOMPARE(QFileInfo::exists(target), copied == kind);
        if (copied == kind) {
            QCOMPARE(TestFolders::read(target), contentOf(kind));
            QCOMPARE(modeOf(target), 0600);
        }
    }
}

void tst_Backup::filePairs_trailingSeparatorAndRoot_data()
{
    QTest::addColumn<QString>("folderText");
    QTest::addColumn<QString>("copy");
    QTest::newRow("root") << u"/"_s << u"/Corvane.pdb"_s;
    QTest::newRow("one separator dropped") << u"/media/keep/"_s << u"/media/keep/Corvane.pdb"_s;
    QTest::newRow("only one of two") << u"/media/keep//"_s << u"/media/keep//Corvane.pdb"_s;
    QTest::newRow("none") << u"/media/keep"_s << u"/media/keep/Corvane.pdb"_s;
}

void tst_Backup::filePairs_trailingSeparatorAndRoot()
{
    QFETCH(QString, folderText);
    QFETCH(QString, copy);
    const auto pairs = DatabaseBackup::filePairs(u"/app/Data"_s, DatabaseBackup::chosenFolder(folderText), Level::None);
    QCOMPARE(pairs[0].chosenFile, copy);
    QCOMPARE(pairs[1].chosenFile, QString(copy.chopped(3) + u"edb"_s));
}

void tst_Backup::save_targetCannotBeWritten_oldFileWholeAndNoStaleFallback_data()
{
    QTest::addColumn<QString>("mode");
    // A restore writes through the store, whose rewrites are whole or nothing.
    QTest::newRow("backup") << u"Backup"_s;
}

void tst_Backup::save_targetCannotBeWritten_oldFileWholeAndNoStaleFallback()
{
    QFETCH(QString, mode);
    TestFolders folders;
    const QString chosen = folders.root() + u"/stick"_s;
    const Ends active = ends(folders, chosen, mode, u'e');
    const Ends stale = ends(folders, chosen, mode, u'p');
    // At level 1 a large active file that does not fit, and a small stale plain file that would.
    TestFolders::write(active.source, QByteArray(256 * 1024, 'x'));
    TestFolders::write(stale.source, kPlain);
    TestFolders::write(active.target, kOld);

    DatabaseBackup::SaveResult result;
    {
        FileSizeLimit limit(64 * 1024);
        result = DatabaseBackup::save(mode, folders.data(), chosen, Level::ProgramAndDatabase);
    }

    QCOMPARE(result.outcome, Outcome::NotLocated);
    QCOMPARE(TestFolders::read(active.target), kOld);
    QVERIFY(!QFileInfo::exists(stale.target));
    // No half-written temporary file is left beside the target either.
    QCOMPARE(QDir(QFileInfo(active.target).path()).entryList(QDir::Files | QDir::Hidden),
        QStringList { QFileInfo(active.target).fileName() });
}

void tst_Backup::restore_putsInPlaceOnlyRecordsUnderTheKeyInForce_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("key"); // the owner password in force
    QTest::addColumn<QString>("plainCopy"); // Corvane.pdb: none, records, enciphered (a renamed .edb), breaks
    QTest::addColumn<QString>("encipheredUnder"); // the password Corvane.edb was made under; none when empty
    QTest::addColumn<QString>("answer"); // typed when asked for the backup's password; "-" cancels; empty: not asked
    QTest::addColumn<int>("outcome");

    const int recovered = int(Outcome::Recovered), refused = int(Outcome::NotRestored),
              cancelled = int(Outcome::Cancelled);
    QTest::newRow("0: plain copy") << 0 << u""_s << u"records"_s << u""_s << u""_s << recovered;
    QTest::newRow("0: a renamed enciphered file is no database")
        << 0 << u""_s << u"enciphered"_s << u""_s << u""_s << refused;
    QTest::newRow("2: only an enciphered copy, under the password in force")
        << 2 << u"pw"_s << u""_s << u"pw"_s << u""_s << recovered;
    QTest::newRow("0: enciphered copy, its password typed") << 0 << u""_s << u""_s << u"old"_s << u"old"_s << recovered;
    QTest::newRow("0: enciphered copy, a wrong password typed")
        << 0 << u""_s << u""_s << u"old"_s << u"bad"_s << refused;
    QTest::newRow("0: enciphered copy, password cancelled") << 0 << u""_s << u""_s << u"old"_s << u"-"_s << cancelled;
    QTest::newRow("1: enciphered copy, under the password in force")
        << 1 << u"pw"_s << u"records"_s << u"pw"_s << u""_s << recovered;
    QTest::newRow("1: older backup, its password typed") << 1 << u"pw"_s << u""_s << u"old"_s << u"old"_s << recovered;
    QTest::newRow("1: older backup cancelled, stale plain copy not taken instead")
        << 1 << u"pw"_s << u"records"_s << u"old"_s << u"-"_s << cancelled;
    QTest::newRow("1: only a plain copy") << 1 << u"pw"_s << u"records"_s << u""_s << u""_s << recovered;
    QTest::newRow("1: a record the password cannot encipher")
        << 1 << u"k"_s << u"breaks"_s << u""_s << u""_s << refused;
    QTest::newRow("1: no copy") << 1 << u"pw"_s << u""_s << u""_s << u""_s << int(Outcome::NotLocated);
}

void tst_Backup::restore_putsInPlaceOnlyRecordsUnderTheKeyInForce()
{
    QFETCH(int, level);
    QFETCH(QString, key);
    QFETCH(QString, plainCopy);
    QFETCH(QString, encipheredUnder);
    QFETCH(QString, answer);
    QFETCH(int, outcome);
    TestFolders folders;
    const QString stick = folders.root() + u"/stick"_s;
    const QStringList records { u"Bank:!:!jdoe:!s3cret:!Caf\u00e9:!05-17-2002 14:03:59:!"_s,
        u"Mail:!https://mail.example/:!me:!pw:!:!05-18-2002 09:00:00:!"_s };
    const QString breaking = u"Shop:!:!u:!p:!\u2122\u017e:!05-19-2002 10:30:00:!"_s; // CR LF under "k"
    auto file = [](const QStringList &lines, const QString &under) {
        QByteArray bytes;
        for (const QString &line : lines) {
            QByteArray l = Windows1252::encode(FieldCipher::encipher(line));
            bytes += (under.isEmpty() ? l : LineCipher(l, Windows1252::encode(under))) + "\r\n";
        }
        return bytes;
    };
    if (plainCopy == u"records"_s)
        TestFolders::write(stick + u"/Corvane.pdb"_s, file(records, {}));
    else if (plainCopy == u"enciphered"_s)
        TestFolders::write(stick + u"/Corvane.pdb"_s, file(records, u"old"_s));
    else if (plainCopy == u"breaks"_s)
        TestFolders::write(stick + u"/Corvane.pdb"_s, file(records + QStringList { breaking }, {}));
    if (!encipheredUnder.isEmpty())
        TestFolders::write(stick + u"/Corvane.edb"_s, file(records, encipheredUnder));
    QDir().mkpath(stick);

    Database database;
    const QString active = database.activeFile(Level(level));
    const QString other = level == 1 ? database.files().plain : database.files().encrypted;
    QVERIFY(database.RewriteDatabase(Level(level), { u"Old:!:!u:!p:!:!01-01-2001 00:00:00:!"_s }, key));
    const QByteArray before = TestFolders::read(active);

    int asked = 0;
    const DatabaseBackup::SaveResult result = DatabaseBackup::restore(
        database, stick + u'/', Level(level), key, [&](const QString &) -> std::optional<QString> {
            ++asked;
            return answer == u"-"_s ? std::nullopt : std::optional(answer);
        });

    QCOMPARE(int(result.outcome), outcome);
    QCOMPARE(asked, answer.isEmpty() ? 0 : 1);
    QCOMPARE(DatabaseBackup::message(result).isEmpty(), result.outcome == Outcome::Cancelled);
    if (result.outcome == Outcome::Recovered)
        QCOMPARE(
            Database::readRecords(active, level == 1 ? FileKind::Enciphered : FileKind::Plain, key).lines, records);
    else
        QCOMPARE(TestFolders::read(active), before);
    // The data folder never holds the records in the other kind of file, nor a temporary copy.
    QVERIFY(!QFileInfo::exists(other));
    QVERIFY(!QFileInfo::exists(database.files().temporary));
}

QTEST_GUILESS_MAIN(tst_Backup)
#include "tst_backup.moc"
