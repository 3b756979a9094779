// SPDX-License-Identifier: GPL-3.0-or-later
#include "Fakes.h"
#include "FileModes.h"
#include "TestFolders.h"
#include "common/AppFolders.h"
#include "common/DateText.h"
#include "common/ProgramExit.h"
#include "common/SafeFile.h"
#include "common/TextLines.h"
#include "common/Windows1252.h"

#include <QEventLoop>
#include <QFile>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QTest>
#include <QTimer>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace { } // namespace

class tst_Common : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void windows1252_matchesQtCodecForEveryByte();
    void windows1252_refusesWhatItCannotHold();
    void textLines_split_data();
    void textLines_split();
    void textLines_storable();
    void dateText_parse_data();
    void dateText_parse();
    void dateText_usesClock();
    void writeWhole_replacesFileWithPrivateMode();
    void writeWhole_failure_keepsOldFile();
    void append_createsPrivateFileAndAppends();
    void append_fullDisk_reportsAndLeavesFileAsItWas();
    void createNew_refusesExistingFileAndLink();
    void remove_missingFileIsNoError();
    void temporaryFolder_isPrivatePerApplicationFolder();
    void temporaryFolder_refusesForeignOwner();
    void markHidden_listsNameOnce();
    void programExit_endsNestedWait();
    void applicationFolder_readOnlyProgramFolder_usesUsersOwnFolder();
    void checkUsable_namesWhatIsWrong_data();
    void checkUsable_namesWhatIsWrong();
};

void tst_Common::windows1252_matchesQtCodecForEveryByte()
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    QStringDecoder qt("windows-1252");
    const QString expected = qt.decode(all);
    QCOMPARE(Windows1252::decode(all), expected);
    bool ok = false;
    QCOMPARE(Windows1252::encode(expected, &ok), all);
    QVERIFY(ok);
    QCOMPARE(Windows1252::decode("\x80"), u"€"_s);
}

void tst_Common::windows1252_refusesWhatItCannotHold()
{
    bool ok = true;
    QCOMPARE(Windows1252::encode(u"a\u4e2db"_s, &ok), "a?b");
    QVERIFY(!ok);
    QCOMPARE(Windows1252::firstUnencodable(u"café ☺ x"_s), QChar(u'☺'));
    QVERIFY(Windows1252::canEncode(u"café €"_s));
    // Each half of a pair outside the basic plane is refused, never stored as "?".
    QVERIFY(!Windows1252::canEncode(u"\U0001F600"_s));
}

void tst_Common::textLines_split_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QList<QByteArray>>("lines");
    QTest::newRow("empty") << QByteArray() << QList<QByteArray>();
    QTest::newRow("one line") << QByteArray("a\r\n") << QList<QByteArray> { "a" };
    QTest::newRow("no final end") << QByteArray("a\r\nb") << QList<QByteArray> { "a", "b" };
    QTest::newRow("empty line kept") << QByteArray("\r\nb\r\n") << QList<QByteArray> { "", "b" };
    QTest::newRow("lone CR and LF are data") << QByteArray("a\rb\nc\r\n") << QList<QByteArray> { "a\rb\nc" };
    QTest::newRow("CR before the end") << QByteArray("a\r\r\nb\r\n") << QList<QByteArray> { "a\r", "b" };
    QTest::newRow("commas quotes spaces") << QByteArray(" \"x\", y \r\n") << QList<QByteArray> { " \"x\", y " };
}

void tst_Common::textLines_split()
{
    QFETCH(QByteArray, content);
    QFETCH(QList<QByteArray>, lines);
    QCOMPARE(TextLines::split(content), lines);
}

void tst_Common::textLines_storable()
{
    QVERIFY(TextLines::isStorable("a\rb\nc\r"));
    QVERIFY(!TextLines::isStorable("a\r\nb"));
    QCOMPARE(TextLines::terminated("x"), "x\r\n");
}

void tst_Common::dateText_parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("date");
    QTest::newRow("valid") << u"12-31-2025"_s << QDate(2025, 12, 31);
    QTest::newRow("leap day") << u"02-29-2024"_s << QDate(2024, 2, 29);
    QTest::newRow("no such day") << u"02-30-2024"_s << QDate();
    QTest::newRow("never expires") << u"xx-xx-xxxx"_s << QDate();
    QTest::newRow("wrong order") << u"2025-12-31"_s << QDate();
    QTest::newRow("short") << u"1-5-2026"_s << QDate();
    QTest::newRow("signs") << u"+1-05-2026"_s << QDate();
}

void tst_Common::dateText_parse()
{
    QFETCH(QString, text);
    QFETCH(QDate, date);
    QCOMPARE(DateText::parseDate(text).value_or(QDate()), date);
}

void tst_Common::dateText_usesClock()
{
    FakeClock clock(QDateTime(QDate(2002, 5, 7), QTime(4, 3, 9)));
    QCOMPARE(DateText::today(), u"05-07-2002"_s);
    QCOMPARE(DateText::time(Clock::current().time()), u"04:03:09"_s);
}

void tst_Common::writeWhole_replacesFileWithPrivateMode()
{
    TestFolders folders;
    Umask open(0);
    const QString path = folders.appPath(u"file.txt"_s);
    TestFolders::write(path, "old");
    QVERIFY(SafeFile::writeWhole(path, "new content"));
    QCOMPARE(TestFolders::read(path), "new content");
    QCOMPARE(modeOf(path), 0600);

    const QString fresh = folders.appPath(u"fresh.txt"_s);
    QVERIFY(SafeFile::writeWhole(fresh, "x"));
    QCOMPARE(modeOf(fresh), 0600);
}

void tst_Common::writeWhole_failure_keepsOldFile()
{
    TestFolders folders;
    // A folder that is a plain file: every write into it fails, even as root.
    TestFolders::write(folders.appPath(u"notafolder"_s), "plain");
    const FileResult result = SafeFile::writeWhole(folders.appPath(u"notafolder/x"_s), "data");
    QVERIFY(!result);
    QVERIFY(!result.error.isEmpty());
}

void tst_Common::append_createsPrivateFileAndAppends()
{
    TestFolders folders;
    Umask open(0);
    const QString path = folders.appPath(u"log.txt"_s);
    QVERIFY(SafeFile::append(path, "one\r\n"));
    QVERIFY(SafeFile::append(path, "two\r\n"));
    QCOMPARE(TestFolders::read(path), "one\r\ntwo\r\n");
    QCOMPARE(modeOf(path), 0600);
}

void tst_Common::append_fullDisk_reportsAndLeavesFileAsItWas()
{
    if (!QFile::exists(u"/dev/full"_s))
        QSKIP("no /dev/full");
    const FileResult result = SafeFile::append(u"/dev/full"_s, "line\r\n");
    QVERIFY(!result);
    QVERIFY2(result.error.contains(u"/dev/full"_s), qPrintable(result.error));
}

void tst_Common::createNew_refusesExistingFileAndLink()
{
    TestFolders folders;
    const QString path = folders.appPath(u"new.tmp"_s);
    QVERIFY(SafeFile::createNew(path, "a"));
    QVERIFY(!SafeFile::createNew(path, "b"));
    QCOMPARE(TestFolders::read(path), "a");

    const QString target = folders.appPath(u"target"_s);
    const QString link = folders.appPath(u"link.tmp"_s);
    QVERIFY(QFile::link(target, link));
    QVERIFY(!SafeFile::createNew(link, "secret"));
    QVERIFY(!QFile::exists(target));
}

void tst_Common::remove_missingFileIsNoError()
{
    TestFolders folders;
    QVERIFY(SafeFile::remove(folders.appPath(u"nothing"_s)));
    TestFolders::write(folders.appPath(u"x"_s), "x");
    QVERIFY(SafeFile::remove(folders.appPath(u"x"_s)));
    QVERIFY(!QFile::exists(folders.appPath(u"x"_s)));
}

void tst_Common::temporaryFolder_isPrivatePerApplicationFolder()
{
    TestFolders folders;
    Umask open(0);
    const QString first = AppFolders::temporaryFolder();
    QVERIFY(!first.isEmpty());
    QVERIFY(first.startsWith(folders.root() + u"/runtime/corvane/"_s));
    QCOMPARE(modeOf(first), 0700);
    QCOMPARE(AppFolders::temporaryDatabase(), first + u"/mdb.tmp"_s);

    AppFolders::setForTesting(folders.appPath(u"other"_s), folders.shipped());
    QVERIFY(AppFolders::temporaryFolder() != first);
    AppFolders::setForTesting(folders.app(), folders.shipped());
}

void tst_Common::temporaryFolder_refusesForeignOwner()
{
    if (::getuid() != 0)
        QSKIP("only root can give a folder to another user");
    TestFolders folders;
    const QString root = folders.root() + u"/runtime/corvane"_s;
    QVERIFY(QDir().mkpath(root));
    QCOMPARE(::chown(QFile::encodeName(root).constData(), 65534, 65534), 0);
    QString error;
    QVERIFY(AppFolders::temporaryFolder(&error).isEmpty());
    QVERIFY2(error.contains(u"another user"_s), qPrintable(error));
    QVERIFY(AppFolders::temporaryDatabase().isEmpty());
}

void tst_Common::markHidden_listsNameOnce()
{
    TestFolders folders;
    QDir().mkpath(folders.data());
    QVERIFY(AppFolders::markHidden(folders.data()));
    QVERIFY(AppFolders::markHidden(folders.data()));
    TestFolders::write(folders.appPath(u"Data/ground.lnk"_s), "x");
    QVERIFY(AppFolders::markHidden(folders.appPath(u"Data/ground.lnk"_s)));
    QCOMPARE(TestFolders::read(folders.appPath(u".hidden"_s)), "Data\n");
    QCOMPARE(TestFolders::read(folders.appPath(u"Data/.hidden"_s)), "ground.lnk\n");
}

void tst_Common::programExit_endsNestedWait()
{
    FakeExit exit;
    QEventLoop wait;
    connect(&ProgramExit::instance(), &ProgramExit::requested, &wait, &QEventLoop::quit);
    QTimer::singleShot(0, [] { ProgramExit::request(); });
    QTimer::singleShot(5000, &wait, &QEventLoop::quit); // bound the wait if the request is lost
    wait.exec();
    QVERIFY(ProgramExit::isRequested());
    QCOMPARE(exit.count, 1);
}

void tst_Common::applicationFolder_readOnlyProgramFolder_usesUsersOwnFolder()
{
    TestFolders folders;
    // A program folder that cannot be written to (here: one that is not there at all, which even root
    // cannot write into) sends every file the program writes to the user's own data folder.
    AppFolders::setForTesting({}, folders.root() + u"/system/lib/corvane"_s);
    const QString own = AppFolders::applicationFolder();
    AppFolders::setForTesting(folders.app(), folders.shipped());
    QCOMPARE(own, QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    QVERIFY(QFileInfo(own).isDir());
    QCOMPARE(modeOf(own), 0700);

    // The program folder itself is used when it can be written to.
    AppFolders::setForTesting({}, folders.shipped());
    QCOMPARE(AppFolders::applicationFolder(), folders.shipped());
    QCOMPARE(AppFolders::helpPage(), folders.shipped() + u"/help.html"_s);

    // An installed copy writes nothing beside itself, even where it could (as root), and reads what
    // ships with it from the folder its mark names.
    const QString program = folders.root() + u"/usr/lib/corvane"_s;
    TestFolders::write(program + u"/installed.conf"_s, "# installed\nshared=../../share/corvane\n");
    AppFolders::setForTesting({}, program);
    QCOMPARE(AppFolders::applicationFolder(), own);
    QCOMPARE(AppFolders::languageFolder(), folders.root() + u"/usr/share/corvane/intl"_s);
    QCOMPARE(AppFolders::programFolder(), program);
    AppFolders::setForTesting(folders.app(), folders.shipped());
}

void tst_Common::checkUsable_namesWhatIsWrong_data()
{
    QTest::addColumn<QString>("in"); // the application folder, below the test's root
    QTest::addColumn<QString>("file"); // a file put in the way, below the root; empty: none
    QTest::addColumn<QString>("error"); // empty: usable
    QTest::newRow("folders missing, several deep") << u"home/u/.local/share/corvane"_s << QString() << QString();
    QTest::newRow("a file where the data folder goes") << u"app"_s << u"app/Data"_s << u"/app/Data is not a folder"_s;
    QTest::newRow("a file above the folder")
        << u"home/u/.local/share/corvane"_s << u"home/u/.local"_s << u"%1/home/u/.local is not a folder"_s;
}

void tst_Common::checkUsable_namesWhatIsWrong()
{
    QFETCH(QString, in);
    QFETCH(QString, file);
    QFETCH(QString, error);
    TestFolders folders;
    if (!file.isEmpty())
        TestFolders::write(folders.root() + u'/' + file, "x");
    AppFolders::setForTesting(folders.root() + u'/' + in, folders.shipped());
    const FileResult usable = AppFolders::checkUsable();
    AppFolders::setForTesting(folders.app(), folders.shipped());
    QCOMPARE(usable.ok, error.isEmpty());
    QVERIFY2(usable.error.contains(error.arg(folders.root())), qPrintable(usable.error));
    if (usable)
        QVERIFY(QFileInfo(folders.root() + u'/' + in + u"/Data"_s).isDir());
}

QTEST_GUILESS_MAIN(tst_Common)
#include "tst_common.moc"
