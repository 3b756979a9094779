// SPDX-License-Identifier: GPL-3.0-or-later
#include "DatabaseBackup.h"
#include "FileModes.h"
#include "FileSizeLimit.h"
#include "TestFolders.h"

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
};

void tst_Backup::save_copiesActiveFileElseOther_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("level");
    QTest::addColumn<QString>("files"); // which sources exist: p = plain, e = enciphered
    QTest::addColumn<QString>("copied"); // which file ends up copied
    QTest::addColumn<int>("outcome");

    const int done = int(Outcome::BackedUp), recovered = int(Outcome::Recovered), none = int(Outcome::NotLocated);
    QTest::newRow("backup plain") << u"Backup"_s << u"0"_s << u"p"_s << u"p"_s << done;
    QTest::newRow("backup only enciphered falls back") << u"Backup"_s << u"0"_s << u"e"_s << u"e"_s << done;
    QTest::newRow("backup both at level 2: plain only") << u"Backup"_s << u"2"_s << u"pe"_s << u"p"_s << done;
    QTest::newRow("backup both at level 1: enciphered only") << u"Backup"_s << u"1"_s << u"pe"_s << u"e"_s << done;
    QTest::newRow("backup level 1 only plain falls back") << u"Backup"_s << u"1"_s << u"p"_s << u"p"_s << done;
    QTest::newRow("backup neither") << u"Backup"_s << u"0"_s << u""_s << u""_s << none;
    QTest::newRow("restore plain") << u"Restore"_s << u"0"_s << u"p"_s << u"p"_s << recovered;
    QTest::newRow("restore only enciphered falls back") << u"Restore"_s << u"2"_s << u"e"_s << u"e"_s << recovered;
    QTest::newRow("restore both at level 1: enciphered only")
        << u"Restore"_s << u"1"_s << u"pe"_s << u"e"_s << recovered;
    QTest::newRow("restore neither") << u"Restore"_s << u"1"_s << u""_s << u""_s << none;
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
    const DatabaseBackup::SaveResult result = DatabaseBackup::save(mode, folders.data(), chosen + u'/', level);

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
    const auto pairs = DatabaseBackup::filePairs(u"/app/Data"_s, DatabaseBackup::chosenFolder(folderText), u"0"_s);
    QCOMPARE(pairs[0].chosenFile, copy);
    QCOMPARE(pairs[1].chosenFile, QString(copy.chopped(3) + u"edb"_s));
}

void tst_Backup::save_targetCannotBeWritten_oldFileWholeAndNoStaleFallback_data()
{
    QTest::addColumn<QString>("mode");
    QTest::newRow("backup") << u"Backup"_s;
    QTest::newRow("restore") << u"Restore"_s;
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
        result = DatabaseBackup::save(mode, folders.data(), chosen, u"1"_s);
    }

    QCOMPARE(result.outcome, Outcome::NotLocated);
    QCOMPARE(TestFolders::read(active.target), kOld);
    QVERIFY(!QFileInfo::exists(stale.target));
    // No half-written temporary file is left beside the target either.
    QCOMPARE(QDir(QFileInfo(active.target).path()).entryList(QDir::Files | QDir::Hidden),
        QStringList { QFileInfo(active.target).fileName() });
}

QTEST_GUILESS_MAIN(tst_Backup)
#include "tst_backup.moc"
