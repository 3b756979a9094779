// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindowFixture.h"
#include "common/ClickLabel.h"
#include "common/Twips.h"
#include "common/WindowSystem.h"
#include "mainwindow/DisplayModes.h"

#include <QAction>
#include <QDir>
#include <QFrame>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScopeGuard>
#include <QScreen>
#include <QTableView>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
constexpr int kSlack = 15; // one pixel's worth of twips

bool near(int actual, int expected)
{
    return qAbs(actual - expected) <= kSlack;
}

QString prefsPath(const MainWindowFixture &f)
{
    return f.folders.appPath(u"prefs.cfg"_s);
}

/** A point inside the entry frame, in pixels, with nothing on it, at height twips within the frame. */
QPoint frame2Point(int twips)
{
    return { Twips::toPixels(40), Twips::toPixels(twips) };
}

/** The window background between the toolbar and the clipboard panel. */
QPoint backgroundPoint(int step = 0)
{
    return { Twips::toPixels(5600) + step, Twips::toPixels(300) };
}
} // namespace

class tst_Modes : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void loadPrefs_appliesFile_data();
    void loadPrefs_appliesFile();
    void loadPrefs_positionOffEveryScreen_movedOntoPrimary();
    void exitAndQuit_writeFiveLines_escapeKeepsThem();
    void exit_unwritablePreferences_endsAnyway();
    void hideDisplay_collapsesAndHoldsHeight_switchesAutoHideOff();
    void autoHide_mouseRulesCollapseAndGrow();
    void autoHide_tallBars_collapseTo3000_lastStripShownGrows();
    void topMost_keepsPositionAndSize();
    void resetSize_fromMaximized_restoresNormalSize();
    void nativeWayland_keepsPlaceAndTopMostAsRead_data();
    void nativeWayland_keepsPlaceAndTopMostAsRead();
    void nativeWayland_maximizedWindowTakesSizeOnlyOnceNormal();
};

void tst_Modes::initTestCase()
{
    QFont font = QApplication::font();
    font.setPointSize(8);
    QApplication::setFont(font);
}

void tst_Modes::loadPrefs_appliesFile_data()
{
    QTest::addColumn<QByteArray>("file"); // null: no file at all
    QTest::addColumn<bool>("hideDisplay");
    QTest::addColumn<bool>("autoHide");
    QTest::addColumn<bool>("topMost");
    QTest::addColumn<int>("height");
    QTest::addColumn<QPoint>("position"); // twips; (-1, -1): where the window would be without a file

    const QPoint unmoved(-1, -1);
    QTest::newRow("no file") << QByteArray() << false << false << false << 6300 << unmoved;
    QTest::newRow("written by an earlier run")
        << QByteArray("[Display]= False\r\n[AutHide]= False\r\n[LPos]= 1500\r\n[TPos]= 750\r\n[OTop]= False\r\n")
        << false << false << false << 6300 << QPoint(1500, 750);
    QTest::newRow("hide display on: collapsed")
        << QByteArray("[Display]= True\r\n") << true << false << false << 3000 << unmoved;
    QTest::newRow("hide display switches auto hide off")
        << QByteArray("[AutHide]= True\r\n[Display]= True\r\n") << true << false << false << 3000 << unmoved;
    QTest::newRow("auto hide only arms the mouse rules")
        << QByteArray("[Display]= False\r\n[AutHide]= True\r\n") << false << true << false << 6300 << unmoved;
    QTest::newRow("top most") << QByteArray("[OTop]= True\r\n") << false << false << true << 6300 << unmoved;
    QTest::newRow("malformed item keeps what came before")
        << QByteArray("[OTop]= 1\r\n[LPos]= far\r\n[Display]= True\r\n") << false << false << true << 6300 << unmoved;
}

void tst_Modes::loadPrefs_appliesFile()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, hideDisplay);
    QFETCH(bool, autoHide);
    QFETCH(bool, topMost);
    QFETCH(int, height);
    QFETCH(QPoint, position);
    MainWindowFixture f;
    const QPoint unmoved = f.window->pos();
    if (!file.isNull())
        TestFolders::write(prefsPath(f), file);
    f.start();
    const mainScrControls &ui = f.ui;
    QCOMPARE(ui.mnuHideDisplay->isChecked(), hideDisplay);
    QCOMPARE(ui.mnuAutoHide->isChecked(), autoHide);
    QCOMPARE(ui.mnuOnTop->isChecked(), topMost);
    QCOMPARE(f.window->windowFlags().testFlag(Qt::WindowStaysOnTopHint), topMost);
    // Before the window is first shown its frame is unknown, so a full height set then may come out a frame higher.
    const int frame = Twips::fromPixels(f.window->frameGeometry().height() - f.window->height());
    QTRY_VERIFY2(
        qAbs(f.window->outerHeight() - height) <= frame + kSlack, qPrintable(QString::number(f.window->outerHeight())));
    if (position == QPoint(-1, -1)) {
        QCOMPARE(f.window->pos(), unmoved);
    } else {
        QVERIFY(near(Twips::fromPixels(f.window->pos().x()), position.x()));
        QVERIFY(near(Twips::fromPixels(f.window->pos().y()), position.y()));
    }
    QVERIFY(f.messages.shown.isEmpty());
}

void tst_Modes::loadPrefs_positionOffEveryScreen_movedOntoPrimary()
{
    MainWindowFixture f;
    // Saved on a monitor that is gone.
    TestFolders::write(prefsPath(f), "[LPos]= 60000\r\n[TPos]= -9000\r\n");
    f.start();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect frame = f.window->frameGeometry();
    // The title bar can be taken hold of: its ends lie on the screen.
    QVERIFY2(screen.contains(frame.topLeft()), qPrintable(u"%1,%2"_s.arg(frame.x()).arg(frame.y())));
    QVERIFY(screen.contains(QPoint(frame.right() - 8, frame.top())));
}

void tst_Modes::exitAndQuit_writeFiveLines_escapeKeepsThem()
{
    MainWindowFixture f;
    TestFolders::write(prefsPath(f), "[LPos]= 2880\r\n[TPos]= 1440\r\n[OTop]= True\r\n");
    f.start();
    f.ui.mnuExit->trigger();
    QCOMPARE(f.exit.count, 1);
    QCOMPARE(TestFolders::read(prefsPath(f)),
        QByteArray("[Display]= False\r\n[AutHide]= False\r\n[LPos]= 2880\r\n[TPos]= 1440\r\n[OTop]= True\r\n"));

    f.ui.mnuHideDisplay->trigger();
    QTest::mouseClick(f.ui.Image1[7], Qt::LeftButton);
    QCOMPARE(f.exit.count, 2);
    const QByteArray quit("[Display]= True\r\n[AutHide]= False\r\n[LPos]= 2880\r\n[TPos]= 1440\r\n[OTop]= True\r\n");
    QCOMPARE(TestFolders::read(prefsPath(f)), quit);

    // Escape ends the program without writing: the next start finds the file of the run before.
    f.ui.mnuAutoHide->trigger();
    QTest::keyClick(f.ui.Text1[RecordLine::Service], Qt::Key_Escape);
    QCOMPARE(f.exit.count, 3);
    QCOMPARE(TestFolders::read(prefsPath(f)), quit);
}

void tst_Modes::exit_unwritablePreferences_endsAnyway()
{
    MainWindowFixture f;
    f.start();
    // A folder where the file should be: nothing can replace it.
    QVERIFY(QDir().mkpath(prefsPath(f)));
    f.ui.mnuExit->trigger();
    QCOMPARE(f.exit.count, 1);
    QVERIFY(f.messages.shown.isEmpty());
    QVERIFY(QFileInfo(prefsPath(f)).isDir());
    QVERIFY(!f.window->modes().SavePrefs());
}

void tst_Modes::hideDisplay_collapsesAndHoldsHeight_switchesAutoHideOff()
{
    MainWindowFixture f;
    f.start();
    mainScr &w = *f.window;
    const mainScrControls &ui = f.ui;
    w.setOuterHeight(5000);
    QTRY_VERIFY(near(w.normalHeight(), 5000));

    ui.mnuAutoHide->trigger();
    ui.mnuHideDisplay->trigger();
    QVERIFY(ui.mnuHideDisplay->isChecked());
    QVERIFY(!ui.mnuAutoHide->isChecked());
    QTRY_VERIFY(near(w.outerHeight(), 3000));
    // While collapsed the window keeps its height, and NormalHeight does not follow it.
    w.setOuterHeight(4500);
    QTRY_VERIFY(near(w.outerHeight(), 3000));
    QVERIFY(near(w.normalHeight(), 5000));

    // Auto Hide switches Hide Display off in turn, without changing the height.
    ui.mnuAutoHide->trigger();
    QVERIFY(!ui.mnuHideDisplay->isChecked());
    QTest::qWait(20);
    QVERIFY(near(w.outerHeight(), 3000));
    ui.mnuAutoHide->trigger();
    QTRY_VERIFY(near(w.outerHeight(), 5000));

    ui.mnuHideDisplay->trigger();
    QTRY_VERIFY(near(w.outerHeight(), 3000));
    ui.mnuHideDisplay->trigger();
    QVERIFY(!ui.mnuHideDisplay->isChecked());
    QTRY_VERIFY(near(w.outerHeight(), 6300));
    QCOMPARE(w.normalHeight(), 6300);
}

void tst_Modes::autoHide_mouseRulesCollapseAndGrow()
{
    MainWindowFixture f;
    f.start();
    mainScr &w = *f.window;
    const mainScrControls &ui = f.ui;
    // Without Auto Hide the mouse changes nothing.
    QTest::mouseMove(ui.Text1[RecordLine::Service], QPoint(10, 5));
    QTest::mouseMove(w.centralWidget(), backgroundPoint());
    QTest::qWait(20);
    const int full = w.normalHeight();
    QVERIFY(near(w.outerHeight(), full));

    ui.mnuAutoHide->trigger();
    QTest::mouseMove(ui.Text1[RecordLine::Service], QPoint(12, 5));
    QTRY_VERIFY(near(w.outerHeight(), 3000));
    // From the box down to the frame's lowest 150 twips: back to full height; the frame's upper part collapses.
    QTest::mouseMove(ui.Frame2, frame2Point(1560));
    QTRY_VERIFY(near(w.outerHeight(), full));
    QTest::mouseMove(ui.Frame2, frame2Point(100));
    QTRY_VERIFY(near(w.outerHeight(), 3000));
    QTest::mouseMove(ui.Frame2, frame2Point(1600));
    QTRY_VERIFY(near(w.outerHeight(), full));
    // Just above the lowest 150 twips is the upper part still.
    QTest::mouseMove(ui.Frame2, frame2Point(1440));
    QTRY_VERIFY(near(w.outerHeight(), 3000));
    QTest::mouseMove(ui.Text1[RecordLine::Password], QPoint(8, 5));
    QTRY_VERIFY(near(w.outerHeight(), 3000));
    QTest::mouseMove(ui.Frame2, frame2Point(1560));
    QTRY_VERIFY(near(w.outerHeight(), full));
    QTest::mouseMove(w.centralWidget(), backgroundPoint());
    QTRY_VERIFY(near(w.outerHeight(), 3000));
    // The collapsed height under Auto Hide is not taken as the new full height.
    QCOMPARE(w.normalHeight(), full);

    // Switching Auto Hide off brings the full height back at once.
    ui.mnuAutoHide->trigger();
    QTRY_VERIFY(near(w.outerHeight(), full));
}

void tst_Modes::autoHide_tallBars_collapseTo3000_lastStripShownGrows()
{
    MainWindowFixture f;
    f.start();
    mainScr &w = *f.window;
    const mainScrControls &ui = f.ui;
    // As high as a thick title bar and a menu bar: the frame's lowest 150 twips lie below the collapsed window.
    w.menuBar()->setFixedHeight(56);
    QTRY_COMPARE(w.centralWidget()->y(), 56);
    const int full = w.normalHeight();
    ui.mnuAutoHide->trigger();
    QTest::mouseMove(ui.Text1[RecordLine::Service], QPoint(12, 5));
    QTRY_VERIFY(near(w.outerHeight(), 3000));
    // The last 150 twips of the frame in view grow the window, over the Path box too, and further down keep it grown.
    QWidget *path = ui.Text1[RecordLine::Path];
    const int shown = w.height() - path->mapTo(&w, QPoint(0, 0)).y();
    QVERIFY(shown > Twips::toPixels(150) && shown < path->height());
    QTest::mouseMove(path, QPoint(20, shown - 2));
    QTRY_VERIFY(near(w.outerHeight(), full));
    QTest::mouseMove(path, QPoint(20, path->height() - 2));
    QTest::qWait(20);
    QVERIFY(near(w.outerHeight(), full));
    QTest::mouseMove(path, QPoint(20, shown - Twips::toPixels(150) - 3));
    QTRY_VERIFY(near(w.outerHeight(), 3000));
}

void tst_Modes::topMost_keepsPositionAndSize()
{
    MainWindowFixture f;
    f.start();
    mainScr &w = *f.window;
    w.move(40, 30);
    w.setOuterSize(7000, 5500);
    QTRY_VERIFY(near(w.outerHeight(), 5500));
    const QRect before = w.frameGeometry();
    f.ui.mnuOnTop->trigger();
    QVERIFY(f.ui.mnuOnTop->isChecked());
    QVERIFY(w.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QTRY_COMPARE(w.frameGeometry(), before);
    f.ui.mnuOnTop->trigger();
    QVERIFY(!w.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(w.isVisible());
    QTRY_COMPARE(w.frameGeometry(), before);
}

void tst_Modes::resetSize_fromMaximized_restoresNormalSize()
{
    MainWindowFixture f;
    f.start();
    mainScr &w = *f.window;
    const mainScrControls &ui = f.ui;
    ui.mnuOnTop->trigger();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QPoint position = w.pos();
    ui.mnuAutoHide->trigger();
    w.setOuterSize(6000, 4000);
    QTRY_VERIFY(near(w.outerHeight(), 4000));
    ui.ResetSize->trigger();
    QTRY_VERIFY(near(w.outerWidth(), 7980) && near(w.outerHeight(), 6300));
    QVERIFY(!ui.mnuAutoHide->isChecked());
    QVERIFY(!ui.mnuHideDisplay->isChecked());
    QCOMPARE(w.normalHeight(), 6300);
    QCOMPARE(w.pos(), position);
    QVERIFY(ui.mnuOnTop->isChecked());

    ui.mnuHideDisplay->trigger();
    w.showMaximized();
    QTRY_VERIFY(w.isMaximized());
    ui.ResetSize->trigger();
    QTRY_VERIFY(!w.isMaximized());
    QTRY_VERIFY(near(w.outerWidth(), 7980) && near(w.outerHeight(), 6300));
    QVERIFY(!ui.mnuHideDisplay->isChecked());
}

void tst_Modes::nativeWayland_keepsPlaceAndTopMostAsRead_data()
{
    QTest::addColumn<QByteArray>("file"); // null: no file at all
    QTest::addColumn<QByteArray>("written"); // %1 %2: the place the window was given, in twips
    QTest::newRow("written by a run elsewhere")
        << QByteArray("[Display]= False\r\n[AutHide]= True\r\n[LPos]= 2880\r\n[TPos]= 1440\r\n[OTop]= True\r\n")
        << QByteArray("[Display]= False\r\n[AutHide]= True\r\n[LPos]= 2880\r\n[TPos]= 1440\r\n[OTop]= True\r\n");
    QTest::newRow("no file: the place the window was given")
        << QByteArray()
        << QByteArray("[Display]= False\r\n[AutHide]= False\r\n[LPos]= %1\r\n[TPos]= %2\r\n[OTop]= False\r\n");
}

void tst_Modes::nativeWayland_keepsPlaceAndTopMostAsRead()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, written);
    WindowSystem::pretendNativeWayland(true);
    const auto platform = qScopeGuard([] { WindowSystem::pretendNativeWayland(std::nullopt); });
    MainWindowFixture f;
    const QPoint given = f.window->pos();
    if (!file.isNull())
        TestFolders::write(prefsPath(f), file);
    f.start();
    mainScr &w = *f.window;
    // The desktop keeps windows above others there: the entry says where, and changes nothing itself.
    QVERIFY(!f.ui.mnuOnTop->isEnabled());
    QVERIFY(!f.ui.mnuOnTop->isChecked());
    QVERIFY(f.ui.mnuOnTop->toolTip().contains(u"\"Always on Top\""_s));
    QVERIFY(f.ui.mnuPreferencesTop->toolTipsVisible());
    QVERIFY(!w.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(w.pos(), given);

    // The place the platform reports there is the frame's offset, nothing the next run could use.
    w.move(-3, -30);
    f.ui.mnuExit->trigger();
    QCOMPARE(QString::fromLatin1(TestFolders::read(prefsPath(f))),
        QString::fromLatin1(written).arg(Twips::fromPixels(given.x())).arg(Twips::fromPixels(given.y())));
}

void tst_Modes::nativeWayland_maximizedWindowTakesSizeOnlyOnceNormal()
{
    WindowSystem::pretendNativeWayland(true);
    const auto platform = qScopeGuard([] { WindowSystem::pretendNativeWayland(std::nullopt); });
    MainWindowFixture f;
    f.start();
    mainScr &w = *f.window;
    const QSize normal = w.size();
    w.showMaximized();
    QTRY_VERIFY(w.isMaximized() && w.size() != normal);
    const QSize maximized = w.size();
    // The compositor sizes a maximized window; one that sizes itself there is cut off from the display.
    f.ui.mnuHideDisplay->trigger();
    QTest::qWait(20);
    QCOMPARE(w.size(), maximized);
    // Back to normal: the size follows once the compositor has given the window its normal size back.
    f.ui.ResetSize->trigger();
    QTRY_VERIFY(!w.isMaximized());
    QTRY_VERIFY2(near(w.outerWidth(), 7980) && near(w.outerHeight(), 6300),
        qPrintable(u"%1 x %2"_s.arg(w.outerWidth()).arg(w.outerHeight())));
}

QTEST_MAIN(tst_Modes)
#include "tst_modes.moc"
