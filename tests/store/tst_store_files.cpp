// SPDX-License-Identifier: GPL-3.0-or-later
// The database files and the editing commands on them: what reaches the disk, and what a failure leaves.
#include "Fakes.h"
#include "FileModes.h"
#include "FileSizeLimit.h"
#include "TestFolders.h"
#include "common/SafeFile.h"
#include "common/TextLines.h"
#include "common/Windows1252.h"
#include "store/Database.h"
#include "store/FieldCipher.h"
#include "store/LineCipher.h"
#include "store/LoginCsv.h"
#include "store/RecordEditor.h"
#include "store/RecordTableModel.h"

#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <csignal>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {
QString record(int i, const QString &service = u"Service"_s)
{
    return u"%1 %2:!https://site%2.example/login:!user%2:!pass%2:!info, \"%2\":!05-17-2002 14:03:59:!"_s.arg(service)
        .arg(i);
}

/** A plain record line as the plain file and mdb.tmp hold it. */
QByteArray stored(const QString &line)
{
    QByteArray bytes = Windows1252::encode(line);
    FieldCipher::encipherBytes(bytes);
    return bytes;
}

QList<QByteArray> linesOf(const QString &path)
{
    return TextLines::split(TestFolders::read(path));
}

KeyProvider keyOf(const QString &key)
{
    return [key] { return key; };
}

const QString kKey = u"secret"_s;
// Under the key "k" these two characters encipher to CR and LF.
const QString kBreaksUnderK = u"\u2122\u017e"_s;

/** Every test's folders, database, grid model and editor. */
struct Store
{
    TestFolders folders;
    Database db;
    RecordTableModel model;
    RecordEditor editor { model, db };
    Store() = default;
    explicit Store(const DatabaseFiles &files)
        : db(files)
    { }
    const DatabaseFiles &files() const { return db.files(); }
};

/** Files in a "folder" that is a plain file, so every write fails, even as root. */
DatabaseFiles blockedFiles(const TestFolders &folders)
{
    TestFolders::write(folders.appPath(u"blocker"_s), "plain file");
    DatabaseFiles files = DatabaseFiles::standard();
    files.plain = folders.appPath(u"blocker/userDB.pdb"_s);
    files.encrypted = folders.appPath(u"blocker/userDB.edb"_s);
    return files;
}
} // namespace

class tst_StoreFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void load_missingOrEmptyFile_isEmptyWithoutError();
    void load_everyLineComesBackWhole_data();
    void load_everyLineComesBackWhole();
    void load_lineEndsOfOtherSystems_data();
    void load_lineEndsOfOtherSystems();
    void load_skipsEmptyLinesAndKeepsLastLineWithoutEnd();
    void writes_givePrivateFilesInFieldCipher();
    void writes_intoFileAsFolder_failAndChangeNothing_data();
    void writes_intoFileAsFolder_failAndChangeNothing();
    void writes_fullDisk_areReportedAndLeaveOldFileWhole();
    void level1_addAndRemove_keepEveryLineDecipherableAndNoTemporary();
    void level1_withoutKeyOrTemporaryFolder_failsBeforeAnyChange();
    void temporary_staleFileOrLinkIsNeverUsed();
    void cipherLineBreak_isRefusedBeforeAnyChange();
    void conversions_roundTripLineForLine();
    void conversions_missingSource_changeNothing();
    void store_holdsMoreThan32767Records();
    void add_duplicateAndRefusedTexts_changeNothing();
    void edits_failedWrite_leaveModelAndFileAsTheyWere_data();
    void edits_failedWrite_leaveModelAndFileAsTheyWere();
    void replace_andRemove_keepFileInGridOrder();
    void editor_asksForKeyOnlyAtLevel1();
    void editor_neverWritesOverAnOutsideChange_data();
    void editor_neverWritesOverAnOutsideChange();
    void import_exportSamples_data();
    void import_exportSamples();
    void import_refusedFiles_data();
    void import_refusedFiles();
};

void tst_StoreFiles::load_missingOrEmptyFile_isEmptyWithoutError()
{
    Store s;
    for (int level : { 0, 1, 2 }) {
        const LoadResult missing = s.db.LoadDatabase(Level(level));
        QVERIFY2(missing.status, qPrintable(missing.status.error));
        QVERIFY(missing.lines.isEmpty());
    }
    TestFolders::write(s.files().plain, {});
    QVERIFY(s.db.LoadDatabase(Level::None).status);
    QVERIFY(s.db.LoadDatabase(Level::None).lines.isEmpty());
}

void tst_StoreFiles::load_everyLineComesBackWhole_data()
{
    QTest::addColumn<QString>("line");
    QTest::newRow("commas and quotes") << u"\"Bank, Inc\":!a,b:!\"u\":!p,\":!, :!05-17-2002 14:03:59:!"_s;
    QTest::newRow("leading and trailing spaces") << u"  S :! :!  u:!p  :!   :!05-17-2002 14:03:59:!"_s;
    // Enciphered under "k", these bytes become a lone CR and a lone LF, which are data there.
    QTest::newRow("cipher holds lone CR and LF") << u"\u2122:!\u017e:!u:!p:!:!05-17-2002 14:03:59:!"_s;
    QTest::newRow("Windows-1252 beyond ASCII") << u"Caf\u00e9 \u20ac:!:!\u00ff:!\u0160:!:!05-17-2002 14:03:59:!"_s;
}

void tst_StoreFiles::load_everyLineComesBackWhole()
{
    QFETCH(QString, line);
    Store s;
    const QStringList lines { record(1), line, record(2) };
    QVERIFY(s.db.RewriteDatabase(Level::None, lines, {}));
    QCOMPARE(s.db.LoadDatabase(Level::None).lines, lines);

    for (const QString &key : { kKey, u"k"_s }) {
        QVERIFY(s.db.RewriteDatabase(Level::ProgramAndDatabase, lines, key));
        QVERIFY(s.db.DecryptDBToTemp(key));
        QCOMPARE(s.db.LoadDatabase(Level::ProgramAndDatabase).lines, lines);
        QCOMPARE(s.db.readActive(Level::ProgramAndDatabase, key).lines, lines);
    }
}

void tst_StoreFiles::load_lineEndsOfOtherSystems_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QByteArrayList>("ends"); // what follows each of the three records
    QTest::addColumn<bool>("readable");
    QTest::newRow("plain, LF") << 0 << QString() << QByteArrayList { "\n", "\n", "\n" } << true;
    QTest::newRow("plain, CR") << 2 << QString() << QByteArrayList { "\r", "\r", "\r" } << true;
    QTest::newRow("plain, mixed, last unended") << 0 << QString() << QByteArrayList { "\r\n", "\n", "" } << true;
    QTest::newRow("enciphered, LF") << 1 << kKey << QByteArrayList { "\n", "\n", "\n" } << true;
    QTest::newRow("enciphered, CR LF then LF") << 1 << kKey << QByteArrayList { "\r\n", "\n", "\n" } << true;
    // A lone LF in the cipher of the record in the middle cannot be told from a line end: refused, not split.
    QTest::newRow("enciphered, LF, lone LF in a line") << 1 << u"k"_s << QByteArrayList { "\n", "\n", "\n" } << false;
}

void tst_StoreFiles::load_lineEndsOfOtherSystems()
{
    QFETCH(int, level);
    QFETCH(QString, key);
    QFETCH(QByteArrayList, ends);
    QFETCH(bool, readable);
    Store s;
    const QStringList lines { record(1), u"B \u017e:!:!u:!p:!:!05-17-2002 14:03:59:!"_s, record(3) };
    QByteArray file;
    for (int i = 0; i < 3; ++i)
        file += (level == 1 ? LineCipher(stored(lines[i]), Windows1252::encode(key)) : stored(lines[i])) + ends[i];
    TestFolders::write(s.db.activeFile(Level(level)), file);

    const LoadResult loaded = s.db.readActive(Level(level), key);
    QCOMPARE(bool(loaded.status), readable);
    QCOMPARE(loaded.wrongKey, !readable);
    if (!readable)
        return;
    QCOMPARE(loaded.lines, lines);
    if (level == 1)
        QVERIFY(s.db.DecryptDBToTemp(key));
    QCOMPARE(s.db.LoadDatabase(Level(level)).lines, lines);

    // Remove writes the other two records back, each ended by CR LF.
    s.model.setLines(loaded.lines);
    QCOMPARE(s.editor.remove(Level(level), 0, keyOf(key)).outcome, EditOutcome::Done);
    QCOMPARE(s.db.readActive(Level(level), key).lines, s.model.List1().items());
    QCOMPARE(linesOf(s.db.activeFile(Level(level))).size(), 2);
}

void tst_StoreFiles::load_skipsEmptyLinesAndKeepsLastLineWithoutEnd()
{
    Store s;
    TestFolders::write(s.files().plain, "\r\n" + stored(u"a:!"_s) + "\r\n\r\n\r\n" + stored(u"b:!"_s));
    QCOMPARE(s.db.LoadDatabase(Level::None).lines, (QStringList { u"a:!"_s, u"b:!"_s }));
}

void tst_StoreFiles::writes_givePrivateFilesInFieldCipher()
{
    Store s;
    Umask open(0);
    QVERIFY(s.db.RewriteDatabase(Level::None, { record(1), record(2) }, {}));
    QCOMPARE(TestFolders::read(s.files().plain), stored(record(1)) + "\r\n" + stored(record(2)) + "\r\n");
    QCOMPARE(modeOf(s.files().plain), 0600);
    QCOMPARE(modeOf(s.folders.data()), 0700);
    QVERIFY(s.db.appendRecord(Level::ProgramOnly, record(3), {}));
    QCOMPARE(linesOf(s.files().plain).last(), stored(record(3)));
    QCOMPARE(linesOf(s.files().plain).size(), 3);

    QVERIFY(s.db.appendRecord(Level::ProgramAndDatabase, record(4), kKey));
    QCOMPARE(modeOf(s.files().encrypted), 0600);
    QVERIFY(s.db.DecryptDBToTemp(kKey));
    QCOMPARE(modeOf(s.files().temporary), 0600);
    QCOMPARE(TestFolders::read(s.files().temporary), stored(record(4)) + "\r\n");
}

void tst_StoreFiles::writes_intoFileAsFolder_failAndChangeNothing_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<bool>("rewrite");
    QTest::newRow("append, level 0") << 0 << false;
    QTest::newRow("append, level 2") << 2 << false;
    QTest::newRow("append, level 1") << 1 << false;
    QTest::newRow("rewrite, level 0") << 0 << true;
    QTest::newRow("rewrite, level 1") << 1 << true;
}

void tst_StoreFiles::writes_intoFileAsFolder_failAndChangeNothing()
{
    QFETCH(int, level);
    QFETCH(bool, rewrite);
    TestFolders folders;
    Database db(blockedFiles(folders));
    const FileResult result = rewrite ? db.RewriteDatabase(Level(level), { record(1) }, kKey)
                                      : db.appendRecord(Level(level), record(1), kKey);
    QVERIFY(!result);
    QVERIFY(result.error.contains(u"blocker"_s));
    QCOMPARE(TestFolders::read(folders.appPath(u"blocker"_s)), "plain file");
    QVERIFY(!QFileInfo::exists(db.files().temporary));
}

void tst_StoreFiles::writes_fullDisk_areReportedAndLeaveOldFileWhole()
{
    Store s;
    if (QFile::exists(u"/dev/full"_s)) {
        DatabaseFiles full = s.files();
        full.plain = full.encrypted = u"/dev/full"_s;
        Database db(full);
        QVERIFY(!db.appendRecord(Level::None, record(1), {}));
        QVERIFY(!db.appendRecord(Level::ProgramAndDatabase, record(1), kKey));
    }

    QStringList many;
    for (int i = 0; i < 200; ++i)
        many.append(record(i));
    QVERIFY(s.db.RewriteDatabase(Level::None, many.first(50), {}));
    const QByteArray before = TestFolders::read(s.files().plain);
    {
        // The new file fails part-way: the old one stays whole.
        FileSizeLimit limit(rlim_t(before.size() / 2));
        const FileResult result = s.db.RewriteDatabase(Level::None, many, {});
        QVERIFY(!result);
        QVERIFY(!result.error.isEmpty());
    }
    QCOMPARE(TestFolders::read(s.files().plain), before);
    {
        // The appended line fails half-way: it is taken back.
        FileSizeLimit limit(rlim_t(before.size() + 20));
        QVERIFY(!s.db.appendRecord(Level::None, record(999), {}));
    }
    QCOMPARE(TestFolders::read(s.files().plain), before);

    QVERIFY(s.db.RewriteDatabase(Level::ProgramAndDatabase, many.first(50), kKey));
    const QByteArray enciphered = TestFolders::read(s.files().encrypted);
    QVERIFY(s.db.RewriteDatabase(Level::None, many, {}));
    const QByteArray plain = TestFolders::read(s.files().plain);
    {
        FileSizeLimit limit(rlim_t(enciphered.size() + 20));
        QVERIFY(!s.db.RewriteDatabase(Level::ProgramAndDatabase, many, kKey));
        QVERIFY(!s.db.EncryptPlainToDB(kKey));
    }
    QCOMPARE(TestFolders::read(s.files().encrypted), enciphered);
    QCOMPARE(TestFolders::read(s.files().plain), plain);
    QVERIFY(!QFileInfo::exists(s.files().temporary));
}

void tst_StoreFiles::level1_addAndRemove_keepEveryLineDecipherableAndNoTemporary()
{
    Store s;
    FakeClock clock(QDateTime(QDate(2002, 5, 17), QTime(14, 3, 59)));
    for (const QString &service : { u"beta"_s, u"Alpha"_s, u"gamma"_s }) {
        const int before = int(linesOf(s.files().encrypted).size());
        QCOMPARE(s.editor.add(Level::ProgramAndDatabase, { service, {}, u"u"_s, u"p"_s, {} }, keyOf(kKey)).outcome,
            EditOutcome::Done);
        QCOMPARE(linesOf(s.files().encrypted).size(), before + 1);
        QVERIFY(!QFileInfo::exists(s.files().temporary));
    }
    QCOMPARE(s.editor.remove(Level::ProgramAndDatabase, 1, keyOf(kKey)).outcome, EditOutcome::Done);
    QVERIFY(!QFileInfo::exists(s.files().temporary));
    const QList<QByteArray> lines = linesOf(s.files().encrypted);
    QCOMPARE(lines.size(), 2);
    QCOMPARE(s.model.rowCount(), 2);
    for (int i = 0; i < 2; ++i)
        QCOMPARE(LineCipher(lines[i], kKey.toLatin1()), stored(s.model.List1().item(i)));
    QCOMPARE(RecordLine::field(s.model.List1().item(0), 1), u"Alpha"_s);
    QCOMPARE(RecordLine::field(s.model.List1().item(1), 1), u"gamma"_s);
}

void tst_StoreFiles::level1_withoutKeyOrTemporaryFolder_failsBeforeAnyChange()
{
    Store s;
    QVERIFY(s.db.RewriteDatabase(Level::ProgramAndDatabase, { record(1) }, kKey));
    QVERIFY(s.db.RewriteDatabase(Level::None, { record(2) }, {}));
    const QByteArray enciphered = TestFolders::read(s.files().encrypted);
    const QByteArray plain = TestFolders::read(s.files().plain);

    QVERIFY(!s.db.appendRecord(Level::ProgramAndDatabase, record(3), {}));
    QVERIFY(!s.db.appendRecord(Level::ProgramAndDatabase, record(3), {}));
    QVERIFY(!s.db.RewriteDatabase(Level::ProgramAndDatabase, { record(3) }, {}));
    QVERIFY(!s.db.EncryptTempToDB({}));
    QVERIFY(!s.db.DecryptDBToTemp({}));
    QVERIFY(!s.db.EncryptPlainToDB({}));
    QVERIFY(!s.db.changeKey(kKey, {}));
    QVERIFY(!s.db.checkStorable(Level::ProgramAndDatabase, record(3), {}));

    DatabaseFiles noTemporary = s.files();
    noTemporary.temporary.clear();
    Database db(noTemporary);
    for (const FileResult &result : { db.RewriteDatabase(Level::ProgramAndDatabase, { record(3) }, kKey),
             db.DecryptDBToTemp(kKey), db.LoadDatabase(Level::ProgramAndDatabase).status }) {
        QVERIFY(!result);
        QVERIFY2(result.error.contains(u"temporary folder"_s), qPrintable(result.error));
    }
    QCOMPARE(TestFolders::read(s.files().encrypted), enciphered);
    QCOMPARE(TestFolders::read(s.files().plain), plain);
    QVERIFY(!QFileInfo::exists(s.files().temporary));
}

void tst_StoreFiles::temporary_staleFileOrLinkIsNeverUsed()
{
    Store s;
    Umask open(0);
    const QString temp = s.files().temporary;
    const QString target = s.folders.appPath(u"target"_s);
    TestFolders::write(target, "keep");

    // A stale file from a killed run is not loaded when the database is missing.
    TestFolders::write(temp, stored(record(9)) + "\r\n");
    QVERIFY(!s.db.DecryptDBToTemp(kKey));
    QVERIFY(!QFileInfo::exists(temp));
    QVERIFY(s.db.LoadDatabase(Level::ProgramAndDatabase).lines.isEmpty());

    QVERIFY(s.db.AppendToEncryptedDB(FieldCipher::encipher(record(1)), kKey));
    QVERIFY(QFile::link(target, temp));
    QVERIFY(s.db.DecryptDBToTemp(kKey));
    QVERIFY(!QFileInfo(temp).isSymLink());
    QCOMPARE(modeOf(temp), 0600);
    QCOMPARE(s.db.LoadDatabase(Level::ProgramAndDatabase).lines, QStringList { record(1) });
    QVERIFY(s.db.removeTemporary());
    QVERIFY(s.db.removeTemporary());

    QVERIFY(QFile::link(target, temp));
    QVERIFY(s.db.RewriteDatabase(Level::ProgramAndDatabase, { record(2) }, kKey));
    QVERIFY(!QFileInfo::exists(temp) && !QFileInfo(temp).isSymLink());
    QCOMPARE(TestFolders::read(target), "keep");
}

void tst_StoreFiles::cipherLineBreak_isRefusedBeforeAnyChange()
{
    Store s;
    const QString breaking = u"Bank:!:!u:!p:!"_s + kBreaksUnderK + u":!05-17-2002 14:03:59:!"_s;
    QVERIFY(s.db.checkStorable(Level::None, breaking, {}));
    QVERIFY(s.db.checkStorable(Level::ProgramAndDatabase, breaking, kKey));
    const FileResult refused = s.db.checkStorable(Level::ProgramAndDatabase, breaking, u"k"_s);
    QVERIFY(!refused);
    QVERIFY2(refused.error.contains(u"line break"_s), qPrintable(refused.error));

    QVERIFY(s.db.RewriteDatabase(Level::ProgramAndDatabase, { record(1) }, u"k"_s));
    const QByteArray enciphered = TestFolders::read(s.files().encrypted);
    QVERIFY(!s.db.appendRecord(Level::ProgramAndDatabase, breaking, u"k"_s));
    QVERIFY(!s.db.RewriteDatabase(Level::ProgramAndDatabase, { record(1), breaking }, u"k"_s));
    QCOMPARE(TestFolders::read(s.files().encrypted), enciphered);
    QVERIFY(!QFileInfo::exists(s.files().temporary));

    s.model.setLines({ record(1) });
    const EditResult add
        = s.editor.add(Level::ProgramAndDatabase, { u"Bank"_s, {}, u"u"_s, u"p"_s, kBreaksUnderK }, keyOf(u"k"_s));
    QCOMPARE(add.outcome, EditOutcome::Refused);
    QCOMPARE(s.model.rowCount(), 1);
    QCOMPARE(TestFolders::read(s.files().encrypted), enciphered);

    // Converting to level 1, or to a new password, is refused whole.
    QVERIFY(s.db.RewriteDatabase(Level::None, { record(1), breaking }, {}));
    const QByteArray plain = TestFolders::read(s.files().plain);
    QVERIFY(!s.db.EncryptPlainToDB(u"k"_s));
    QCOMPARE(TestFolders::read(s.files().plain), plain);
    QCOMPARE(TestFolders::read(s.files().encrypted), enciphered);
    QVERIFY(s.db.EncryptPlainToDB(kKey));
    const QByteArray underKey = TestFolders::read(s.files().encrypted);
    QVERIFY(!s.db.changeKey(kKey, u"k"_s));
    QCOMPARE(TestFolders::read(s.files().encrypted), underKey);
}

void tst_StoreFiles::conversions_roundTripLineForLine()
{
    Store s;
    const QStringList lines { record(1, u"b"_s), record(2, u"A"_s), record(3, u"c"_s) };
    QVERIFY(s.db.RewriteDatabase(Level::None, lines, {}));
    const QByteArray plain = TestFolders::read(s.files().plain);

    QVERIFY(s.db.EncryptPlainToDB(kKey));
    QVERIFY(!QFileInfo::exists(s.files().plain));
    QList<QByteArray> enciphered = linesOf(s.files().encrypted);
    QCOMPARE(enciphered.size(), 3);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(LineCipher(enciphered[i], kKey.toLatin1()), stored(lines[i]));

    QVERIFY(s.db.changeKey(kKey, u"another"_s));
    enciphered = linesOf(s.files().encrypted);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(LineCipher(enciphered[i], "another"), stored(lines[i]));

    // Under the old key (one that shares a character with the new one too) the file is not the records:
    // every deciphering reader refuses it and changes nothing.
    const QByteArray reKeyed = TestFolders::read(s.files().encrypted);
    QVERIFY(s.db.checkKey(u"another"_s));
    for (const QString &wrong : { kKey, u"anothex"_s }) {
        QVERIFY(!s.db.checkKey(wrong));
        QVERIFY(!s.db.DecryptDBToTemp(wrong));
        QVERIFY(!QFileInfo::exists(s.files().temporary));
        QVERIFY(!s.db.DecryptDBToPlain(wrong));
        QVERIFY(!s.db.changeKey(wrong, kKey));
        QVERIFY(!QFileInfo::exists(s.files().plain));
        QCOMPARE(TestFolders::read(s.files().encrypted), reKeyed);
    }

    QVERIFY(s.db.DecryptDBToPlain(u"another"_s));
    QVERIFY(!QFileInfo::exists(s.files().encrypted));
    QCOMPARE(TestFolders::read(s.files().plain), plain);
}

void tst_StoreFiles::conversions_missingSource_changeNothing()
{
    Store s;
    QVERIFY(s.db.RewriteDatabase(Level::ProgramAndDatabase, { record(1) }, kKey));
    const QByteArray enciphered = TestFolders::read(s.files().encrypted);
    const FileResult noPlain = s.db.EncryptPlainToDB(kKey);
    QVERIFY(!noPlain);
    QVERIFY(noPlain.error.contains(u"userDB.pdb"_s));
    QCOMPARE(TestFolders::read(s.files().encrypted), enciphered);

    // No key: nothing to decipher with, so both files stay as they are.
    QVERIFY(s.db.DecryptDBToPlain({}));
    QCOMPARE(TestFolders::read(s.files().encrypted), enciphered);
    QVERIFY(!QFileInfo::exists(s.files().plain));

    QVERIFY(SafeFile::remove(s.files().encrypted));
    // A line that is no record would read as a wrong password once enciphered: not enciphered.
    QVERIFY(s.db.RewriteDatabase(Level::None, { record(2), u"edited by hand:!"_s }, {}));
    const FileResult notRecords = s.db.EncryptPlainToDB(kKey);
    QVERIFY(notRecords.error.startsWith(u"Record 2 of"_s));
    QVERIFY(!QFileInfo::exists(s.files().encrypted));

    QVERIFY(s.db.RewriteDatabase(Level::None, { record(2) }, {}));
    const QByteArray plain = TestFolders::read(s.files().plain);
    QVERIFY(s.db.DecryptDBToPlain(kKey));
    QCOMPARE(TestFolders::read(s.files().plain), plain);
    QVERIFY(!s.db.changeKey(kKey, u"new"_s));
    QVERIFY(!QFileInfo::exists(s.files().encrypted));
}

void tst_StoreFiles::store_holdsMoreThan32767Records()
{
    Store s;
    QStringList lines;
    for (int i = 0; i < 40000; ++i)
        lines.append(record(i));
    QVERIFY(s.db.RewriteDatabase(Level::None, lines, {}));
    s.model.setLines(s.db.LoadDatabase(Level::None).lines);
    QCOMPARE(s.model.rowCount(), 40000);
    QVERIFY(s.editor.add(Level::None, { u"zzz"_s, {}, u"u"_s, u"p"_s, {} }, {}).outcome == EditOutcome::Done);
    QCOMPARE(s.editor.remove(Level::None, 39000, {}).outcome, EditOutcome::Done);
    QCOMPARE(s.db.LoadDatabase(Level::None).lines, s.model.List1().items());
}

void tst_StoreFiles::add_duplicateAndRefusedTexts_changeNothing()
{
    Store s;
    FakeClock clock(QDateTime(QDate(2002, 5, 17), QTime(14, 3, 59)));
    const RecordLine::Texts texts { u"Mail"_s, {}, u"Bob"_s, u"pw"_s, {} };
    const EditResult first = s.editor.add(Level::None, texts, {});
    QCOMPARE(first.outcome, EditOutcome::Done);
    QCOMPARE(first.row, 0);
    QCOMPARE(TestFolders::read(s.files().plain), stored(u"Mail:!:!Bob:!pw:!:!05-17-2002 14:03:59:!"_s) + "\r\n");
    const QByteArray file = TestFolders::read(s.files().plain);

    QCOMPARE(s.editor.add(Level::None, { u"MAIL"_s, {}, u"bob"_s, u"PW"_s, {} }, {}).outcome, EditOutcome::Duplicate);
    const EditResult refused = s.editor.add(Level::None, { u"Mail"_s, {}, u"Bob"_s, u"pw"_s, u"a:!b"_s }, {});
    QCOMPARE(refused.outcome, EditOutcome::Refused);
    QVERIFY(refused.detail.contains(u"Info"_s));
    QCOMPARE(s.editor.add(Level::None, { u"Mail"_s, {}, u"Bob"_s, u"\u4e2d"_s, {} }, {}).outcome, EditOutcome::Refused);
    QCOMPARE(s.model.rowCount(), 1);
    QCOMPARE(TestFolders::read(s.files().plain), file);

    // The same texts a second later are another record.
    clock.set(clock.now().addSecs(1));
    QCOMPARE(s.editor.add(Level::None, texts, {}).outcome, EditOutcome::Done);
    QCOMPARE(linesOf(s.files().plain).size(), 2);
}

void tst_StoreFiles::edits_failedWrite_leaveModelAndFileAsTheyWere_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("command");
    for (int level : { 0, 1 })
        for (const QString &command : { u"add"_s, u"replace"_s, u"remove"_s, u"import"_s })
            QTest::addRow("%s at level %d", qPrintable(command), level) << level << command;
}

void tst_StoreFiles::edits_failedWrite_leaveModelAndFileAsTheyWere()
{
    QFETCH(int, level);
    QFETCH(QString, command);
    TestFolders folders;
    Database db(blockedFiles(folders));
    RecordTableModel model;
    RecordEditor editor(model, db);
    const QStringList lines { record(1), record(2) };
    model.setLines(lines);
    const RecordLine::Texts texts { u"New"_s, {}, u"u"_s, u"p"_s, {} };
    const EditResult result = command == u"add"_s ? editor.add(Level(level), texts, keyOf(kKey))
        : command == u"replace"_s                 ? editor.replace(Level(level), 0, texts, keyOf(kKey))
        : command == u"import"_s ? editor.importLines(Level(level), { record(0), record(3) }, keyOf(kKey))
                                 : editor.remove(Level(level), 0, keyOf(kKey));
    QCOMPARE(result.outcome, EditOutcome::WriteFailed);
    QVERIFY(!result.detail.isEmpty());
    QCOMPARE(model.List1().items(), lines);
    QVERIFY(!QFileInfo::exists(db.files().temporary));
}

void tst_StoreFiles::replace_andRemove_keepFileInGridOrder()
{
    Store s;
    FakeClock clock(QDateTime(QDate(2002, 5, 17), QTime(14, 3, 59)));
    for (const QString &service : { u"beta"_s, u"Alpha"_s, u"gamma"_s })
        QCOMPARE(s.editor.add(Level::None, { service, {}, u"u"_s, u"p"_s, {} }, {}).outcome, EditOutcome::Done);
    const QByteArray file = TestFolders::read(s.files().plain);

    QCOMPARE(s.editor.replace(Level::None, -1, { u"x"_s, {}, u"u"_s, u"p"_s, {} }, {}).outcome,
        EditOutcome::NothingSelected);
    QCOMPARE(s.editor.remove(Level::None, -1, {}).outcome, EditOutcome::NothingSelected);
    QCOMPARE(
        s.editor.replace(Level::None, 1, { u"Alpha"_s, {}, u"u"_s, u"p"_s, {} }, {}).outcome, EditOutcome::NoChange);
    QCOMPARE(TestFolders::read(s.files().plain), file);

    // Only case differs: not the same line for Replace. A new Service moves the record.
    QCOMPARE(s.editor.replace(Level::None, 0, { u"ALPHA"_s, {}, u"u"_s, u"p"_s, {} }, {}).row, 0);
    const EditResult moved = s.editor.replace(Level::None, 0, { u"zulu"_s, {}, u"u"_s, u"p"_s, {} }, {});
    QCOMPARE(moved.outcome, EditOutcome::Done);
    QCOMPARE(moved.row, 2);
    QCOMPARE(s.model.data(s.model.index(2, 0)).toString(), u"zulu"_s);
    QCOMPARE(s.db.LoadDatabase(Level::None).lines, s.model.List1().items());

    for (int i = 0; i < 3; ++i)
        QCOMPARE(s.editor.remove(Level::None, 0, {}).outcome, EditOutcome::Done);
    QCOMPARE(s.model.rowCount(), 0);
    QVERIFY(QFileInfo::exists(s.files().plain));
    QCOMPARE(TestFolders::read(s.files().plain), QByteArray());
}

void tst_StoreFiles::editor_asksForKeyOnlyAtLevel1()
{
    Store s;
    FakeClock clock(QDateTime(QDate(2002, 5, 17), QTime(14, 3, 59)));
    int asked = 0;
    const KeyProvider counting = [&] {
        ++asked;
        return kKey;
    };
    QCOMPARE(s.editor.add(Level::None, { u"a"_s, {}, u"u"_s, u"p"_s, {} }, counting).outcome, EditOutcome::Done);
    QCOMPARE(s.editor.replace(Level::ProgramOnly, 0, { u"b"_s, {}, u"u"_s, u"p"_s, {} }, counting).outcome,
        EditOutcome::Done);
    QCOMPARE(s.editor.remove(Level::None, 0, counting).outcome, EditOutcome::Done);
    QCOMPARE(asked, 0);
    QCOMPARE(s.editor.add(Level::ProgramAndDatabase, { u"a"_s, {}, u"u"_s, u"p"_s, {} }, counting).outcome,
        EditOutcome::Done);
    QCOMPARE(asked, 1);
    QCOMPARE(s.editor.replace(Level::ProgramAndDatabase, 0, { u"b"_s, {}, u"u"_s, u"p"_s, {} }, counting).outcome,
        EditOutcome::Done);
    QCOMPARE(asked, 2);
    const EditResult noKey = s.editor.remove(Level::ProgramAndDatabase, 0, keyOf({}));
    QCOMPARE(noKey.outcome, EditOutcome::WriteFailed);
    QCOMPARE(s.model.rowCount(), 1);
}

void tst_StoreFiles::editor_neverWritesOverAnOutsideChange_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("outside"); // what another program does to the file
    QTest::addColumn<int>("outcome");
    const int done = int(EditOutcome::Done), changed = int(EditOutcome::ChangedOutside);
    for (int level : { 0, 1 }) {
        QTest::addRow("level %d, nothing", level) << level << u"nothing"_s << done;
        QTest::addRow("level %d, same records written anew", level) << level << u"same"_s << done;
        QTest::addRow("level %d, a record added", level) << level << u"added"_s << changed;
        QTest::addRow("level %d, file removed", level) << level << u"removed"_s << done;
    }
    QTest::newRow("level 1, enciphered under another key") << 1 << u"rekeyed"_s << changed;
}

void tst_StoreFiles::editor_neverWritesOverAnOutsideChange()
{
    QFETCH(int, level);
    QFETCH(QString, outside);
    QFETCH(int, outcome);
    Store s;
    FakeClock clock(QDateTime(QDate(2002, 5, 17), QTime(14, 3, 59)));
    QVERIFY(s.db.RewriteDatabase(Level(level), { record(1), record(2) }, kKey));
    s.editor.fileRead(Level(level));
    s.model.setLines(s.db.readActive(Level(level), kKey).lines);
    // Corvane's own writes are no outside change.
    QCOMPARE(s.editor.add(Level(level), { u"Own"_s, {}, u"u"_s, u"p"_s, {} }, keyOf(kKey)).outcome, EditOutcome::Done);
    QCOMPARE(s.editor.remove(Level(level), 0, keyOf(kKey)).outcome, EditOutcome::Done);
    const QStringList before = s.model.List1().items();

    Database other(s.files());
    if (outside == u"same"_s)
        QVERIFY(other.RewriteDatabase(Level(level), before, kKey));
    else if (outside == u"added"_s)
        QVERIFY(other.RewriteDatabase(Level(level), before + QStringList { record(9) }, kKey));
    else if (outside == u"rekeyed"_s)
        QVERIFY(other.RewriteDatabase(Level(level), before, u"other"_s));
    else if (outside == u"removed"_s)
        QVERIFY(SafeFile::remove(s.db.activeFile(Level(level))));
    const QByteArray file = TestFolders::read(s.db.activeFile(Level(level)));

    const EditResult result = s.editor.add(Level(level), { u"New"_s, {}, u"u"_s, u"p"_s, {} }, keyOf(kKey));
    QCOMPARE(int(result.outcome), outcome);
    if (result.outcome == EditOutcome::Done) {
        // A removed file gets every record back, not the new one alone.
        QCOMPARE(s.model.rowCount(), before.size() + 1);
        RecordList onDisk;
        onDisk.assign(s.db.readActive(Level(level), kKey).lines);
        QCOMPARE(onDisk.items(), s.model.List1().items());
    } else {
        QCOMPARE(s.model.List1().items(), before);
        QCOMPARE(TestFolders::read(s.db.activeFile(Level(level))), file);
    }
}

void tst_StoreFiles::import_exportSamples_data()
{
    QTest::addColumn<QString>("sample");
    for (const char *sample : { "firefox", "chrome", "keepassxc", "bitwarden" })
        QTest::newRow(sample) << QString::fromLatin1(sample);
}

void tst_StoreFiles::import_exportSamples()
{
    QFETCH(QString, sample);
    const QString base = QStringLiteral(CORVANE_IMPORT_SAMPLES) + u'/' + sample;
    Store s;
    FakeClock clock(QDateTime(QDate(2002, 5, 17), QTime(14, 3, 59)));
    const LoginCsv::PlanResult planned = LoginCsv::planImport(TestFolders::read(base + u".csv"_s), s.model.List1());
    QVERIFY2(planned.plan, qPrintable(planned.error));
    QStringList expected;
    for (const QString &line :
        QString::fromUtf8(TestFolders::read(base + u".records"_s)).split(u'\n', Qt::SkipEmptyParts))
        expected.append(line + u"05-17-2002 14:03:59:!"_s);
    QCOMPARE(planned.plan->lines, expected);
    QStringList rejected;
    for (const LoginCsv::Rejected &row : planned.plan->rejected)
        rejected.append(u"Line %1: %2"_s.arg(row.line).arg(row.reason));
    QCOMPARE(rejected, QString::fromUtf8(TestFolders::read(base + u".rejected"_s)).split(u'\n', Qt::SkipEmptyParts));

    // One write files them all in the grid's order.
    QCOMPARE(
        s.editor.importLines(Level::ProgramAndDatabase, planned.plan->lines, keyOf(kKey)).outcome, EditOutcome::Done);
    QCOMPARE(s.model.rowCount(), expected.size());
    QCOMPARE(s.db.readActive(Level::ProgramAndDatabase, kKey).lines, s.model.List1().items());
    // Corvane's own export brings nothing new back, and into an empty store every record, date and all.
    const QByteArray exported = LoginCsv::exportRecords(s.model.List1());
    const LoginCsv::PlanResult again = LoginCsv::planImport(exported, s.model.List1());
    QVERIFY(again.plan && again.plan->lines.isEmpty() && again.plan->rejected.isEmpty());
    QCOMPARE(again.plan->alreadyThere, expected.size());
    QCOMPARE(LoginCsv::planImport(exported, RecordList()).plan->lines, s.model.List1().items());
}

void tst_StoreFiles::import_refusedFiles_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("error");
    QTest::newRow("empty") << QByteArray("\xEF\xBB\xBF\r\n") << u"The file is empty"_s;
    QTest::newRow("column names only") << QByteArray("name,url,username,password,note\r\n") << u"no line after"_s;
    QTest::newRow("quote out of place") << QByteArray("name,url,username,password\na,b,c\"d,e\n")
                                        << u"line 2 has a double quote out of place"_s;
    QTest::newRow("quoted field never ends")
        << QByteArray("name,url,username,password\na,b,\"c,d\n\ne\n") << u"the quoted field on line 2 never ends"_s;
}

void tst_StoreFiles::import_refusedFiles()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, error);
    const LoginCsv::PlanResult planned = LoginCsv::planImport(content, RecordList());
    QVERIFY(!planned.plan);
    QVERIFY2(planned.error.contains(error), qPrintable(planned.error));
}

QTEST_GUILESS_MAIN(tst_StoreFiles)
#include "tst_store_files.moc"
