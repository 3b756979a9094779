// SPDX-License-Identifier: GPL-3.0-or-later
#include "Controls.h"
#include "Fakes.h"
#include "FileModes.h"
#include "TestFolders.h"
#include "app/CommandLine.h"
#include "app/HandOver.h"
#include "app/PlatformChoice.h"
#include "app/Splash.h"
#include "app/Startup.h"
#include "common/AppFolders.h"
#include "common/AppInfo.h"
#include "common/ClickLabel.h"
#include "i18n/Language.h"
#include "mainwindow/mainScr.h"
#include "security/Ask4Pass.h"
#include "security/OwnerFile.h"
#include "security/OwnerRecord.h"
#include "store/Database.h"
#include "store/RecordLine.h"

#include <QLabel>
#include <QLineEdit>
#include <QLockFile>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QSysInfo>
#include <QTest>
#include <QTimer>

#include <future>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {
Ask4Pass *visibleAsk4Pass()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *ask = qobject_cast<Ask4Pass *>(widget); ask && ask->isVisible())
            return ask;
    }
    return nullptr;
}

} // namespace

class tst_App : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void createDataFolder_firstAndLaterStarts();
    void splash_handsOverAfterFourSecondsOrAClick();
    void splash_webLinkOpensOurPage();
    void about_staysUntilClosed();
    void startup_showsMainWindowAfterSplash();
    void startup_secondCopyOnSameFolderEnds();
    void startup_laterStartBringsRunningCopyForward();
    void startup_laterStartWhileOwnerIsAsked_bringsAsk4PassNotMainWindow();
    void startup_leftLockIsTakenOver_data();
    void startup_leftLockIsTakenOver();
    void startup_removesStaleTemporaryDatabaseAndCopies();
    void splash_takesTextsFromLanguageTable();
    void load_level1_asksOwnerFirstThenShowsDecipheredRecords();
    void platform_waylandSessionWithXServer_runsAsX11_data();
    void platform_waylandSessionWithXServer_runsAsX11();
    void commandLine_data();
    void commandLine();
};

void tst_App::createDataFolder_firstAndLaterStarts()
{
    TestFolders folders;
    ::umask(0);
    Startup::CreateDataFolder();
    ::umask(022);
    QVERIFY(QFileInfo(folders.data()).isDir());
    QCOMPARE(modeOf(folders.data()), 0700);
    QCOMPARE(TestFolders::read(folders.appPath(u".hidden"_s)), "Data\n");

    // A later start finds it; a folder opened up by hand is made private again.
    TestFolders::write(folders.data() + u"/userDB.pdb"_s, "kept");
    ::chmod(QFile::encodeName(folders.data()).constData(), 0755);
    Startup::CreateDataFolder();
    QCOMPARE(modeOf(folders.data()), 0700);
    QCOMPARE(TestFolders::read(folders.data() + u"/userDB.pdb"_s), "kept");
    QCOMPARE(TestFolders::read(folders.appPath(u".hidden"_s)), "Data\n");
}

void tst_App::splash_handsOverAfterFourSecondsOrAClick()
{
    {
        QPointer<Splash> splash = new Splash;
        QSignalSpy handOver(splash, &Splash::handOver);
        QCOMPARE(control<QTimer>(splash, u"Timer1"_s)->interval(), 4000);
        QVERIFY(control<QTimer>(splash, u"Timer1"_s)->isActive());
        QVERIFY(!control<ClickLabel>(splash, u"Label5"_s)->isVisibleTo(splash));
        control<QTimer>(splash, u"Timer1"_s)->setInterval(20); // the same timer, sooner
        control<QTimer>(splash, u"Timer1"_s)->start();
        QTRY_COMPARE(handOver.count(), 1);
        QTRY_VERIFY(splash.isNull());
    }
    QPointer<Splash> splash = new Splash;
    splash->show();
    QSignalSpy handOver(splash, &Splash::handOver);
    // The hand-over runs once: the splash is gone before it starts, and a click then changes nothing.
    bool goneWhenHandedOver = false;
    connect(splash, &Splash::handOver, this, [&] {
        goneWhenHandedOver = !splash->isVisible();
        QTest::mouseClick(splash, Qt::LeftButton, {}, QPoint(5, 5));
        control<QTimer>(splash, u"Timer1"_s)->setInterval(0);
        control<QTimer>(splash, u"Timer1"_s)->start();
    });
    QTest::mouseClick(splash, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(handOver.count(), 1);
    QVERIFY(goneWhenHandedOver);
    QTRY_VERIFY(splash.isNull());
    QCOMPARE(handOver.count(), 1);
}

void tst_App::splash_webLinkOpensOurPage()
{
    FakeShell shell;
    Splash splash;
    splash.show();
    QTest::mouseClick(control<ClickLabel>(&splash, u"lblWeb"_s), Qt::LeftButton);
    QTest::mouseClick(control<ClickLabel>(&splash, u"imgWeb"_s), Qt::LeftButton);
    QCOMPARE(shell.opened, (QStringList { AppInfo::webPage, AppInfo::webPage }));
    QVERIFY(QUrl(AppInfo::webPage).host().endsWith(u".example"_s));
    QVERIFY(splash.isVisible());
}

void tst_App::about_staysUntilClosed()
{
    QPointer<Splash> about = new Splash;
    QSignalSpy handOver(about, &Splash::handOver);
    QVERIFY(!control<QLabel>(about, u"lblRelease"_s)->isVisibleTo(about));
    about->showAsAbout();
    QVERIFY(control<ClickLabel>(about, u"Label5"_s)->isVisible());
    // Which release is installed, beside the splash's own version line.
    QVERIFY(control<QLabel>(about, u"lblRelease"_s)->isVisible());
    QVERIFY(!control<QTimer>(about, u"Timer1"_s)->isActive());
    QTest::qWait(50);
    QCOMPARE(handOver.count(), 0);
    QTest::mouseClick(control<ClickLabel>(about, u"Label5"_s), Qt::LeftButton);
    QTRY_VERIFY(about.isNull());
    QCOMPARE(handOver.count(), 0);
}

void tst_App::startup_showsMainWindowAfterSplash()
{
    TestFolders folders;
    FakeMessages messages;
    FakeExit exit;
    Startup startup;
    QVERIFY(startup.run());
    QVERIFY(startup.splash());
    QVERIFY(!startup.mainWindow());
    control<QTimer>(startup.splash(), u"Timer1"_s)->setInterval(10);
    control<QTimer>(startup.splash(), u"Timer1"_s)->start();
    QTRY_VERIFY(startup.mainWindow() && startup.mainWindow()->isVisible());
    QTRY_VERIFY(!startup.splash());
    QCOMPARE(startup.mainWindow()->windowTitle(), u"Corvane"_s);
    QVERIFY(Language::isEnglish());

    // About shows the splash again without a second main window.
    mainScr *main = startup.mainWindow();
    Q_EMIT main->aboutRequested();
    QVERIFY(startup.splash() && control<ClickLabel>(startup.splash(), u"Label5"_s)->isVisible());
    QTest::mouseClick(startup.splash(), Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(startup.mainWindow(), main);
    QVERIFY(messages.shown.isEmpty());
    QCOMPARE(exit.count, 0);
}

void tst_App::startup_secondCopyOnSameFolderEnds()
{
    TestFolders folders;
    FakeMessages messages;
    Startup first;
    QVERIFY(first.run());
    Startup second;
    QVERIFY(!second.run());
    QCOMPARE(messages.texts(), QStringList { u"Corvane is already running with the records of this folder."_s });
    QVERIFY(!second.splash());
}

void tst_App::startup_laterStartBringsRunningCopyForward()
{
    TestFolders folders;
    FakeMessages messages;
    Startup first;
    QVERIFY(first.run());
    // The later start is another process; here it waits in a thread of its own while this one answers.
    std::future<bool> later = std::async(std::launch::async, [] { return HandOver::askRunning(10000); });
    QTRY_VERIFY(later.wait_for(std::chrono::seconds(0)) == std::future_status::ready);
    QVERIFY(later.get());
    QTRY_COMPARE(QApplication::activeWindow(), first.splash());
    QVERIFY(messages.shown.isEmpty());
}

void tst_App::startup_laterStartWhileOwnerIsAsked_bringsAsk4PassNotMainWindow()
{
    TestFolders folders;
    FakeMessages messages;
    FakeExit exit;
    QDir().mkpath(folders.data());
    QVERIFY(OwnerFile::write(OwnerRecord::build(u"xx-xx-xxxx"_s, u"k3y"_s, u"05-17-2099"_s, Level::ProgramOnly)));
    Startup startup;
    QVERIFY(startup.run());
    bool mainHidden = false;
    bool askInFront = false;
    // Acts while the start waits for the owner, inside that wait.
    QTimer answer;
    connect(&answer, &QTimer::timeout, this, [&] {
        Ask4Pass *ask = visibleAsk4Pass();
        if (!ask)
            return;
        answer.stop();
        ask->showMinimized();
        startup.bringForward();
        mainHidden = !startup.mainWindow()->isVisible();
        askInFront = !ask->isMinimized() && QTest::qWaitForWindowActive(ask);
        ask->findChild<QLineEdit *>(u"Text1"_s)->setText(u"k3y"_s);
        ask->findChild<QPushButton *>(u"Command2"_s)->click();
    });
    answer.start(10);
    control<QTimer>(startup.splash(), u"Timer1"_s)->setInterval(0);
    control<QTimer>(startup.splash(), u"Timer1"_s)->start();
    QTRY_VERIFY(startup.mainWindow() && startup.mainWindow()->isVisible());
    QVERIFY(mainHidden);
    QVERIFY(askInFront);
    QCOMPARE(exit.count, 0);
}

void tst_App::startup_leftLockIsTakenOver_data()
{
    QTest::addColumn<QByteArray>("content"); // %1 is replaced by the process id of a program named corvane
    QTest::newRow("empty (power cut at start)") << QByteArray();
    QTest::newRow("from another machine") << QByteArray("4242\ncorvane\nsomewhere-else.example\n");
    QTest::newRow("a process id now used by another corvane") << QByteArray("%1\ncorvane\n%2\n");
    QTest::newRow("not a lock file") << QByteArray("\x01\x02 whatever");
}

void tst_App::startup_leftLockIsTakenOver()
{
    TestFolders folders;
    FakeMessages messages;
    QFETCH(QByteArray, content);
    // A running program of the same name that has nothing to do with this folder.
    const QString other = folders.root() + u"/corvane"_s;
    QVERIFY(QFile::copy(QStandardPaths::findExecutable(u"sleep"_s), other));
    QProcess sleeper;
    sleeper.start(other, { u"30"_s });
    QVERIFY(sleeper.waitForStarted());
    content.replace("%1", QByteArray::number(sleeper.processId())).replace("%2", QSysInfo::machineHostName().toUtf8());
    QDir().mkpath(folders.data());
    TestFolders::write(AppFolders::instanceLock(), content);

    Startup startup;
    QVERIFY(startup.run());
    QVERIFY(startup.splash());
    QVERIFY(messages.shown.isEmpty());
    // The lock is this run's now: another start on the folder is turned away.
    Startup second;
    QVERIFY(!second.run());
    sleeper.kill();
    sleeper.waitForFinished();
}

void tst_App::startup_removesStaleTemporaryDatabaseAndCopies()
{
    TestFolders folders;
    const QString stale = AppFolders::temporaryDatabase();
    TestFolders::write(stale, "left by a killed run");
    // Copies a write killed half-way leaves beside its file go too; the files themselves, and a name that only
    // looks alike, stay.
    const QStringList left = { u"Data/userDB.pdb.Ab3xYz"_s, u"Data/ground.lnk.QwErTy"_s, u"Data/userDB.edb.zzzzzz"_s,
        u"prefs.cfg.a1B2c3"_s };
    const QStringList kept = { u"Data/userDB.pdb"_s, u"Data/notes.txt.Ab3xYz"_s, u"Data/userDB.pdb.Ab3xY"_s };
    for (const QString &file : left + kept)
        TestFolders::write(folders.appPath(file), "x");
    Startup startup;
    QVERIFY(startup.run());
    QVERIFY(!QFile::exists(stale));
    for (const QString &file : left)
        QVERIFY2(!QFile::exists(folders.appPath(file)), qPrintable(file));
    for (const QString &file : kept)
        QVERIFY2(QFile::exists(folders.appPath(file)), qPrintable(file));
}

void tst_App::splash_takesTextsFromLanguageTable()
{
    TestFolders folders;
    TestFolders::write(folders.shipped() + u"/intl/Deutsch.dat"_s,
        "0=Die Macher\r\n1=Zeile eins\r\n2=Zeile zwei\r\n3=Fenster schliessen\r\n4=Gemacht von uns\r\n");
    Language::setCurrentLanguage(u"Deutsch"_s);
    Splash splash;
    Language::setCurrentLanguage(Language::English);
    QCOMPARE(control<QLabel>(&splash, u"Label3"_s)->text(), u"Die Macher"_s);
    QCOMPARE(control<QLabel>(&splash, u"Label1"_s)->text(), u"Zeile eins"_s);
    QCOMPARE(control<QLabel>(&splash, u"Label2"_s)->text(), u"Zeile zwei"_s);
    QCOMPARE(control<ClickLabel>(&splash, u"Label5"_s)->text(), u"Fenster schliessen"_s);
    QVERIFY(control<QLabel>(&splash, u"Label4"_s)->text().startsWith(u"Gemacht von uns - v1.0 - 05/2002"_s));
}

void tst_App::load_level1_asksOwnerFirstThenShowsDecipheredRecords()
{
    TestFolders folders;
    FakeMessages messages;
    FakeExit exit;
    QDir().mkpath(folders.data());
    const QStringList records = { RecordLine::build({ u"Bank"_s, {}, u"me"_s, u"pw"_s, {} }, u"05-17-2002 14:03:59"_s),
        RecordLine::build({ u"Alpha"_s, {}, u"a"_s, u"b"_s, {} }, u"05-17-2002 14:03:59"_s) };
    Database database;
    QVERIFY(database.RewriteDatabase(Level::None, records, {}));
    QVERIFY(database.EncryptPlainToDB(u"k3y"_s));
    QVERIFY(
        OwnerFile::write(OwnerRecord::build(u"xx-xx-xxxx"_s, u"k3y"_s, u"05-17-2026"_s, Level::ProgramAndDatabase)));
    TestFolders::write(folders.appPath(u"prefs.cfg"_s),
        "[Display]= False\r\n[AutHide]= False\r\n[LPos]= 1500\r\n"
        "[TPos]= 900\r\n[OTop]= False\r\n");

    mainScr window;
    bool checkedWhileAsking = false;
    QTimer::singleShot(0, [&] {
        QTRY_VERIFY(visibleAsk4Pass());
        // While the owner is asked the preferences are in force, the main window is hidden and nothing is loaded.
        checkedWhileAsking = !window.isVisible() && window.records().rowCount() == 0 && window.x() == 100
            && !window.hasOwnerPassword();
        visibleAsk4Pass()->findChild<QLineEdit *>(u"Text1"_s)->setText(u"k3y"_s);
        visibleAsk4Pass()->findChild<QPushButton *>(u"Command2"_s)->click();
    });
    window.Form_Load();
    QVERIFY(checkedWhileAsking);
    QVERIFY(window.isVisible());
    QCOMPARE(window.level(), Level::ProgramAndDatabase);
    QCOMPARE(window.records().rowCount(), 2);
    QCOMPARE(window.records().index(0, 0).data().toString(), u"Alpha"_s);
    // The deciphered copy is gone once the records are in memory.
    QVERIFY(!QFile::exists(database.files().temporary));
    QVERIFY(messages.shown.isEmpty());
    QCOMPARE(exit.count, 0);
}

void tst_App::platform_waylandSessionWithXServer_runsAsX11_data()
{
    QTest::addColumn<QByteArray>("chosen"); // QT_QPA_PLATFORM
    QTest::addColumn<QByteArray>("wayland"); // WAYLAND_DISPLAY
    QTest::addColumn<QByteArray>("session"); // XDG_SESSION_TYPE
    QTest::addColumn<QByteArray>("display"); // DISPLAY
    QTest::addColumn<QByteArray>("platform");
    QTest::addColumn<bool>("windowPossible"); // false: Corvane ends at once, saying there is no display
    QTest::newRow("GNOME or Plasma on Wayland") << QByteArray() << QByteArray("wayland-0") << QByteArray("wayland")
                                                << QByteArray(":0") << QByteArray("xcb;wayland") << true;
    QTest::newRow("session type alone names Wayland") << QByteArray() << QByteArray() << QByteArray("wayland")
                                                      << QByteArray(":1") << QByteArray("xcb;wayland") << true;
    QTest::newRow("user chose Wayland") << QByteArray("wayland") << QByteArray("wayland-0") << QByteArray("wayland")
                                        << QByteArray(":0") << QByteArray() << true;
    QTest::newRow("no X server for X11 programs")
        << QByteArray() << QByteArray("wayland-0") << QByteArray("wayland") << QByteArray() << QByteArray() << true;
    QTest::newRow("X11 session") << QByteArray() << QByteArray() << QByteArray("x11") << QByteArray(":0")
                                 << QByteArray() << true;
    QTest::newRow("over ssh: no display at all")
        << QByteArray() << QByteArray() << QByteArray("tty") << QByteArray() << QByteArray() << false;
    QTest::newRow("a platform chosen without a display")
        << QByteArray("offscreen") << QByteArray() << QByteArray() << QByteArray() << QByteArray() << true;
}

void tst_App::platform_waylandSessionWithXServer_runsAsX11()
{
    QFETCH(QByteArray, chosen);
    QFETCH(QByteArray, wayland);
    QFETCH(QByteArray, session);
    QFETCH(QByteArray, display);
    QFETCH(QByteArray, platform);
    QFETCH(bool, windowPossible);
    QCOMPARE(PlatformChoice::platformFor({ chosen, wayland, session, display }), platform);
    QCOMPARE(PlatformChoice::noDisplay({ chosen, wayland, session, display }).isEmpty(), windowPossible);
}

void tst_App::commandLine_data()
{
    using Action = CommandLine::Action;
    QTest::addColumn<QStringList>("arguments"); // after the program's name
    QTest::addColumn<Action>("action");
    QTest::addColumn<QString>("begins"); // what the text to print begins with
    QTest::newRow("none") << QStringList() << Action::Run << QString();
    QTest::newRow("Qt's own options, as a session manager passes them")
        << QStringList { u"-session"_s, u"1234_5"_s, u"-platform"_s, u"xcb"_s, u"--style=Fusion"_s, u"-reverse"_s }
        << Action::Run << QString();
    QTest::newRow("--help") << QStringList { u"--help"_s } << Action::ShowHelp << u"Usage: corvane [options]\n"_s;
    QTest::newRow("-h after a Qt option")
        << QStringList { u"-style"_s, u"Fusion"_s, u"-h"_s } << Action::ShowHelp << u"Usage: corvane [options]\n"_s;
    QTest::newRow("--version") << QStringList { u"--version"_s } << Action::ShowVersion
                               << u"Corvane "_s + AppInfo::version + u'\n';
    QTest::newRow("-v") << QStringList { u"-v"_s } << Action::ShowVersion << u"Corvane "_s + AppInfo::version;
    QTest::newRow("unknown option") << QStringList { u"--bogus"_s } << Action::Refuse
                                    << u"corvane: Unknown option 'bogus'.\n\nUsage: corvane"_s;
    QTest::newRow("Qt option without its value")
        << QStringList { u"-platform"_s } << Action::Refuse << u"corvane: Missing value after '-platform'."_s;
    QTest::newRow("a stray argument") << QStringList { u"records.pdb"_s } << Action::Refuse
                                      << u"corvane: Unexpected argument 'records.pdb'."_s;
}

void tst_App::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(CommandLine::Action, action);
    QFETCH(QString, begins);
    const CommandLine::Outcome outcome = CommandLine::parse(QStringList { u"/usr/bin/corvane"_s } + arguments);
    QCOMPARE(outcome.action, action);
    QVERIFY2(outcome.text.startsWith(begins), qPrintable(outcome.text));
    QCOMPARE(outcome.text.isEmpty(), begins.isEmpty());
}

QTEST_MAIN(tst_App)
#include "tst_app.moc"
