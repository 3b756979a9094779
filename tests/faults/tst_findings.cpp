// SPDX-License-Identifier: GPL-3.0-or-later
// Faults that fuzzing found in the record store, each kept as a test.
#include "TestFolders.h"
#include "common/SafeFile.h"
#include "common/Windows1252.h"
#include "store/Database.h"
#include "store/FieldCipher.h"
#include "store/LineCipher.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {
const QString kKey = u"key"_s;
const QString kFirst = u"Mail:!https://mail.example/:!me:!pw:!:!05-17-2002 14:03:59:!"_s;
const QString kSecond = u"Bank:!:!jdoe:!secret:!note:!05-18-2002 09:00:00:!"_s;
const QString kNew = u"Shop:!:!buyer:!1234:!:!05-19-2002 10:30:00:!"_s;

/** A plain record line as the file of level holds it (without its line end). */
QByteArray stored(const QString &line, int level)
{
    QByteArray bytes = Windows1252::encode(line);
    FieldCipher::encipherBytes(bytes);
    return level == 1 ? LineCipher(bytes, kKey.toLatin1()) : bytes;
}

QStringList load(Database &db, int level)
{
    if (level == 1 && !db.DecryptDBToTemp(kKey))
        return { u"(does not decipher)"_s };
    const QStringList lines = db.LoadDatabase(Level(level)).lines;
    if (!db.removeTemporary())
        return { u"(the temporary file stays)"_s };
    return lines;
}
} // namespace

class tst_Findings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void append_afterLastLineWithoutLineEnd_keepsEveryRecord_data();
    void append_afterLastLineWithoutLineEnd_keepsEveryRecord();
};

void tst_Findings::append_afterLastLineWithoutLineEnd_keepsEveryRecord_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<QByteArray>("ending"); // what follows the last record in the file
    QTest::addColumn<bool>("lineEndAdded");
    for (int level : { 0, 1 }) {
        QTest::addRow("level %d, no line end", level) << level << QByteArray() << true;
        // A file whose line ends were changed elsewhere; enciphered, the stray byte is read as a line end
        // only because every line then deciphers into a record.
        QTest::addRow("level %d, a lone CR", level) << level << QByteArray("\r") << true;
        QTest::addRow("level %d, a lone LF", level) << level << QByteArray("\n") << true;
        QTest::addRow("level %d, CR LF", level) << level << QByteArray("\r\n") << false;
    }
}

void tst_Findings::append_afterLastLineWithoutLineEnd_keepsEveryRecord()
{
    QFETCH(int, level);
    QFETCH(QByteArray, ending);
    QFETCH(bool, lineEndAdded);
    TestFolders folders;
    QVERIFY(SafeFile::makePrivateFolder(folders.data()));
    Database db;
    const QString &path = level == 1 ? db.files().encrypted : db.files().plain;
    // A file edited by hand or brought from elsewhere may end without CR LF.
    const QByteArray before = stored(kFirst, level) + "\r\n" + stored(kSecond, level) + ending;
    TestFolders::write(path, before);
    const QStringList loaded = load(db, level);
    QCOMPARE(loaded.size(), 2);

    QVERIFY(db.appendRecord(Level(level), kNew, kKey));
    QCOMPARE(load(db, level), loaded + QStringList { kNew });
    // Only a line end that was missing is added; the records already there keep every byte.
    QCOMPARE(TestFolders::read(path),
        before + (lineEndAdded ? QByteArray("\r\n") : QByteArray()) + stored(kNew, level) + "\r\n");
}

QTEST_GUILESS_MAIN(tst_Findings)
#include "tst_findings.moc"
