// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindowFixture.h"
#include "common/ClickLabel.h"
#include "common/Clipboard.h"
#include "common/ElidedLabel.h"
#include "common/WindowSystem.h"
#include "mainwindow/ClipboardCommands.h"
#include "mainwindow/InfoEdit.h"
#include "mainwindow/RecordCommands.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {
QColor colourOf(const QLabel *label)
{
    return label->palette().color(QPalette::WindowText);
}

bool holdsPasswordHint()
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    return data && data->data(u"x-kde-passwordManagerHint"_s) == "secret";
}

/** Shows the window and makes it the active one, so that focus and clicks go where a user's would. */
void startActive(MainWindowFixture &f)
{
    f.start();
    f.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
}

void focusBox(MainWindowFixture &f, RecordLine::Field index, Qt::FocusReason reason = Qt::TabFocusReason)
{
    f.ui.Text1[index]->setFocus(reason);
    QTRY_COMPARE(QApplication::focusWidget(), f.ui.Text1[index]);
}

QWidget *clickTarget(MainWindowFixture &f, RecordLine::Field index)
{
    return index == RecordLine::Info ? f.ui.infoBox()->viewport() : f.ui.Text1[index];
}
} // namespace

class tst_Clipboard : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void labelClick_copiesFieldWithStatusAndColours_data();
    void labelClick_copiesFieldWithStatusAndColours();
    void labelClick_emptyBox_changesNothing();
    void pathLabel_popupOnlyForPathWithDot();
    void copyToClipboard_setsPathStatus();
    void clearClipboard_keepsStatus_indicatorFollows();
    void indicator_followsOtherProgramsAndStart();
    void indicatorClick_emptiesAndSaysNothing();
    void capture_withoutCopy_focusEmptiesClickPastes();
    void capture_copy_writesEachChangeIntoTarget();
    void capture_comingBackToWindow_keepsClipboard();
    void capture_textPutBackByClipboardManager_isNoCopy();
    void capture_whileInactive_keepsBoxes_copyReachesOldTarget_data();
    void capture_whileInactive_keepsBoxes_copyReachesOldTarget();
    void capture_toggleAndReset_stopTheCopy();
};

void tst_Clipboard::init()
{
    Clipboard::clear();
}

void tst_Clipboard::labelClick_copiesFieldWithStatusAndColours_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<bool>("hidden");
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("status");
    QTest::addColumn<bool>("secret");
    QTest::addColumn<QString>("blue"); // the label coloured blue afterwards; empty: colours untouched
    QTest::newRow("Service") << u"Label4"_s << true << u"Mail"_s << u"Service: Mail"_s << false << QString();
    QTest::newRow("Username") << u"Label1"_s << true << u"jdoe"_s << u"Username: jdoe"_s << false << u"Label1"_s;
    QTest::newRow("Password hidden") << u"Label2"_s << true << u"s3cr3t"_s << u"Password is Hidden (not shown)"_s
                                     << true << u"Label2"_s;
    QTest::newRow("Password shown") << u"Label2"_s << false << u"s3cr3t"_s << u"Password: s3cr3t"_s << true
                                    << u"Label2"_s;
}

void tst_Clipboard::labelClick_copiesFieldWithStatusAndColours()
{
    QFETCH(QString, label);
    QFETCH(bool, hidden);
    QFETCH(QString, clipboard);
    QFETCH(QString, status);
    QFETCH(bool, secret);
    QFETCH(QString, blue);
    MainWindowFixture f;
    f.start();
    mainScrControls &ui = f.ui;
    ui.setText(RecordLine::Service, u"Mail"_s);
    ui.setText(RecordLine::Path, u"mail.example"_s);
    ui.setText(RecordLine::Username, u"jdoe"_s);
    ui.setText(RecordLine::Password, u"s3cr3t"_s);
    ui.Check1->setChecked(hidden);
    // Start from a copied Path, so that a copy that leaves the colours alone shows it.
    QTest::mouseClick(ui.Label5, Qt::LeftButton);
    QTRY_VERIFY(ui.TmnuUrl->isVisible());
    ui.TmnuUrl->close();

    QTest::mouseClick(f.window->findChild<ClickLabel *>(label), Qt::LeftButton);
    QCOMPARE(Clipboard::text(), clipboard);
    QCOMPARE(ui.ClipStatLbl->text(), status);
    QCOMPARE(holdsPasswordHint(), secret);
    // The status sizes to its text, within the panel; what does not fit is in its tooltip.
    const bool fits = ui.ClipStatLbl->width() >= ui.ClipStatLbl->sizeHint().width();
    QVERIFY(fits || ui.ClipStatLbl->geometry().right() <= ui.Picture1->contentsRect().right());
    QCOMPARE(ui.ClipStatLbl->toolTip(), fits ? QString() : status);
    const QString expectedBlue = blue.isEmpty() ? u"Label5"_s : blue;
    for (const QLabel *each : { ui.Label1, ui.Label2, ui.Label5 }) {
        const QColor expected = each->objectName() == expectedBlue ? QColor(0, 0, 255) : QColor(0, 0, 0);
        QCOMPARE(colourOf(each), expected);
    }
}

void tst_Clipboard::labelClick_emptyBox_changesNothing()
{
    MainWindowFixture f;
    f.start();
    mainScrControls &ui = f.ui;
    Clipboard::setText(u"kept"_s);
    const QColor before = colourOf(ui.Label1);
    for (ClickLabel *label : { ui.Label4, ui.Label1, ui.Label2 })
        QTest::mouseClick(label, Qt::LeftButton);
    QCOMPARE(Clipboard::text(), u"kept"_s);
    QVERIFY(ui.ClipStatLbl->text().isEmpty());
    QCOMPARE(colourOf(ui.Label1), before);
}

void tst_Clipboard::pathLabel_popupOnlyForPathWithDot()
{
    MainWindowFixture f;
    f.start();
    mainScrControls &ui = f.ui;
    ui.setText(RecordLine::Path, u"intranet"_s);
    QTest::mouseClick(ui.Label5, Qt::LeftButton);
    QTest::qWait(20);
    QVERIFY(!ui.TmnuUrl->isVisible());
    QVERIFY(Clipboard::text().isEmpty());

    ui.setText(RecordLine::Username, u"jdoe"_s);
    QTest::mouseClick(ui.Label1, Qt::LeftButton);
    ui.setText(RecordLine::Path, u"a.b"_s);
    QTest::mouseClick(ui.Label5, Qt::LeftButton);
    QTRY_VERIFY(ui.TmnuUrl->isVisible());
    // The pop-up copies nothing by itself; it marks Path as the field in hand.
    QCOMPARE(Clipboard::text(), u"jdoe"_s);
    QCOMPARE(colourOf(ui.Label5), QColor(0, 0, 255));
    QCOMPARE(colourOf(ui.Label1), QColor(0, 0, 0));
    QCOMPARE(ui.TmnuUrl->actions().first(), ui.mnuCopyToClip);
    ui.TmnuUrl->close();
}

void tst_Clipboard::copyToClipboard_setsPathStatus()
{
    MainWindowFixture f;
    f.start();
    mainScrControls &ui = f.ui;
    ui.setText(RecordLine::Password, u"pw"_s);
    QTest::mouseClick(ui.Label2, Qt::LeftButton);
    QVERIFY(holdsPasswordHint());
    ui.setText(RecordLine::Path, u"a.b"_s);
    ui.mnuCopyToClip->trigger();
    QCOMPARE(Clipboard::text(), u"a.b"_s);
    QCOMPARE(ui.ClipStatLbl->text(), u"Path set to: a.b"_s);
    // The clipboard was emptied first: nothing of the password's entry is left beside the Path.
    QVERIFY(!holdsPasswordHint());
    QCOMPARE(colourOf(ui.Label2), QColor(0, 0, 255));
}

void tst_Clipboard::clearClipboard_keepsStatus_indicatorFollows()
{
    MainWindowFixture f;
    f.start();
    mainScrControls &ui = f.ui;
    ui.setText(RecordLine::Service, u"Mail"_s);
    QTest::mouseClick(ui.Label4, Qt::LeftButton);
    QTRY_VERIFY(!ui.Image3[1]->isHidden());
    QVERIFY(ui.Image3[0]->isHidden());
    ui.mnuClearClip->trigger();
    QVERIFY(Clipboard::text().isEmpty());
    QCOMPARE(ui.ClipStatLbl->text(), u"Service: Mail"_s);
    QTRY_VERIFY(!ui.Image3[0]->isHidden());
    QVERIFY(ui.Image3[1]->isHidden());
}

void tst_Clipboard::indicator_followsOtherProgramsAndStart()
{
    Clipboard::setText(u"from before the start"_s);
    MainWindowFixture f;
    // Right at start, before any event.
    QVERIFY(!f.ui.Image3[1]->isHidden());
    QVERIFY(f.ui.Image3[0]->isHidden());
    f.start();
    Clipboard::clear();
    QTRY_VERIFY(!f.ui.Image3[0]->isHidden());
    Clipboard::setText(u"copied in another program"_s);
    QTRY_VERIFY(!f.ui.Image3[1]->isHidden());
    QVERIFY(f.ui.Image3[0]->isHidden());
    QVERIFY(f.ui.ClipStatLbl->text().isEmpty());
}

void tst_Clipboard::indicatorClick_emptiesAndSaysNothing()
{
    MainWindowFixture f;
    f.start();
    mainScrControls &ui = f.ui;
    ui.setText(RecordLine::Username, u"jdoe"_s);
    QTest::mouseClick(ui.Label1, Qt::LeftButton);
    QTRY_VERIFY(!ui.Image3[1]->isHidden());
    // The empty indicator takes no click.
    QTest::mouseClick(ui.Image3[0], Qt::LeftButton);
    QCOMPARE(Clipboard::text(), u"jdoe"_s);

    QTest::mouseClick(ui.Image3[1], Qt::LeftButton);
    QVERIFY(Clipboard::text().isEmpty());
    QCOMPARE(ui.ClipStatLbl->text(), u"Nothing"_s);
    QCOMPARE(colourOf(ui.Label1), QColor(0, 0, 0));
    QTRY_VERIFY(!ui.Image3[0]->isHidden());
}

void tst_Clipboard::capture_withoutCopy_focusEmptiesClickPastes()
{
    MainWindowFixture f;
    startActive(f);
    mainScrControls &ui = f.ui;
    focusBox(f, RecordLine::Username);
    // Releasing Ctrl checks "&Capture" without starting the copy.
    QTest::keyClick(ui.Text1[RecordLine::Username], Qt::Key_Control);
    QVERIFY(ui.mnuCapture->isChecked());
    QVERIFY(!f.window->clipboard().copyRunning());

    Clipboard::setText(u"alice\n"_s);
    QTest::mouseClick(ui.Text1[RecordLine::Username], Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(ui.text(RecordLine::Username), u"alice"_s);
    QCOMPARE(f.box(RecordLine::Username)->cursorPosition(), 5);

    // Clicking into a box that did not have the focus: the focus empties the clipboard, the click pastes that.
    ui.setText(RecordLine::Service, u"typed"_s);
    QTest::mouseClick(ui.Text1[RecordLine::Service], Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(f.window->clipboard().captureTarget(), RecordLine::Service);
    QVERIFY(Clipboard::text().isEmpty());
    QVERIFY(ui.text(RecordLine::Service).isEmpty());
    QCOMPARE(ui.text(RecordLine::Username), u"alice"_s);

    // The Info box takes its clicks on its viewport.
    focusBox(f, RecordLine::Info);
    QCOMPARE(f.window->clipboard().captureTarget(), RecordLine::Info);
    Clipboard::setText(u"note"_s);
    QTest::mouseClick(clickTarget(f, RecordLine::Info), Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(ui.text(RecordLine::Info), u"note"_s);
    QCOMPARE(ui.infoBox()->textCursor().position(), 4);
}

void tst_Clipboard::capture_copy_writesEachChangeIntoTarget()
{
    MainWindowFixture f;
    startActive(f);
    mainScrControls &ui = f.ui;
    Clipboard::setText(u"old"_s);
    ui.mnuCapture->trigger();
    QVERIFY(ui.mnuCapture->isChecked());
    QVERIFY(f.window->clipboard().copyRunning());
    // Switching on empties the clipboard first, so nothing old lands in a box.
    QVERIFY(Clipboard::text().isEmpty());

    Clipboard::setText(u"Mail"_s);
    QTRY_COMPARE(ui.text(RecordLine::Service), u"Mail"_s);
    focusBox(f, RecordLine::Username);
    QVERIFY(Clipboard::text().isEmpty());
    QCOMPARE(f.window->clipboard().captureTarget(), RecordLine::Username);
    Clipboard::setText(u"jdoe"_s);
    QTRY_COMPARE(ui.text(RecordLine::Username), u"jdoe"_s);
    focusBox(f, RecordLine::Password);
    // Copied with its line end, as from a file or a terminal: the box gets the value alone.
    Clipboard::setText(u"pw\r\n"_s);
    QTRY_COMPARE(ui.text(RecordLine::Password), u"pw"_s);
    // The login gathered field by field: each box kept its own value, and Add is ready.
    QCOMPARE(ui.text(RecordLine::Service), u"Mail"_s);
    QCOMPARE(ui.text(RecordLine::Username), u"jdoe"_s);
    QVERIFY(ui.mnuAdd->isEnabled());
    // An empty clipboard empties the target.
    Clipboard::clear();
    QTRY_VERIFY(ui.text(RecordLine::Password).isEmpty());
    focusBox(f, RecordLine::Username);
    QVERIFY(ui.text(RecordLine::Username).isEmpty());
}

void tst_Clipboard::capture_comingBackToWindow_keepsClipboard()
{
    MainWindowFixture f;
    startActive(f);
    mainScrControls &ui = f.ui;
    ui.mnuCapture->trigger();
    focusBox(f, RecordLine::Username);
    Clipboard::setText(u"jdoe"_s);
    QTRY_COMPARE(ui.text(RecordLine::Username), u"jdoe"_s);
    // The focus coming back with the window, or from a menu, is no move to another box.
    for (Qt::FocusReason reason : { Qt::ActiveWindowFocusReason, Qt::PopupFocusReason }) {
        QFocusEvent back(QEvent::FocusIn, reason);
        QApplication::sendEvent(ui.Text1[RecordLine::Username], &back);
        QTest::qWait(10);
        QCOMPARE(Clipboard::text(), u"jdoe"_s);
        QCOMPARE(ui.text(RecordLine::Username), u"jdoe"_s);
    }
    // A click into another box that brings the window back is a move, though the focus comes with the window.
    QApplication::setActiveWindow(nullptr);
    ui.Text1[RecordLine::Password]->setFocus(Qt::MouseFocusReason);
    Clipboard::setText(u"pw"_s);
    QApplication::setActiveWindow(f.window.get());
    QTRY_COMPARE(f.window->clipboard().captureTarget(), RecordLine::Password);
    QCOMPARE(ui.text(RecordLine::Username), u"pw"_s);
    QVERIFY(Clipboard::text().isEmpty());
}

void tst_Clipboard::capture_textPutBackByClipboardManager_isNoCopy()
{
    MainWindowFixture f;
    startActive(f);
    mainScrControls &ui = f.ui;
    // A clipboard manager: whenever the clipboard is emptied, it puts the last text back, a moment later.
    QString last;
    QObject manager;
    QObject::connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, &manager, [&last, &manager] {
        const QString text = Clipboard::text();
        if (!text.isEmpty())
            last = text;
        else if (!last.isEmpty())
            QTimer::singleShot(0, &manager, [&last] { Clipboard::setText(last); });
    });
    Clipboard::setText(u"old"_s);
    ui.mnuCapture->trigger();
    QTRY_COMPARE(Clipboard::text(), u"old"_s);
    QTest::qWait(20);
    QVERIFY(ui.text(RecordLine::Service).isEmpty());

    Clipboard::setText(u"Mail"_s);
    QTRY_COMPARE(ui.text(RecordLine::Service), u"Mail"_s);
    focusBox(f, RecordLine::Username);
    QTRY_COMPARE(Clipboard::text(), u"Mail"_s);
    QTest::qWait(20);
    QVERIFY(ui.text(RecordLine::Username).isEmpty());
    // A click pastes nothing of it either.
    QTest::mouseClick(ui.Text1[RecordLine::Username], Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(ui.text(RecordLine::Username).isEmpty());
    // Once another text was copied, the old one counts again.
    Clipboard::setText(u"jdoe"_s);
    QTRY_COMPARE(ui.text(RecordLine::Username), u"jdoe"_s);
    Clipboard::setText(u"Mail"_s);
    QTRY_COMPARE(ui.text(RecordLine::Username), u"Mail"_s);
    QCOMPARE(ui.text(RecordLine::Service), u"Mail"_s);
}

void tst_Clipboard::capture_whileInactive_keepsBoxes_copyReachesOldTarget_data()
{
    QTest::addColumn<bool>("nativeWayland");
    QTest::newRow("X11: emptied while inactive") << false;
    // Qt tells of the empty clipboard before it tells the window that it lost the keyboard.
    QTest::newRow("native Wayland: emptied as the keyboard leaves") << true;
}

void tst_Clipboard::capture_whileInactive_keepsBoxes_copyReachesOldTarget()
{
    QFETCH(bool, nativeWayland);
    WindowSystem::pretendNativeWayland(nativeWayland);
    const auto platform = qScopeGuard([] { WindowSystem::pretendNativeWayland(std::nullopt); });
    MainWindowFixture f;
    startActive(f);
    mainScrControls &ui = f.ui;
    ui.mnuCapture->trigger();
    focusBox(f, RecordLine::Username);
    Clipboard::setText(u"jdoe"_s);
    QTRY_COMPARE(ui.text(RecordLine::Username), u"jdoe"_s);

    // Away in another program: an emptied clipboard empties no box.
    if (!nativeWayland) {
        QApplication::setActiveWindow(nullptr);
        QTRY_VERIFY(!QApplication::activeWindow());
    }
    Clipboard::clear();
    QApplication::setActiveWindow(nullptr);
    QTest::qWait(20);
    QCOMPARE(ui.text(RecordLine::Username), u"jdoe"_s);
    QApplication::setActiveWindow(f.window.get());
    QTRY_COMPARE(QApplication::activeWindow(), f.window.get());
    QCOMPARE(ui.text(RecordLine::Username), u"jdoe"_s);

    // A copy that reaches Corvane only with the click into the next box belongs to the box that was the target.
    Clipboard::setText(u"pw"_s);
    focusBox(f, RecordLine::Password);
    QCOMPARE(ui.text(RecordLine::Username), u"pw"_s);
    QTRY_VERIFY(Clipboard::text().isEmpty());
    QVERIFY(ui.text(RecordLine::Password).isEmpty());
    // "Clear Clipboard" empties the target.
    Clipboard::setText(u"s3cr3t"_s);
    QTRY_COMPARE(ui.text(RecordLine::Password), u"s3cr3t"_s);
    ui.mnuClearClip->trigger();
    QTRY_VERIFY(ui.text(RecordLine::Password).isEmpty());
}

void tst_Clipboard::capture_toggleAndReset_stopTheCopy()
{
    MainWindowFixture f;
    startActive(f);
    mainScrControls &ui = f.ui;
    // On and off twice: unchecked, no copy, and the clipboard left alone when switched off.
    for (int round = 0; round < 2; ++round) {
        const QString copied = u"kept %1"_s.arg(round);
        ui.mnuCapture->trigger();
        QVERIFY(f.window->clipboard().copyRunning());
        Clipboard::setText(copied);
        QTRY_COMPARE(ui.text(RecordLine::Service), copied);
        ui.mnuCapture->trigger();
        QVERIFY(!ui.mnuCapture->isChecked());
        QVERIFY(!f.window->clipboard().copyRunning());
        QCOMPARE(Clipboard::text(), copied);
    }
    ui.setText(RecordLine::Service, u"mine"_s);
    Clipboard::setText(u"other"_s);
    QTest::qWait(10);
    QCOMPARE(ui.text(RecordLine::Service), u"mine"_s);

    // The toolbar button is the menu entry; Reset stops the copy, empties the clipboard and unchecks.
    QTest::mouseClick(ui.Image1[6], Qt::LeftButton);
    QVERIFY(ui.mnuCapture->isChecked());
    QVERIFY(f.window->clipboard().copyRunning());
    Clipboard::setText(u"x"_s);
    ui.mnuReset->trigger();
    QVERIFY(!ui.mnuCapture->isChecked());
    QVERIFY(!f.window->clipboard().copyRunning());
    QVERIFY(Clipboard::text().isEmpty());
    Clipboard::setText(u"after reset"_s);
    QTest::qWait(10);
    QVERIFY(ui.text(RecordLine::Service).isEmpty());
}

QTEST_MAIN(tst_Clipboard)
#include "tst_clipboard.moc"
