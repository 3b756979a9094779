// SPDX-License-Identifier: GPL-3.0-or-later
#include "Fakes.h"
#include "TestFolders.h"
#include "browser/BrowserClock.h"
#include "browser/BrowserLayout.h"
#include "browser/GripCounter.h"
#include "browser/LoadWatcher.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
// A 1024 x 768 screen at 96 dpi, in twips.
const TwipsRect kScreen { 0, 0, 15360, 11520 };

TwipsRect rect(int left, int top, int width, int height)
{
    return { left, top, width, height };
}
} // namespace

class tst_BrowserLayout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_folders = std::make_unique<TestFolders>(); }
    void cleanup() { m_folders.reset(); }

    void load_placesFrameByResizeRule();
    void resize_tooSmall_skipsOnlyFailingSteps();
    void gripStep_data();
    void gripStep();
    void gripStep_shrinkBelowMinimum_nextMoveJumpsTo910();
    void maximize_leaves400AtBottom_stopsClock_data();
    void maximize_leaves400AtBottom_stopsClock();
    void maximizeToggle_restoresNormalSize();
    void normalLayout_fromMaximized_nextMaximizeClickMaximizes();
    void theatre_coversScreen_barAtBottom_data();
    void theatre_coversScreen_barAtBottom();
    void theatreTwice_widensTrayBy800_normalLayoutResetsIt();
    void theatre_clockRoomFollowsFont();

    void gripTicks_countsTenMsTicksAndSaturates();
    void gripTicks_resetAndTimeUntil();

    void loadWatcher_firstLoad_disablesThenReadyOnce();
    void loadWatcher_refreshAfterReady_leavesButtonsAlone();
    void loadWatcher_stop_enablesWhileLoading_readyStillFollows();

    void clock_showsTimeAtOnce_stopsWhenStopped();
    void clock_ticksOnTheSecond();

private:
    std::unique_ptr<TestFolders> m_folders;
};

void tst_BrowserLayout::load_placesFrameByResizeRule()
{
    const BrowserLayout layout;
    const FrameGeometry &g = layout.geometry();
    QCOMPARE(g.window.width, 8070);
    QCOMPARE(g.window.height, 6435);
    QCOMPARE(g.frame1.height, 6435 - 580);
    QCOMPARE(g.webBrowser1.height, 6435 - 680);
    QCOMPARE(g.webBrowser1.width, 8070 - 100);
    QCOMPARE(g.picture2.top, 6435 - 360);
    QCOMPARE(g.picture2.left, 8070 - 340);
    QCOMPARE(g.closebtn.left, 8070 - 300);
    QCOMPARE(g.image5.left, 8070 - 600);
    QCOMPARE(g.image4.left, 8070 - 600 - g.image4.width);
    QCOMPARE(g.picture1.left, g.pictureBar.right());
    QVERIFY(g.image5Shown && !g.image7Shown && !g.image6Shown && !g.picture1Shown && !g.picture2Shown);
    QVERIFY(!layout.isMaximized());
    QVERIFY(layout.clockRunning());
}

void tst_BrowserLayout::resize_tooSmall_skipsOnlyFailingSteps()
{
    BrowserLayout layout;
    layout.windowResized(3000, 620);
    // 620 - 580 = 40 fits the frame, but the page would need -60: only that is left out.
    QCOMPARE(layout.geometry().frame1.height, 40);
    QCOMPARE(layout.geometry().webBrowser1.height, 6435 - 680);

    layout.windowResized(2000, 500);
    QCOMPARE(layout.geometry().frame1.height, 40);
    // The later steps still ran.
    QCOMPARE(layout.geometry().frame1.width, 2000);
    QCOMPARE(layout.geometry().lblbar.width, 2000);
    QCOMPARE(layout.geometry().picture2.top, 500 - 360);
    QCOMPARE(layout.geometry().closebtn.left, 1700);
}

void tst_BrowserLayout::gripStep_data()
{
    QTest::addColumn<QSize>("start"); // width x height
    QTest::addColumn<QPoint>("pointer");
    QTest::addColumn<QSize>("expected");
    QTest::addColumn<QPoint>("expectedGrip"); // left, top

    QTest::newRow("upper left shrinks both")
        << QSize(2000, 905) << QPoint(10, 10) << QSize(1960, 865) << QPoint(1960 - 340, 865 - 360);
    QTest::newRow("lower right grows both")
        << QSize(4000, 3000) << QPoint(400, 300) << QSize(4040, 3040) << QPoint(4040 - 340, 3040 - 360);
    QTest::newRow("upper right") << QSize(4000, 3000) << QPoint(400, 100) << QSize(4040, 2960)
                                 << QPoint(4040 - 340, 2960 - 360);
    QTest::newRow("exactly half counts as the upper left")
        << QSize(4000, 3000) << QPoint(270, 270) << QSize(3960, 2960) << QPoint(3960 - 340, 2960 - 360);
    QTest::newRow("too low jumps, width untouched")
        << QSize(4000, 900) << QPoint(400, 400) << QSize(4000, 910) << QPoint(4000 - 340, 910 - 225);
    QTest::newRow("too narrow jumps, height untouched")
        << QSize(850, 3000) << QPoint(10, 10) << QSize(910, 3000) << QPoint(910 - 370, 3000 - 360);
}

void tst_BrowserLayout::gripStep()
{
    QFETCH(QSize, start);
    QFETCH(QPoint, pointer);
    QFETCH(QSize, expected);
    QFETCH(QPoint, expectedGrip);

    BrowserLayout layout;
    layout.windowResized(start.width(), start.height());
    layout.gripStep(pointer.x(), pointer.y());
    const FrameGeometry &g = layout.geometry();
    QCOMPARE(QSize(g.window.width, g.window.height), expected);
    QCOMPARE(QPoint(g.picture2.left, g.picture2.top), expectedGrip);
}

void tst_BrowserLayout::gripStep_shrinkBelowMinimum_nextMoveJumpsTo910()
{
    BrowserLayout layout;
    layout.windowResized(2000, 905);
    layout.gripStep(0, 0);
    QCOMPARE(layout.geometry().window.height, 865);
    QCOMPARE(layout.geometry().window.width, 1960);
    layout.gripStep(0, 0);
    QCOMPARE(layout.geometry().window.height, 910);
    QCOMPARE(layout.geometry().window.width, 1960);
    QCOMPARE(layout.geometry().picture2.top, 910 - 225);
}

void tst_BrowserLayout::maximize_leaves400AtBottom_stopsClock_data()
{
    QTest::addColumn<TwipsRect>("area");
    QTest::newRow("whole screen") << kScreen;
    // A panel 26 px high along the top and one 20 px high along the bottom of a 1280 x 900 screen.
    QTest::newRow("between panels") << rect(0, 390, 19200, 13500 - 390 - 300);
}

void tst_BrowserLayout::maximize_leaves400AtBottom_stopsClock()
{
    QFETCH(TwipsRect, area);
    BrowserLayout layout;
    layout.maximizeWindow(area);
    const FrameGeometry &g = layout.geometry();
    QCOMPARE(g.window, rect(area.left, area.top, area.width, area.height - 400));
    QCOMPARE(g.frame1.height, area.height - 400 - 580);
    QCOMPARE(g.webBrowser1.height, area.height - 400 - 680);
    QCOMPARE(g.lblbar.width, area.width);
    QCOMPARE(g.picture1.top, 0);
    QCOMPARE(g.image7.left, area.width - 600);
    QVERIFY(g.image7Shown);
    QVERIFY(!g.image5Shown);
    QVERIFY(layout.isMaximized());
    QVERIFY(!layout.clockRunning());
    QVERIFY(layout.takeClipStatEmptied());
    QVERIFY(!layout.takeClipStatEmptied());
}

void tst_BrowserLayout::maximizeToggle_restoresNormalSize()
{
    BrowserLayout layout;
    layout.toggleMaximize(kScreen);
    layout.toggleMaximize(kScreen);
    const FrameGeometry &g = layout.geometry();
    QCOMPARE(g.window, rect(1935, 960, 8100, 6465));
    QCOMPARE(g.frame1.height, 6465 - 580);
    QCOMPARE(g.closebtn.left, 7785);
    QCOMPARE(g.image5.left, 7485);
    QCOMPARE(g.image4.left, 7245);
    QCOMPARE(g.picture1, rect(8115, 300, 1800, g.picture1.height));
    QCOMPARE(g.clipStatLbl.left, 120);
    QCOMPARE(g.clipStatLbl.top, 360);
    QVERIFY(g.image5Shown);
    QVERIFY(!g.image7Shown);
    QVERIFY(!layout.isMaximized());
    // Restoring does not start the clock again.
    QVERIFY(!layout.clockRunning());
}

void tst_BrowserLayout::normalLayout_fromMaximized_nextMaximizeClickMaximizes()
{
    BrowserLayout layout;
    layout.maximizeWindow(kScreen);
    layout.normalLayout();
    QCOMPARE(layout.geometry().window, rect(1935, 960, 8100, 6465));
    QCOMPARE(layout.geometry().frame1.top, 585);
    QCOMPARE(layout.geometry().frame1.height, 6465 - 600);
    QCOMPARE(layout.geometry().webBrowser1.height, 5745);
    QVERIFY(!layout.geometry().image7Shown);
    layout.toggleMaximize(kScreen);
    QCOMPARE(layout.geometry().window.height, kScreen.height - 400);
}

void tst_BrowserLayout::theatre_coversScreen_barAtBottom_data()
{
    maximize_leaves400AtBottom_stopsClock_data();
}

void tst_BrowserLayout::theatre_coversScreen_barAtBottom()
{
    QFETCH(TwipsRect, area);
    BrowserLayout layout;
    layout.maximizeWindow(area); // the clock stops ...
    layout.theatreLayout(area); // ... and theatre mode starts it again
    const FrameGeometry &g = layout.geometry();
    const int barTop = area.height - g.pictureBar.height;
    QCOMPARE(g.window, area);
    QCOMPARE(g.frame1.top, 0);
    QCOMPARE(g.frame1.height, barTop);
    QCOMPARE(g.webBrowser1.height, barTop - 100);
    QCOMPARE(g.pictureBar.top, barTop);
    QCOMPARE(g.text1, rect(g.pictureBar.right(), barTop, 1600, g.text1.height));
    QCOMPARE(g.image6.top, barTop);
    QCOMPARE(g.picture1.top, barTop);
    QCOMPARE(g.picture1.left, area.width - g.picture1.width - 100);
    QCOMPARE(g.clipStatLbl.top, g.label6.top);
    QVERIFY(g.image6Shown);
    QVERIFY(layout.clockRunning());
    QVERIFY(layout.isMaximized()); // theatre mode leaves the flag alone
}

void tst_BrowserLayout::theatreTwice_widensTrayBy800_normalLayoutResetsIt()
{
    BrowserLayout layout;
    const int normal = layout.geometry().picture1.width;
    QCOMPARE(normal, 1800);
    layout.theatreLayout(kScreen);
    layout.theatreLayout(kScreen);
    QCOMPARE(layout.geometry().picture1.width, normal + 800);
    QCOMPARE(layout.geometry().picture1.left, kScreen.width - (normal + 800) - 100);

    layout.leaveTheatre();
    QCOMPARE(layout.geometry().picture1.width, 1800);
    QCOMPARE(layout.geometry().text1, rect(2325, 5, 3600, layout.geometry().text1.height));
    QCOMPARE(layout.geometry().pictureBar.top, 285);
    QVERIFY(!layout.geometry().image6Shown);
}

void tst_BrowserLayout::theatre_clockRoomFollowsFont()
{
    BrowserLayout layout;
    layout.setClockRoom(300); // never less than the usual room
    layout.theatreLayout(kScreen);
    QCOMPARE(layout.geometry().clipStatLbl.left, 2200 - 520);
    layout.setClockRoom(900);
    layout.theatreLayout(kScreen);
    QCOMPARE(layout.geometry().clipStatLbl.left, 2600 - 900);
    // The tray's caption ends before the clock that now shares its row.
    QVERIFY(layout.geometry().label6.right() <= layout.geometry().clipStatLbl.left);
}

void tst_BrowserLayout::gripTicks_countsTenMsTicksAndSaturates()
{
    qint64 now = 1'000'000;
    const GripCounter ticks([&now] { return now; });
    QCOMPARE(ticks.value(), qint16(0));
    now += 499;
    QCOMPARE(ticks.value(), qint16(49));
    now += 1;
    QCOMPARE(ticks.value(), qint16(50));
    now += 327'660;
    QCOMPARE(ticks.value(), qint16(32'767));
    // Days later the count stays at its top instead of wrapping negative.
    now += 10LL * 24 * 3600 * 1000;
    QCOMPARE(ticks.value(), qint16(32'767));
}

void tst_BrowserLayout::gripTicks_resetAndTimeUntil()
{
    qint64 now = 0;
    GripCounter ticks([&now] { return now; });
    now = 5'000;
    QCOMPARE(ticks.msUntil(50), 0);
    ticks.reset();
    QCOMPARE(ticks.value(), qint16(0));
    now += 120;
    QCOMPARE(ticks.msUntil(50), 380);
}

void tst_BrowserLayout::loadWatcher_firstLoad_disablesThenReadyOnce()
{
    LoadWatcher watcher;
    QSignalSpy ready(&watcher, &LoadWatcher::ready);
    QSignalSpy idle(&watcher, &LoadWatcher::idle);
    watcher.navigationRequested();
    QVERIFY(watcher.isBusy());
    QVERIFY(!watcher.transfersEnabled());
    watcher.loadStarted();
    QVERIFY(!watcher.transfersEnabled());
    QCOMPARE(ready.size(), 0);

    watcher.loadFinished();
    QVERIFY(!watcher.isBusy());
    QVERIFY(watcher.transfersEnabled());
    QVERIFY(!watcher.isWatching());
    QCOMPARE(ready.size(), 1);
    QCOMPARE(idle.size(), 1);
}

void tst_BrowserLayout::loadWatcher_refreshAfterReady_leavesButtonsAlone()
{
    LoadWatcher watcher;
    watcher.navigationRequested();
    watcher.loadFinished();
    QSignalSpy ready(&watcher, &LoadWatcher::ready);
    QSignalSpy idle(&watcher, &LoadWatcher::idle);
    QSignalSpy enabled(&watcher, &LoadWatcher::transfersEnabledChanged);

    watcher.navigationRequested();
    watcher.loadStarted();
    QVERIFY(watcher.isBusy());
    QVERIFY(watcher.transfersEnabled());
    watcher.loadFinished();
    QCOMPARE(ready.size(), 0);
    QCOMPARE(idle.size(), 1);
    QCOMPARE(enabled.size(), 0);
}

void tst_BrowserLayout::loadWatcher_stop_enablesWhileLoading_readyStillFollows()
{
    LoadWatcher watcher;
    QSignalSpy ready(&watcher, &LoadWatcher::ready);
    watcher.navigationRequested();
    watcher.loadStarted();
    watcher.stopWaiting();
    QVERIFY(watcher.transfersEnabled());
    QVERIFY(watcher.isBusy());
    QVERIFY(watcher.isWatching());
    // The page goes on (a redirect starts another load): the watcher is still on.
    watcher.loadStarted();
    QVERIFY(!watcher.transfersEnabled());
    watcher.loadFinished();
    QCOMPARE(ready.size(), 1);
    QVERIFY(watcher.transfersEnabled());
}

void tst_BrowserLayout::clock_showsTimeAtOnce_stopsWhenStopped()
{
    FakeClock fake(QDateTime(QDate(2024, 3, 9), QTime(7, 5, 9, 400)));
    BrowserClock clock;
    QSignalSpy ticks(&clock, &BrowserClock::ticked);
    clock.start();
    QCOMPARE(ticks.size(), 1);
    QCOMPARE(ticks.at(0).at(0).toString(), u"07:05:09"_s);
    fake.set(QDateTime(QDate(2024, 3, 9), QTime(19, 0, 0, 0)));
    QTRY_COMPARE_WITH_TIMEOUT(ticks.size(), 2, 2000);
    QCOMPARE(ticks.at(1).at(0).toString(), u"19:00:00"_s);
    clock.stop();
    QTest::qWait(1200);
    QCOMPARE(ticks.size(), 2);
    QVERIFY(!clock.isRunning());
}

void tst_BrowserLayout::clock_ticksOnTheSecond()
{
    BrowserClock clock;
    QList<int> msecs;
    connect(&clock, &BrowserClock::ticked, this, [&msecs] { msecs.append(QTime::currentTime().msec()); });
    clock.start();
    QTRY_COMPARE_WITH_TIMEOUT(msecs.size(), 3, 3500);
    // After the first (at once), each tick comes just after a second begins.
    for (int i = 1; i < msecs.size(); ++i)
        QVERIFY2(msecs.at(i) < 100, qPrintable(QString::number(msecs.at(i))));
}

QTEST_GUILESS_MAIN(tst_BrowserLayout)
#include "tst_browserlayout.moc"
