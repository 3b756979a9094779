// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindowFixture.h"
#include "common/AppFolders.h"
#include "common/AppInfo.h"
#include "common/ClickLabel.h"
#include "common/Twips.h"
#include "mainwindow/ToolbarHover.h"

#include <QAction>
#include <QFrame>
#include <QLineEdit>
#include <QTableView>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
/** A line's ends in twips, as (x1, y1) - (x2, y2) with both ends inside it. */
QLine ends(const QWidget *line)
{
    const QRect g = line->geometry();
    return { Twips::fromPixels(g.left()), Twips::fromPixels(g.top()), Twips::fromPixels(g.right()),
        Twips::fromPixels(g.bottom()) };
}

bool near(const QLine &actual, const QLine &expected)
{
    const int slack = 15;
    return qAbs(actual.x1() - expected.x1()) <= slack && qAbs(actual.y1() - expected.y1()) <= slack
        && qAbs(actual.x2() - expected.x2()) <= slack && qAbs(actual.y2() - expected.y2()) <= slack;
}

QString describe(const QLine &line)
{
    return u"(%1,%2)-(%3,%4)"_s.arg(line.x1()).arg(line.y1()).arg(line.x2()).arg(line.y2());
}

QColor colourOf(const QWidget *line)
{
    return line->palette().color(QPalette::Window);
}

bool allVisible(const std::array<QFrame *, 4> &lines)
{
    return std::all_of(lines.begin(), lines.end(), [](const QFrame *l) { return l->isVisible(); });
}
} // namespace

class tst_Toolbar : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void buttonFrame_followsMouse_hidesOnEmptyPart();
    void buttonFrame_pressedLookUntilNextMove();
    void underline_sameLengthForEveryLabel_hidesOverGridBoxAndBackground();
    void helpAndWebButtons_openThroughDesktop();
};

void tst_Toolbar::initTestCase()
{
    QFont font = QApplication::font();
    font.setPointSize(8);
    QApplication::setFont(font);
}

void tst_Toolbar::buttonFrame_followsMouse_hidesOnEmptyPart()
{
    MainWindowFixture f;
    f.start();
    const mainScrControls &ui = f.ui;
    const QColor shadow = f.window->palette().color(QPalette::Dark);
    // Buttons 3 (left 1765) and 8 (left 2370): the frame moves with the mouse.
    for (const auto &[n, L] : { std::pair { 3, 1765 }, std::pair { 8, 2370 } }) {
        QTest::mouseMove(ui.Image1[n], QPoint(10 + n, 10));
        QTRY_VERIFY(allVisible(ui.Line1));
        const QLine expected[4] = {
            { L - 40, 60, L + 480 + 40, 60 }, // top
            { L + 480 + 40, 60, L + 480 + 40, 645 }, // right
            { L - 40, 645, L + 480 + 50, 645 }, // bottom, 10 further right
            { L - 40, 60, L - 40, 645 }, // left
        };
        for (int i = 0; i < 4; ++i)
            QVERIFY2(near(ends(ui.Line1[i]), expected[i]), qPrintable(describe(ends(ui.Line1[i]))));
        QCOMPARE(colourOf(ui.Line1[0]), QColor(Qt::white));
        QCOMPARE(colourOf(ui.Line1[3]), QColor(Qt::white));
        QCOMPARE(colourOf(ui.Line1[1]), shadow);
        QCOMPARE(colourOf(ui.Line1[2]), shadow);
    }
    // The toolbar's empty part, right of the last button.
    QTest::mouseMove(ui.Frame3, QPoint(Twips::toPixels(5300), Twips::toPixels(300)));
    QTRY_VERIFY(std::none_of(ui.Line1.begin(), ui.Line1.end(), [](const QFrame *l) { return l->isVisible(); }));

    // A disabled button (Add, with the boxes empty) draws no frame.
    QTest::mouseMove(ui.Image1[3], QPoint(12, 12));
    QTRY_VERIFY(allVisible(ui.Line1));
    QVERIFY(!ui.Image1[0]->isEnabled());
    QTest::mouseMove(ui.Image1[0], QPoint(12, 12));
    QTRY_VERIFY(!ui.Line1[0]->isVisible());
}

void tst_Toolbar::buttonFrame_pressedLookUntilNextMove()
{
    MainWindowFixture f;
    f.start();
    const mainScrControls &ui = f.ui;
    const QColor shadow = f.window->palette().color(QPalette::Dark);
    QTest::mouseMove(ui.Image1[4], QPoint(10, 10));
    QTRY_VERIFY(allVisible(ui.Line1));
    const QLine top = ends(ui.Line1[0]);
    // A press swaps the colours and keeps the place; the release changes nothing.
    QTest::mousePress(ui.Image1[4], Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(colourOf(ui.Line1[0]), shadow);
    QCOMPARE(colourOf(ui.Line1[3]), shadow);
    QCOMPARE(colourOf(ui.Line1[1]), QColor(Qt::white));
    QCOMPARE(colourOf(ui.Line1[2]), QColor(Qt::white));
    QCOMPARE(ends(ui.Line1[0]), top);
    // Button 4 opens the security window on its click; stop that here, it is not what this test is about.
    ui.Image1[4]->blockSignals(true);
    QTest::mouseRelease(ui.Image1[4], Qt::LeftButton, {}, QPoint(10, 10));
    ui.Image1[4]->blockSignals(false);
    QCOMPARE(colourOf(ui.Line1[0]), shadow);
    QTest::mouseMove(ui.Image1[4], QPoint(14, 12));
    QTRY_COMPARE(colourOf(ui.Line1[0]), QColor(Qt::white));
    QCOMPARE(colourOf(ui.Line1[1]), shadow);
}

void tst_Toolbar::underline_sameLengthForEveryLabel_hidesOverGridBoxAndBackground()
{
    MainWindowFixture f;
    f.start();
    const mainScrControls &ui = f.ui;
    const int passwordRight = Twips::fromPixels(ui.Label2->x() + ui.Label2->width());
    int step = 0;
    for (ClickLabel *label : { ui.Label5, ui.Label2, ui.Label4, ui.Label1 }) {
        QTest::mouseMove(label, QPoint(5 + step, 5));
        QTRY_VERIFY(ui.Line2[0]->isVisible() && ui.Line2[1]->isVisible());
        const int y = Twips::fromPixels(label->y() + label->height()) + 40;
        const QLine expected(90, y, passwordRight + 20, y);
        for (const QFrame *line : ui.Line2) {
            const QLine actual = ends(line);
            QVERIFY2(
                near(QLine(actual.p1(), QPoint(actual.x2(), actual.y1())), expected), qPrintable(describe(actual)));
        }
        QCOMPARE(colourOf(ui.Line2[0]), QColor(0, 0, 192));
        QCOMPARE(colourOf(ui.Line2[1]), QColor(Qt::white));

        // Away again: over the grid, a box or the window's background, in turn.
        switch (step++) {
        case 0:
            QTest::mouseMove(ui.Grid1->viewport(), QPoint(30, 30));
            break;
        case 1:
            QTest::mouseMove(ui.Text1[RecordLine::Path], QPoint(20, 5));
            break;
        case 2:
            QTest::mouseMove(f.window->centralWidget(), QPoint(Twips::toPixels(5600), Twips::toPixels(300)));
            break;
        default:
            QTest::mouseMove(ui.Text1[RecordLine::Info], QPoint(20, 20));
            break;
        }
        QTRY_VERIFY(!ui.Line2[0]->isVisible() && !ui.Line2[1]->isVisible());
    }
}

void tst_Toolbar::helpAndWebButtons_openThroughDesktop()
{
    FakeShell shell;
    MainWindowFixture f;
    f.start();
    const mainScrControls &ui = f.ui;
    ui.mnuHelp->trigger();
    QTest::mouseClick(ui.Image1[5], Qt::LeftButton);
    QTest::mouseClick(ui.Image1[8], Qt::LeftButton);
    const QString help = f.folders.shipped() + u"/help.html"_s;
    QCOMPARE(AppFolders::helpPage(), help);
    QCOMPARE(shell.opened, (QStringList { help, help, AppInfo::webPage }));
    // A missing help page is the desktop's to report.
    QVERIFY(f.messages.shown.isEmpty());
    QCOMPARE(f.exit.count, 0);
}

QTEST_MAIN(tst_Toolbar)
#include "tst_toolbar.moc"
