// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestFolders.h"
#include "mainwindow/prefs/PreferencesFile.h"
#include "mainwindow/prefs/WindowPlacement.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTest>

#include <sys/stat.h>

using namespace Qt::StringLiterals;
using PreferencesFile::Key;
using PreferencesFile::Setting;
using Settings = QList<Setting>;

class tst_Prefs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void format_fiveLinesExactly();
    void write_privateFileAndReadBack();
    void write_unwritablePath_reportsFailure();
    void read_missingFile_givesNothing();
    void items_splitLikeListInput_data();
    void items_splitLikeListInput();
    void parse_appliesUpToFirstMalformedItem_data();
    void parse_appliesUpToFirstMalformedItem();
    void parse_randomInput_keepsWhatCameBeforeIt();
    void placement_keepsTitleBarReachable_data();
    void placement_keepsTitleBarReachable();
};

void tst_Prefs::format_fiveLinesExactly()
{
    PreferencesFile::State state;
    state.left = 2880;
    state.top = 1440;
    state.topMost = true;
    QCOMPARE(PreferencesFile::format(state),
        QByteArray("[Display]= False\r\n[AutHide]= False\r\n[LPos]= 2880\r\n[TPos]= 1440\r\n[OTop]= True\r\n"));
    state = { true, true, -15, 0, false };
    QCOMPARE(PreferencesFile::format(state),
        QByteArray("[Display]= True\r\n[AutHide]= True\r\n[LPos]= -15\r\n[TPos]= 0\r\n[OTop]= False\r\n"));
}

void tst_Prefs::write_privateFileAndReadBack()
{
    TestFolders folders;
    const QString path = folders.appPath(u"prefs.cfg"_s);
    TestFolders::write(path, "[OTop]= True\r\nold and longer content that must not survive\r\n");
    const PreferencesFile::State state { true, false, 300, -45, false };
    QVERIFY(PreferencesFile::write(path, state));
    QCOMPARE(TestFolders::read(path), PreferencesFile::format(state));
    struct stat info
    { };
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &info), 0);
    QCOMPARE(info.st_mode & 0777, 0600u);
    const std::optional<Settings> back = PreferencesFile::read(path);
    QVERIFY(back);
    QCOMPARE(*back,
        (Settings { { Key::Display, true, 0 }, { Key::AutHide, false, 0 }, { Key::LPos, false, 300 },
            { Key::TPos, false, -45 }, { Key::OTop, false, 0 } }));
}

void tst_Prefs::write_unwritablePath_reportsFailure()
{
    TestFolders folders;
    const QString blocker = folders.appPath(u"plain-file"_s);
    TestFolders::write(blocker, "not a folder");
    const FileResult result = PreferencesFile::write(blocker + u"/prefs.cfg"_s, {});
    QVERIFY(!result);
    QVERIFY(!result.error.isEmpty());
    QCOMPARE(TestFolders::read(blocker), QByteArray("not a folder"));
}

void tst_Prefs::read_missingFile_givesNothing()
{
    TestFolders folders;
    QVERIFY(!PreferencesFile::read(folders.appPath(u"prefs.cfg"_s)));
    // An empty file is there but says nothing.
    TestFolders::write(folders.appPath(u"prefs.cfg"_s), {});
    QCOMPARE(PreferencesFile::read(folders.appPath(u"prefs.cfg"_s)), Settings());
}

void tst_Prefs::items_splitLikeListInput_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("crlf lines") << u"a b\r\nc d\r\n"_s << QStringList { u"a b"_s, u"c d"_s };
    QTest::newRow("lf and cr lines") << u"a\nb\rc"_s << QStringList { u"a"_s, u"b"_s, u"c"_s };
    QTest::newRow("commas split") << u"a,b\r\nc"_s << QStringList { u"a"_s, u"b"_s, u"c"_s };
    QTest::newRow("leading spaces skipped") << u"   a b ,  c"_s << QStringList { u"a b "_s, u"c"_s };
    QTest::newRow("quotes removed, comma inside kept")
        << u"\"[LPos]= 1,5\",x\r\n"_s << QStringList { u"[LPos]= 1,5"_s, u"x"_s };
    QTest::newRow("text after closing quote dropped") << u"\"a b\"zz,c"_s << QStringList { u"a b"_s, u"c"_s };
    QTest::newRow("unclosed quote ends at line end") << u"\"a b\r\nc"_s << QStringList { u"a b"_s, u"c"_s };
    QTest::newRow("empty line is an empty item") << u"a\r\n\r\nb"_s << QStringList { u"a"_s, QString(), u"b"_s };
    QTest::newRow("trailing comma leaves an empty item") << u"a,\r\nb"_s << QStringList { u"a"_s, QString(), u"b"_s };
    QTest::newRow("empty text") << QString() << QStringList();
}

void tst_Prefs::items_splitLikeListInput()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    QCOMPARE(PreferencesFile::items(text), expected);
}

void tst_Prefs::parse_appliesUpToFirstMalformedItem_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<Settings>("expected");
    const Setting display { Key::Display, true, 0 };
    const Setting topMost { Key::OTop, true, 0 };
    QTest::newRow("written file reads back")
        << QByteArray("[Display]= False\r\n[AutHide]= True\r\n[LPos]= 2880\r\n[TPos]= 1440\r\n[OTop]= True\r\n")
        << Settings { { Key::Display, false, 0 }, { Key::AutHide, true, 0 }, { Key::LPos, false, 2880 },
               { Key::TPos, false, 1440 }, topMost };
    QTest::newRow("truth in any case") << QByteArray("[Display]= tRUE\r\n[OTop]= FALSE")
                                       << Settings { display, { Key::OTop, false, 0 } };
    QTest::newRow("numbers as truth") << QByteArray("[Display]= -1\r\n[OTop]= 0\r\n[AutHide]= 2.5")
                                      << Settings { display, { Key::OTop, false, 0 }, { Key::AutHide, true, 0 } };
    QTest::newRow("positions rounded, exponent, spaces") << QByteArray(
        "[LPos]= 12.6\r\n[TPos]=   1e3 ") << Settings { { Key::LPos, false, 13 }, { Key::TPos, false, 1000 } };
    QTest::newRow("first line without space applies nothing")
        << QByteArray("[Display]=True\r\n[OTop]= True\r\n") << Settings();
    QTest::newRow("key in other case ignored, reading goes on")
        << QByteArray("[lpos]= 10\r\n[OTop]= True\r\n") << Settings { topMost };
    QTest::newRow("unknown key with any value ignored")
        << QByteArray("[Colour]= purple\r\n[Display]= True") << Settings { display };
    QTest::newRow("bad truth stops") << QByteArray("[OTop]= True\r\n[AutHide]= maybe\r\n[Display]= True")
                                     << Settings { topMost };
    QTest::newRow("bad position stops") << QByteArray("[Display]= True\r\n[LPos]= left\r\n[OTop]= True")
                                        << Settings { display };
    QTest::newRow("empty value stops") << QByteArray("[Display]= True\r\n[TPos]= \r\n[OTop]= True")
                                       << Settings { display };
    QTest::newRow("position beyond 32 bits stops")
        << QByteArray("[Display]= True\r\n[LPos]= 1e12\r\n[OTop]= True") << Settings { display };
    QTest::newRow("not a number stops") << QByteArray("[Display]= True\r\n[LPos]= nan\r\n[OTop]= True")
                                        << Settings { display };
    QTest::newRow("empty line stops") << QByteArray("[Display]= True\r\n\r\n[OTop]= True") << Settings { display };
    QTest::newRow("quoted items and commas")
        << QByteArray("\"[Display]= True\",[OTop]= 1\r\n") << Settings { display, topMost };
    QTest::newRow("value keeps its own spaces after the first") << QByteArray("[OTop]=  True ") << Settings { topMost };
}

void tst_Prefs::parse_appliesUpToFirstMalformedItem()
{
    QFETCH(QByteArray, content);
    QFETCH(Settings, expected);
    QCOMPARE(PreferencesFile::parse(content), expected);
}

void tst_Prefs::parse_randomInput_keepsWhatCameBeforeIt()
{
    // Whatever follows a whole, valid file, the settings of that file come out first and unchanged.
    const QByteArray valid = PreferencesFile::format({ true, false, 90, 45, true });
    const Settings validSettings = PreferencesFile::parse(valid);
    QCOMPARE(validSettings.size(), 5);
    const QByteArray alphabet("[]=\" ,\r\n\t0123456789.eE-+TrueFalsDipyAtHdLPOo\x80\xff");
    QRandomGenerator random(20260812);
    for (int round = 0; round < 3000; ++round) {
        QByteArray tail;
        const int length = int(random.bounded(60));
        for (int i = 0; i < length; ++i)
            tail += alphabet.at(int(random.bounded(alphabet.size())));
        const Settings settings = PreferencesFile::parse(QByteArray(valid + tail));
        QVERIFY2(settings.size() >= 5 && settings.mid(0, 5) == validSettings, tail.toHex().constData());
        for (const Setting &setting : settings.mid(5)) {
            if (setting.key == Key::LPos || setting.key == Key::TPos)
                QVERIFY(!setting.flag);
            else
                QCOMPARE(setting.twips, 0);
        }
    }
}

void tst_Prefs::placement_keepsTitleBarReachable_data()
{
    QTest::addColumn<QRect>("frame");
    QTest::addColumn<QList<QRect>>("screens");
    QTest::addColumn<QPoint>("expected");
    const QRect primary(0, 0, 1280, 1000);
    const QRect second(1280, 0, 1920, 1080);
    QTest::newRow("on the primary stays") << QRect(100, 80, 532, 420) << QList { primary } << QPoint(100, 80);
    QTest::newRow("on a second screen stays")
        << QRect(2000, 500, 532, 420) << QList { primary, second } << QPoint(2000, 500);
    QTest::newRow("title bar partly on screen stays")
        << QRect(1200, 900, 532, 420) << QList { primary } << QPoint(1200, 900);
    QTest::newRow("screen that is gone: moved onto the primary")
        << QRect(2000, 500, 532, 420) << QList { primary } << QPoint(1280 - 532, 500);
    QTest::newRow("far left and above") << QRect(-5000, -3000, 532, 420) << QList { primary } << QPoint(0, 0);
    QTest::newRow("title bar just above the top") << QRect(100, -30, 532, 420) << QList { primary } << QPoint(100, 0);
    QTest::newRow("only a sliver of title bar") << QRect(1270, 10, 532, 420) << QList { primary } << QPoint(748, 10);
    QTest::newRow("larger than the screen keeps its corner on it")
        << QRect(3000, 3000, 1600, 1200) << QList { primary } << QPoint(0, 0);
}

void tst_Prefs::placement_keepsTitleBarReachable()
{
    QFETCH(QRect, frame);
    QFETCH(QList<QRect>, screens);
    QFETCH(QPoint, expected);
    QCOMPARE(WindowPlacement::onScreen(frame, 24, screens, screens.first()), expected);
}

QTEST_GUILESS_MAIN(tst_Prefs)
#include "tst_prefs.moc"
