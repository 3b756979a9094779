// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppFolders.h"
#include "AppInfo.h"
#include "ClickLabel.h"
#include "Fakes.h"
#include "Language.h"
#include "Splash.h"
#include "Startup.h"
#include "TestFolders.h"
#include "mainScr.h"

#include <QLabel>
#include <QLockFile>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {
mode_t modeOf(const QString &path)
{
    struct stat info
    { };
    ::stat(QFile::encodeName(path).constData(), &info);
    return info.st_mode & 07777;
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
    void startup_removesStaleTemporaryDatabase();
    void splash_takesTextsFromLanguageTable();
};

void tst_App::createDataFolder_firstAndLaterStarts()
{
    TestFolders folders;
    ::umask(0);
    Startup::CreateDataFolder();
    ::umask(022);
    QVERIFY(QFileInfo(folders.data()).isDir());
    QCOMPARE(modeOf(folders.data()), mode_t(0700));
    QCOMPARE(TestFolders::read(folders.appPath(u".hidden"_s)), "Data\n");

    // A later start finds it; a folder opened up by hand is made private again.
    TestFolders::write(folders.data() + u"/userDB.pdb"_s, "kept");
    ::chmod(QFile::encodeName(folders.data()).constData(), 0755);
    Startup::CreateDataFolder();
    QCOMPARE(modeOf(folders.data()), mode_t(0700));
    QCOMPARE(TestFolders::read(folders.data() + u"/userDB.pdb"_s), "kept");
    QCOMPARE(TestFolders::read(folders.appPath(u".hidden"_s)), "Data\n");
}

void tst_App::splash_handsOverAfterFourSecondsOrAClick()
{
    {
        QPointer<Splash> splash = new Splash;
        QSignalSpy handOver(splash, &Splash::handOver);
        QCOMPARE(splash->Timer1->interval(), 4000);
        QVERIFY(splash->Timer1->isActive());
        QVERIFY(!splash->Label5->isVisibleTo(splash));
        splash->Timer1->setInterval(20); // the same timer, sooner
        splash->Timer1->start();
        QTRY_COMPARE(handOver.count(), 1);
        QTRY_VERIFY(splash.isNull());
    }
    QPointer<Splash> splash = new Splash;
    splash->show();
    QSignalSpy handOver(splash, &Splash::handOver);
    QTest::mouseClick(splash, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(handOver.count(), 1);
    QTRY_VERIFY(splash.isNull());
}

void tst_App::splash_webLinkOpensOurPage()
{
    FakeShell shell;
    Splash splash;
    splash.show();
    QTest::mouseClick(splash.lblWeb, Qt::LeftButton);
    QTest::mouseClick(splash.imgWeb, Qt::LeftButton);
    QCOMPARE(shell.opened, (QStringList { AppInfo::webPage, AppInfo::webPage }));
    QVERIFY(QUrl(AppInfo::webPage).host().endsWith(u".example"_s));
    QVERIFY(splash.isVisible());
}

void tst_App::about_staysUntilClosed()
{
    QPointer<Splash> about = new Splash;
    QSignalSpy handOver(about, &Splash::handOver);
    about->showAsAbout();
    QVERIFY(about->Label5->isVisible());
    QVERIFY(!about->Timer1->isActive());
    QTest::qWait(50);
    QCOMPARE(handOver.count(), 0);
    QTest::mouseClick(about->Label5, Qt::LeftButton);
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
    startup.splash()->Timer1->setInterval(10);
    startup.splash()->Timer1->start();
    QTRY_VERIFY(startup.mainWindow() && startup.mainWindow()->isVisible());
    QTRY_VERIFY(!startup.splash());
    QCOMPARE(startup.mainWindow()->windowTitle(), u"Corvane"_s);
    QVERIFY(Language::isEnglish());

    // About shows the splash again without a second main window.
    mainScr *main = startup.mainWindow();
    Q_EMIT main->aboutRequested();
    QVERIFY(startup.splash() && startup.splash()->Label5->isVisible());
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

void tst_App::startup_removesStaleTemporaryDatabase()
{
    TestFolders folders;
    const QString stale = AppFolders::temporaryDatabase();
    TestFolders::write(stale, "left by a killed run");
    Startup startup;
    QVERIFY(startup.run());
    QVERIFY(!QFile::exists(stale));
}

void tst_App::splash_takesTextsFromLanguageTable()
{
    TestFolders folders;
    TestFolders::write(folders.shipped() + u"/intl/Deutsch.dat"_s,
        "0=Die Macher\r\n1=Zeile eins\r\n2=Zeile zwei\r\n3=Fenster schliessen\r\n4=Gemacht von uns\r\n");
    Language::setCurrentLanguage(u"Deutsch"_s);
    Splash splash;
    Language::setCurrentLanguage(Language::English);
    QCOMPARE(splash.Label3->text(), u"Die Macher"_s);
    QCOMPARE(splash.Label1->text(), u"Zeile eins"_s);
    QCOMPARE(splash.Label2->text(), u"Zeile zwei"_s);
    QCOMPARE(splash.Label5->text(), u"Fenster schliessen"_s);
    QVERIFY(splash.Label4->text().startsWith(u"Gemacht von uns - v1.0 - 05/2002"_s));
}

QTEST_MAIN(tst_App)
#include "tst_app.moc"
