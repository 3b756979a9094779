// SPDX-License-Identifier: GPL-3.0-or-later
#include "Fakes.h"
#include "FileModes.h"
#include "TestFolders.h"
#include "common/SafeFile.h"
#include "common/TextLines.h"
#include "common/Windows1252.h"
#include "security/CoreDumps.h"
#include "security/IntrusionReport.h"
#include "security/OwnerCheck.h"
#include "security/OwnerFile.h"
#include "security/OwnerRecord.h"
#include "security/PasswordGenerator.h"
#include "security/SecuritySettings.h"
#include "store/Database.h"
#include "store/LineCipher.h"

#include <QFile>
#include <QSet>
#include <QTest>

#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace Qt::StringLiterals;
using PasswordGenerator::Strength;

namespace {
const QStringList kRecords = {
    u"Bank:!https://bank.example:!me:!s3cret:!pin 42:!05-17-2026 10:00:00:!"_s,
    u"Mail:!:!me@example.org:!p, \"q\":!:!05-18-2026 11:30:00:!"_s,
    u"Caf\u00e9:!:!r\u00e9mi:!\u00e9t\u00e9:!:!05-19-2026 12:00:00:!"_s,
};

QByteArray keyBytes()
{
    return QByteArray(OwnerFile::kKey);
}

/** Characters that, at position at of a line enciphered under key, come out as the bytes wanted. */
QString charactersGiving(QByteArrayView wanted, QByteArrayView key, int at)
{
    QByteArray bytes;
    for (qsizetype i = 0; i < wanted.size(); ++i)
        bytes.append(char(~(key[(at + i) % key.size()] ^ wanted[i])));
    return Windows1252::decode(bytes);
}

QList<QByteArray> fileLines(const QString &path)
{
    return TextLines::split(TestFolders::read(path));
}

QList<QByteArray> enciphered(const QList<QByteArray> &lines, const QString &key)
{
    QList<QByteArray> out;
    for (const QByteArray &line : lines)
        out.append(LineCipher(line, Windows1252::encode(key)));
    return out;
}

QByteArray joined(const QList<QByteArray> &lines)
{
    QByteArray content;
    for (const QByteArray &line : lines)
        content += TextLines::terminated(line);
    return content;
}
} // namespace

class tst_Security : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readOwnerPassword_setsLevelAndKey_data();
    void readOwnerPassword_setsLevelAndKey();
    void ownerFile_awkwardBytesReadBackWhole_splittingRefused();
    void expiryNotice_data();
    void expiryNotice();
    void intrusionReport_appendsExactBlocks();
    void generator_drawsEveryAllowedCharacter();
    void keepOnly_removesAndPlacesCaret_data();
    void keepOnly_removesAndPlacesCaret();
    void refusal_data();
    void refusal();
    void save_convertsDatabase_data();
    void save_convertsDatabase();
    void save_failure_leavesFilesAsTheyWere_data();
    void save_failure_leavesFilesAsTheyWere();
    void save_toLevel1BeforeAnyRecord_leavesEmptyEncipheredDatabase();
    void save_toLevel1OverEncipheredDatabaseAlone_keepsItOrRefuses_data();
    void save_toLevel1OverEncipheredDatabaseAlone_keepsItOrRefuses();
    void settleAtStart_finishesOrUndoesCutOffChange_data();
    void settleAtStart_finishesOrUndoesCutOffChange();
    void databaseKey_readsOwnerFileOnlyWhenEmpty();
    void disableCoreDumps_turnsThemOff();
};

void tst_Security::readOwnerPassword_setsLevelAndKey_data()
{
    QTest::addColumn<QString>("record"); // null: no owner file
    QTest::addColumn<bool>("prompt");
    QTest::addColumn<QString>("reach");
    QTest::addColumn<QString>("goodPass");
    QTest::addColumn<bool>("askOwner");

    QTest::newRow("no file") << QString() << true << u"0"_s << QString() << false;
    QTest::newRow("empty file") << u""_s << true << u"0"_s << QString() << false;
    QTest::newRow("level 0 with password") << u"xx-xx-xxxxpw05-17-20260"_s << true << u"0"_s << QString() << false;
    QTest::newRow("level 1 no password") << u"xx-xx-xxxxUNSETMARK05-17-20261"_s << true << u"1"_s << QString() << false;
    QTest::newRow("level 2 no password") << u"xx-xx-xxxxUNSETMARK05-17-20262"_s << true << u"2"_s << QString() << false;
    QTest::newRow("level 2 password") << u"xx-xx-xxxxpw05-17-20262"_s << true << u"2"_s << u"pw"_s << true;
    QTest::newRow("level 1 password, no prompt") << u"xx-xx-xxxxpw05-17-20261"_s << false << u"1"_s << u"pw"_s << false;
    QTest::newRow("empty password") << u"xx-xx-xxxx05-17-20262"_s << true << u"2"_s << QString() << true;
    QTest::newRow("short record") << u"05-17-1"_s << true << u"1"_s << QString() << false;
    QTest::newRow("level not a digit") << u"xx-xx-xxxxpw05-17-2026z"_s << true << u"0"_s << QString() << false;
    QTest::newRow("hand-edited level 7") << u"xx-xx-xxxxpw05-17-20267"_s << true << u"7"_s << u"pw"_s << true;
}

void tst_Security::readOwnerPassword_setsLevelAndKey()
{
    TestFolders folders;
    QFETCH(QString, record);
    if (!record.isNull())
        TestFolders::write(AppFolders::ownerPasswordFile(),
            record.isEmpty() ? QByteArray() : TextLines::terminated(*OwnerFile::encipher(record)));
    OwnerState state;
    QFETCH(bool, prompt);
    QFETCH(QString, reach);
    QFETCH(QString, goodPass);
    QFETCH(bool, askOwner);
    const OwnerCheckOutcome outcome = readOwnerPassword(state, prompt);
    QCOMPARE(state.Reach, Level(reach.toInt()));
    QCOMPARE(outcome.askOwner, askOwner);
    // The owner is to be asked: the password is not in force before the owner has typed it.
    QCOMPARE(state.GoodPass, askOwner ? QString() : goodPass);
    if (outcome.askOwner)
        QCOMPARE(outcome.password, goodPass);
}

void tst_Security::ownerFile_awkwardBytesReadBackWhole_splittingRefused()
{
    TestFolders folders;
    QDir().mkpath(folders.data());
    // A password whose enciphered form holds a comma, quotes, a space, a lone CR and a lone LF.
    const QString password = charactersGiving(QByteArrayView(",\" \"\rx\n"), keyBytes(), 10);
    const QString record = OwnerRecord::build(u"01-02-2027"_s, password, u"05-17-2026"_s, Level::ProgramOnly);
    QVERIFY(OwnerFile::write(record));

    const QByteArray content = TestFolders::read(AppFolders::ownerPasswordFile());
    QCOMPARE(content, TextLines::terminated(LineCipher(Windows1252::encode(record), keyBytes())));
    QVERIFY(content.contains(",\" \"\rx\n"));
    QCOMPARE(OwnerFile::read(), record);
    QCOMPARE(modeOf(AppFolders::ownerPasswordFile()), 0600);
    QVERIFY(TestFolders::read(folders.data() + u"/.hidden"_s).split('\n').contains("ground.lnk"));

    OwnerState state;
    readOwnerPassword(state, false);
    QCOMPARE(state.GoodPass, password);

    // A record whose enciphered line would hold CR LF is refused, and the file stays as it was.
    const QString splitting = OwnerRecord::build(
        u"xx-xx-xxxx"_s, charactersGiving("\r\n", keyBytes(), 10), u"05-17-2026"_s, Level::ProgramOnly);
    QVERIFY(!OwnerFile::write(splitting));
    QCOMPARE(TestFolders::read(AppFolders::ownerPasswordFile()), content);
    QVERIFY(!OwnerFile::write(record, AppFolders::ownerPasswordFile() + u"/inside"_s));
}

void tst_Security::expiryNotice_data()
{
    QTest::addColumn<QString>("expiry");
    QTest::addColumn<QDate>("today");
    QTest::addColumn<ExpiryNotice>("notice");

    QTest::newRow("today") << u"12-07-2026"_s << QDate(2026, 12, 7) << ExpiryNotice::ExpiresToday;
    QTest::newRow("yesterday") << u"12-06-2026"_s << QDate(2026, 12, 7) << ExpiryNotice::Expired;
    QTest::newRow("earlier year, later month") << u"12-31-2025"_s << QDate(2026, 1, 5) << ExpiryNotice::Expired;
    QTest::newRow("later year, earlier month") << u"01-15-2027"_s << QDate(2026, 12, 7) << ExpiryNotice::None;
    QTest::newRow("tomorrow") << u"12-08-2026"_s << QDate(2026, 12, 7) << ExpiryNotice::None;
    QTest::newRow("never") << u"xx-xx-xxxx"_s << QDate(2026, 12, 7) << ExpiryNotice::None;
    QTest::newRow("not a date") << u"13-45-2020"_s << QDate(2026, 12, 7) << ExpiryNotice::None;
    QTest::newRow("garbage") << u"ab,cd efgh"_s << QDate(2026, 12, 7) << ExpiryNotice::None;
}

void tst_Security::expiryNotice()
{
    QFETCH(QString, expiry);
    QFETCH(QDate, today);
    QFETCH(ExpiryNotice, notice);
    QCOMPARE(::expiryNotice(expiry, today), notice);
}

void tst_Security::intrusionReport_appendsExactBlocks()
{
    TestFolders folders;
    FakeClock clock(QDateTime(QDate(2026, 12, 7), QTime(3, 30, 12)));
    QVERIFY(IntrusionReport::WriteIntrusionReport({ QString(), u"a"_s, u"b b"_s, QString() }));
    QVERIFY(IntrusionReport::WriteIntrusionReport({}));

    const QByteArray block1 = "\r\nCorvane Intrussion Report\r\n\r\n[ 12-07-2026 - 03:30:12 ]\r\n\r\n"
                              "Intrussion attempt #1: a\r\nIntrussion attempt #2: b b\r\nIntrussion attempt #3: \r\n"
                              "\r\n -------- END REPORT --------------\r\n";
    QByteArray block2 = block1;
    block2.replace("#1: a", "#1: ").replace("#2: b b", "#2: ");
    QCOMPARE(TestFolders::read(AppFolders::intrusionLog()), block1 + block2);
    QCOMPARE(modeOf(AppFolders::intrusionLog()), 0600);

    TestFolders::write(folders.appPath(u"plain"_s), "x");
    QVERIFY(!IntrusionReport::WriteIntrusionReport({}, folders.appPath(u"plain/Corvane.log"_s)));
}

void tst_Security::generator_drawsEveryAllowedCharacter()
{
    // Long runs draw every allowed character and nothing else: never "0", lower case only at Higher.
    const auto drawn = [](Strength strength) {
        const QString password = PasswordGenerator::generate(strength, 20000);
        return QSet<QChar>(password.cbegin(), password.cend());
    };
    const QString upper = u"123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"_s;
    const QString higher = upper + u"abcdefghijklmnopqrstuvwxyz"_s;
    QCOMPARE(drawn(Strength::Normal), QSet<QChar>(upper.cbegin(), upper.cend()));
    QCOMPARE(drawn(Strength::High), QSet<QChar>(upper.cbegin(), upper.cend()));
    QCOMPARE(drawn(Strength::Higher), QSet<QChar>(higher.cbegin(), higher.cend()));
    QCOMPARE(PasswordGenerator::generate(Strength::Higher, 32767).size(), 32767);
}

void tst_Security::keepOnly_removesAndPlacesCaret_data()
{
    using Keep = bool (*)(QChar);
    QTest::addColumn<QString>("typed");
    QTest::addColumn<Keep>("keep");
    QTest::addColumn<QString>("kept");
    QTest::addColumn<int>("caret");

    const Keep alphabet = PasswordGenerator::inAlphabet;
    QTest::newRow("space and ! at the end") << u"ab c!"_s << alphabet << u"abc"_s << 3;
    QTest::newRow("one inside") << u"a-bcd"_s << alphabet << u"abcd"_s << 2;
    QTest::newRow("accented letter") << u"\u00e9t\u00e9x"_s << alphabet << u"tx"_s << 2;
    QTest::newRow("all good") << u"Ab9"_s << alphabet << u"Ab9"_s << -1;
    QTest::newRow("digits") << u"1a2"_s << Keep(PasswordGenerator::isDigit) << u"12"_s << 2;
    // With Sugest on: what a paste brings that no one could type when asked for the password.
    QTest::newRow("pasted line breaks and tab")
        << u"my pa\r\nss\tw\u2028d"_s << Keep(PasswordGenerator::typeable) << u"my passwd"_s << 9;
}

void tst_Security::keepOnly_removesAndPlacesCaret()
{
    using Keep = bool (*)(QChar);
    QFETCH(QString, typed);
    QFETCH(Keep, keep);
    QFETCH(QString, kept);
    QFETCH(int, caret);
    const PasswordGenerator::Kept result = PasswordGenerator::keepOnly(typed, keep);
    QCOMPARE(result.text, kept);
    QCOMPARE(result.caret, caret);
}

void tst_Security::refusal_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<int>("level");
    QTest::addColumn<bool>("refused");

    QTest::newRow("level 1 without password") << u"UNSETMARK"_s << 1 << true;
    QTest::newRow("level 1 with empty password") << QString() << 1 << true;
    QTest::newRow("level 2 without password") << u"UNSETMARK"_s << 2 << false;
    QTest::newRow("level 1 with password") << u"abc"_s << 1 << false;
    QTest::newRow("outside the code page") << u"ab\u2713"_s << 0 << true;
    QTest::newRow("enciphered holds CR LF") << charactersGiving("\r\n", keyBytes(), 10) << 0 << true;
}

void tst_Security::refusal()
{
    QFETCH(QString, password);
    QFETCH(int, level);
    const QString record = OwnerRecord::build(u"xx-xx-xxxx"_s, password, u"05-17-2026"_s, Level(level));
    QFETCH(bool, refused);
    QCOMPARE(SecuritySettings::refusal(record, Level(level), password).has_value(), refused);
}

void tst_Security::save_convertsDatabase_data()
{
    QTest::addColumn<int>("fromLevel");
    QTest::addColumn<QString>("fromKey");
    QTest::addColumn<int>("toLevel");
    QTest::addColumn<QString>("password");

    QTest::newRow("0 to 1") << 0 << QString() << 1 << u"n3w"_s;
    QTest::newRow("2 to 1") << 2 << u"old"_s << 1 << u"n3w"_s;
    QTest::newRow("1 to 0") << 1 << u"old"_s << 0 << u"n3w"_s;
    QTest::newRow("1 to 0, no password") << 1 << u"old"_s << 0 << u"UNSETMARK"_s;
    QTest::newRow("1 to 2") << 1 << u"old"_s << 2 << u"old"_s;
    QTest::newRow("0 to 2") << 0 << QString() << 2 << u"n3w"_s;
    QTest::newRow("1 to 1, new password") << 1 << u"old"_s << 1 << u"n3w"_s;
    QTest::newRow("1 to 1, same password") << 1 << u"old"_s << 1 << u"old"_s;
}

void tst_Security::save_convertsDatabase()
{
    TestFolders folders;
    QFETCH(int, fromLevel);
    QFETCH(QString, fromKey);
    QFETCH(int, toLevel);
    QFETCH(QString, password);
    Database database;
    QVERIFY(database.RewriteDatabase(Level::None, kRecords, {}));
    const QList<QByteArray> plain = fileLines(database.files().plain);
    QCOMPARE(plain.size(), kRecords.size());
    if (fromLevel == 1)
        QVERIFY(database.EncryptPlainToDB(fromKey));
    OwnerState state { Level(fromLevel), fromKey, u"Ok"_s };

    const QString record = OwnerRecord::build(u"xx-xx-xxxx"_s, password, u"05-17-2026"_s, Level(toLevel));
    QVERIFY(SecuritySettings::save(state, database, record, Level(toLevel), password));

    const QString key = password == u"UNSETMARK" ? QString() : password;
    QCOMPARE(state.Reach, Level(toLevel));
    QCOMPARE(state.GoodPass, key);
    QCOMPARE(OwnerFile::read(), record);
    QCOMPARE(fileLines(AppFolders::ownerPasswordFile()).size(), 1);
    if (toLevel == 1) {
        QVERIFY(!QFile::exists(database.files().plain));
        QCOMPARE(fileLines(database.files().encrypted), enciphered(plain, key));
    } else {
        QVERIFY(!QFile::exists(database.files().encrypted));
        QCOMPARE(fileLines(database.files().plain), plain);
    }
}

void tst_Security::save_failure_leavesFilesAsTheyWere_data()
{
    QTest::addColumn<int>("fromLevel");
    QTest::addColumn<bool>("ownerFileBefore");
    QTest::addColumn<bool>("ownerFileUnwritable");
    QTest::addColumn<SecuritySettings::Outcome>("outcome");
    QTest::addColumn<QString>("password");

    // The new database file is written before the owner file: here it is, and is dropped again.
    QTest::newRow("owner file unwritable")
        << 0 << true << true << SecuritySettings::Outcome::OwnerFileFailed << u"n3w"_s;
    QTest::newRow("0 to 1 fails, first save")
        << 0 << false << false << SecuritySettings::Outcome::DatabaseFailed << u"ab"_s;
    QTest::newRow("0 to 1 fails") << 0 << true << false << SecuritySettings::Outcome::DatabaseFailed << u"ab"_s;
    QTest::newRow("1 to 1 fails") << 1 << true << false << SecuritySettings::Outcome::DatabaseFailed << u"ab"_s;
    QTest::newRow("1 to 1, owner file unwritable")
        << 1 << true << true << SecuritySettings::Outcome::OwnerFileFailed << u"n3w"_s;
    QTest::newRow("1 to 0, owner file unwritable")
        << 1 << true << true << SecuritySettings::Outcome::OwnerFileFailed << u"UNSETMARK"_s;
}

void tst_Security::save_failure_leavesFilesAsTheyWere()
{
    TestFolders folders;
    QFETCH(int, fromLevel);
    QFETCH(bool, ownerFileBefore);
    QFETCH(bool, ownerFileUnwritable);
    QFETCH(SecuritySettings::Outcome, outcome);
    QFETCH(QString, password);
    // Under the new key "ab" this record's first two characters encipher to CR LF.
    QStringList records = kRecords;
    records.append(charactersGiving("\r\n", "ab", 0) + u"Shop:!:!me:!pw:!:!05-20-2026 09:00:00:!"_s);
    Database database;
    QVERIFY(database.RewriteDatabase(Level::None, records, {}));
    if (fromLevel == 1)
        QVERIFY(database.EncryptPlainToDB(u"old"_s));
    if (ownerFileBefore)
        QVERIFY(OwnerFile::write(OwnerRecord::build(u"xx-xx-xxxx"_s, u"old"_s, u"01-01-2026"_s, Level(fromLevel))));
    const QString ownerFile
        = ownerFileUnwritable ? folders.data() + u"/userDB.pdb/ground.lnk"_s : AppFolders::ownerPasswordFile();
    const QByteArray ownerBefore = TestFolders::read(AppFolders::ownerPasswordFile());
    const QByteArray plainBefore = TestFolders::read(database.files().plain);
    const QByteArray encryptedBefore = TestFolders::read(database.files().encrypted);

    OwnerState state { Level(fromLevel), u"old"_s, u"Ok"_s };
    const int level = password == u"UNSETMARK" ? 0 : 1;
    const QString record = OwnerRecord::build(u"xx-xx-xxxx"_s, password, u"05-17-2026"_s, Level(level));
    const SecuritySettings::SaveResult result
        = SecuritySettings::save(state, database, record, Level(level), password, ownerFile);
    QCOMPARE(result.outcome, outcome);
    QVERIFY(!database.levelChangePending());
    QVERIFY(!result.detail.isEmpty());
    QCOMPARE(state.Reach, Level(fromLevel));
    QCOMPARE(state.GoodPass, u"old"_s);
    QCOMPARE(TestFolders::read(AppFolders::ownerPasswordFile()), ownerBefore);
    QCOMPARE(QFile::exists(AppFolders::ownerPasswordFile()), ownerFileBefore);
    QCOMPARE(TestFolders::read(database.files().plain), plainBefore);
    QCOMPARE(TestFolders::read(database.files().encrypted), encryptedBefore);
}

void tst_Security::save_toLevel1BeforeAnyRecord_leavesEmptyEncipheredDatabase()
{
    TestFolders folders;
    QDir().mkpath(folders.data());
    Database database;
    OwnerState state;
    const QString record = OwnerRecord::build(u"xx-xx-xxxx"_s, u"n3w"_s, u"05-17-2026"_s, Level::ProgramAndDatabase);
    QVERIFY(SecuritySettings::save(state, database, record, Level::ProgramAndDatabase, u"n3w"_s));
    QVERIFY(QFile::exists(database.files().encrypted));
    QVERIFY(!QFile::exists(database.files().plain));
    // The next start deciphers it without a complaint and finds no records.
    QVERIFY(database.DecryptDBToTemp(u"n3w"_s));
    QVERIFY(database.LoadDatabase(Level::ProgramAndDatabase).lines.isEmpty());
    QVERIFY(database.removeTemporary());
}

void tst_Security::save_toLevel1OverEncipheredDatabaseAlone_keepsItOrRefuses_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<SecuritySettings::Outcome>("outcome");
    QTest::newRow("the password it was enciphered with") << u"old"_s << SecuritySettings::Outcome::Saved;
    QTest::newRow("another password") << u"n3w"_s << SecuritySettings::Outcome::Refused;
}

void tst_Security::save_toLevel1OverEncipheredDatabaseAlone_keepsItOrRefuses()
{
    // The owner file was lost (level 0), or a level-1 backup was restored: the records are in the enciphered file only.
    TestFolders folders;
    QFETCH(QString, password);
    QFETCH(SecuritySettings::Outcome, outcome);
    Database database;
    QVERIFY(database.RewriteDatabase(Level::ProgramAndDatabase, kRecords, u"old"_s));
    const QByteArray encrypted = TestFolders::read(database.files().encrypted);
    OwnerState state;

    const QString record = OwnerRecord::build(u"xx-xx-xxxx"_s, password, u"05-17-2026"_s, Level::ProgramAndDatabase);
    QCOMPARE(SecuritySettings::databaseRefusal(state, database, Level::ProgramAndDatabase, password).has_value(),
        outcome == SecuritySettings::Outcome::Refused);
    const SecuritySettings::SaveResult result
        = SecuritySettings::save(state, database, record, Level::ProgramAndDatabase, password);
    QCOMPARE(result.outcome, outcome);
    QCOMPARE(result.recordsReplaced, outcome == SecuritySettings::Outcome::Saved);
    QCOMPARE(state.Reach, outcome == SecuritySettings::Outcome::Saved ? Level::ProgramAndDatabase : Level::None);
    QCOMPARE(QFile::exists(AppFolders::ownerPasswordFile()), outcome == SecuritySettings::Outcome::Saved);
    QCOMPARE(TestFolders::read(database.files().encrypted), encrypted);
    QVERIFY(!QFile::exists(database.files().plain));
}

void tst_Security::settleAtStart_finishesOrUndoesCutOffChange_data()
{
    QTest::addColumn<int>("level"); // and the password, of the owner file
    QTest::addColumn<QString>("password");
    // Files: pdb (the records, plain), edb:KEY (enciphered under KEY), pdb.new and edb.new:KEY (staged), pdb.aside
    // and edb.aside (set aside); "+" after a name: one record more than the others hold.
    QTest::addColumn<QString>("files");
    QTest::addColumn<bool>("settled");
    QTest::addColumn<QString>("left");

    const QString none = u"UNSETMARK"_s;
    QTest::newRow("0 to 1, before the owner file") << 0 << none << u"pdb edb.new:new"_s << true << u"pdb"_s;
    QTest::newRow("0 to 1, after the owner file") << 1 << u"new"_s << u"pdb edb.new:new"_s << true << u"edb:new"_s;
    QTest::newRow("0 to 1, plain file gone") << 1 << u"new"_s << u"edb.new:new"_s << true << u"edb:new"_s;
    QTest::newRow("1 to 0, before the owner file") << 1 << u"old"_s << u"edb:old pdb.new"_s << true << u"edb:old"_s;
    QTest::newRow("1 to 0, after the owner file") << 0 << none << u"edb:old pdb.new"_s << true << u"pdb"_s;
    QTest::newRow("1 to 2, enciphered file gone") << 2 << u"old"_s << u"pdb.new"_s << true << u"pdb"_s;
    QTest::newRow("1 to 1, before the owner file") << 1 << u"old"_s << u"edb:old edb.new:new"_s << true << u"edb:old"_s;
    QTest::newRow("1 to 1, after the owner file") << 1 << u"new"_s << u"edb:old edb.new:new"_s << true << u"edb:new"_s;
    QTest::newRow("older 0 to 1: plain file alone at 1") << 1 << u"new"_s << u"pdb"_s << true << u"edb:new"_s;
    QTest::newRow("older 1 to 0: enciphered file alone at 0") << 0 << u"old"_s << u"edb:old"_s << true << u"pdb"_s;
    QTest::newRow("plain copy beside level 1's file") << 1 << u"old"_s << u"pdb edb:old"_s << true << u"edb:old"_s;
    QTest::newRow("enciphered copy beside level 2's file") << 2 << u"old"_s << u"pdb edb:old"_s << true << u"pdb"_s;
    QTest::newRow("other key beside the plain file: set aside")
        << 0 << u"old"_s << u"pdb edb:other"_s << true << u"pdb edb.aside:other"_s;
    QTest::newRow("other key at level 1: plain file set aside")
        << 1 << u"new"_s << u"pdb edb:old"_s << true << u"pdb.aside edb:old"_s;
    QTest::newRow("other records beside level 1's file: set aside")
        << 1 << u"old"_s << u"pdb+ edb:old"_s << true << u"pdb.aside+ edb:old"_s;
    QTest::newRow("other records beside level 0's file: set aside")
        << 0 << u"old"_s << u"pdb edb+:old"_s << true << u"pdb edb.aside+:old"_s;
    QTest::newRow("enciphered file alone, no password: held") << 0 << none << u"edb:old"_s << false << u"edb:old"_s;
}

void tst_Security::settleAtStart_finishesOrUndoesCutOffChange()
{
    TestFolders folders;
    QFETCH(int, level);
    QFETCH(QString, password);
    QFETCH(QString, files);
    QFETCH(bool, settled);
    QFETCH(QString, left);
    Database database;
    QVERIFY(database.RewriteDatabase(Level::None, kRecords, {}));
    const QList<QByteArray> plain = fileLines(database.files().plain);
    QVERIFY(SafeFile::remove(database.files().plain));
    const auto pathOf = [&](QString name) -> QString {
        name.remove(u'+');
        const QString file = name.startsWith(u"pdb") ? database.files().plain : database.files().encrypted;
        if (name.endsWith(u".aside"))
            return folders.data()
                + (name.startsWith(u"pdb") ? u"/userDB (set aside).pdb"_s : u"/userDB (set aside).edb"_s);
        return name.endsWith(u".new") ? Database::staged(file) : file;
    };
    const auto contentOf = [&](const QString &token) {
        const QString key = token.section(u':', 1);
        const QList<QByteArray> lines = token.contains(u'+') ? plain + plain.mid(0, 1) : plain;
        return joined(key.isEmpty() ? lines : enciphered(lines, key));
    };
    for (const QString &token : files.split(u' '))
        TestFolders::write(pathOf(token.section(u':', 0, 0)), contentOf(token));
    QVERIFY(OwnerFile::write(OwnerRecord::build(u"xx-xx-xxxx"_s, password, u"05-17-2026"_s, Level(level))));

    OwnerState state;
    readOwnerPassword(state, false);
    const FileResult result = SecuritySettings::settleAtStart(state, database);
    QCOMPARE(result.ok, settled);
    // A file set aside is told of, once: the next start finds nothing more to do.
    QCOMPARE(!result.warning.isEmpty(), left.contains(u".aside"));
    QCOMPARE(SecuritySettings::settleAtStart(state, database).warning, QString());

    QStringList expected;
    for (const QString &token : left.split(u' ')) {
        expected.append(QFileInfo(pathOf(token.section(u':', 0, 0))).fileName());
        QCOMPARE(TestFolders::read(pathOf(token.section(u':', 0, 0))), contentOf(token));
    }
    QStringList present = QDir(folders.data()).entryList({ u"userDB*"_s }, QDir::Files);
    expected.sort();
    QCOMPARE(present, expected);
}

void tst_Security::databaseKey_readsOwnerFileOnlyWhenEmpty()
{
    TestFolders folders;
    QDir().mkpath(folders.data());
    QVERIFY(
        OwnerFile::write(OwnerRecord::build(u"xx-xx-xxxx"_s, u"k3y"_s, u"05-17-2026"_s, Level::ProgramAndDatabase)));
    OwnerState state;
    QCOMPARE(databaseKey(state), u"k3y"_s);
    // Asking for the key changes nothing: the level in force stays what it was.
    QCOMPARE(state.Reach, Level::None);
    QVERIFY(state.GoodPass.isEmpty());
    state.GoodPass = u"inForce"_s;
    QCOMPARE(databaseKey(state), u"inForce"_s);
}

void tst_Security::disableCoreDumps_turnsThemOff()
{
    QVERIFY(disableCoreDumps());
    rlimit limit {};
    QCOMPARE(::getrlimit(RLIMIT_CORE, &limit), 0);
    QCOMPARE(limit.rlim_cur, rlim_t(0));
    QCOMPARE(limit.rlim_max, rlim_t(0));
    QCOMPARE(::prctl(PR_GET_DUMPABLE, 0, 0, 0, 0), 0);
}

QTEST_GUILESS_MAIN(tst_Security)
#include "tst_security.moc"
