// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindowFixture.h"
#include "common/ClickLabel.h"
#include "common/ElidedLabel.h"
#include "common/Twips.h"
#include "i18n/Language.h"
#include "mainwindow/FindWindow.h"
#include "mainwindow/InfoEdit.h"
#include "mainwindow/RecordCommands.h"
#include "security/Ask4Pass.h"
#include "security/OwnerFile.h"
#include "security/OwnerRecord.h"

#include <QAbstractItemModelTester>
#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QFrame>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QTableView>
#include <QTest>
#include <QTextDocument>
#include <QTimer>
#include <QToolTip>

using namespace Qt::StringLiterals;

namespace {
QRect twips(const QWidget *widget)
{
    const QRect g = widget->geometry();
    return { Twips::fromPixels(g.x()), Twips::fromPixels(g.y()), Twips::fromPixels(g.width()),
        Twips::fromPixels(g.height()) };
}

/** Rounds each value to the nearest pixel's worth of twips, so comparisons allow for the conversion. */
bool near(const QRect &actual, const QRect &expected)
{
    const int slack = 15;
    return qAbs(actual.x() - expected.x()) <= slack && qAbs(actual.y() - expected.y()) <= slack
        && qAbs(actual.width() - expected.width()) <= slack && qAbs(actual.height() - expected.height()) <= slack;
}

/** Types the owner password Pw1 into "Owner Authentication" once it asks, after seen() has looked around. */
void answerOwner(const std::function<void()> &seen = {})
{
    auto *poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, seen] {
        auto *ask = qobject_cast<Ask4Pass *>(QApplication::activeModalWidget());
        if (!ask)
            return;
        poll->deleteLater();
        poll->stop();
        if (seen)
            seen();
        auto *box = ask->findChild<QLineEdit *>(u"Text1"_s);
        box->setText(u"Pw1"_s);
        QTest::keyClick(box, Qt::Key_Return);
    });
    poll->start(5);
}

QStringList menuCaptions(const QMenu *menu)
{
    QStringList captions;
    for (const QAction *action : menu->actions())
        captions.append(action->isSeparator() ? u"-"_s : action->text());
    return captions;
}
} // namespace

class tst_MainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void layout_controlsAtTheirPlaces();
    void menus_captionsAndStatesAtStart();
    void toolbar_tooltipsAndEnabling();
    void load_showsRecordsInOrderWithMaskedPasswords();
    void load_shortAndLegacyLines_getTheirOwnRows();
    void load_underAnotherPassword_showsNothingAndWritesNothing();
    void load_levelOneWithoutPassword_emptyAndSilent_addRefused();
    void model_passesItemModelTester();
    void selection_fillsBoxesWithRealPasswordAndCaption();
    void selection_rightButtonAndEmptyGrid_changeNothing();
    void find_selectsAsAClickAndChangesNothingElse();
    void find_followsTheMainWindowsLanguage();
    void passwordToggle_menuAndCheckBoxAgree();
    void keys_altThenLetterMovesFocus();
    void keys_ctrlReleaseChecksCapture();
    void keys_escapeEndsWithoutPreferences();
    void keys_releaseOfAKeyPressedElsewhere_countsForNothing_data();
    void keys_releaseOfAKeyPressedElsewhere_countsForNothing();
    void tooltips_repeatTextExceptUsername();
    void infoBox_staysOneLine();
    void resize_rulesFollowTheWindow();
    void resize_tooLowCollapsesTo3000();
    void columnWidths_inTwips();
    void lock_dropsRecordsAndTypedValues_thenReadsRecordsAgain_data();
    void lock_dropsRecordsAndTypedValues_thenReadsRecordsAgain();
};

void tst_MainWindow::initTestCase()
{
    QFont font = QApplication::font();
    font.setPointSize(8);
    QApplication::setFont(font);
}

void tst_MainWindow::layout_controlsAtTheirPlaces()
{
    MainWindowFixture f;
    f.start();
    const mainScrControls &ui = f.ui;
    struct Expected
    {
        const QWidget *widget;
        QRect rect;
    };
    const Expected expected[] = {
        { ui.Frame3, { 75, 15, 5340, 675 } },
        { ui.Image1[0], { 60, 120, 480, 480 } },
        { ui.Image1[8], { 2370, 120, 480, 480 } },
        { ui.Image1[7], { 4790, 120, 480, 480 } },
        { ui.Text1[RecordLine::Service], { 975, 30, 2445, 360 } },
        { ui.Text1[RecordLine::Username], { 975, 390, 2445, 360 } },
        { ui.Text1[RecordLine::Password], { 975, 750, 2445, 360 } },
        { ui.Check1, { 3460, 1515, 255, 345 } },
        { ui.Image3[0], { 45, 30, 240, 270 } },
    };
    for (const Expected &e : expected) {
        QVERIFY(e.widget);
        QVERIFY2(near(twips(e.widget), e.rect), qPrintable(e.widget->objectName()));
    }
    // Labels keep their place and grow only when the font needs more room than their place gives.
    QVERIFY(near(QRect(twips(ui.Label6).topLeft(), QSize(1170, 180)), { 375, 60, 1170, 180 }));
    QVERIFY(twips(ui.Label6).width() >= 1170 - 15);
    QVERIFY(ui.Label6->width() >= ui.Label6->sizeHint().width());

    // Lefts and tops do not move with the window; the Path and Info boxes reach the frame's edge.
    QCOMPARE(twips(ui.Text1[RecordLine::Path]).left(), 975);
    QVERIFY(qAbs(twips(ui.Text1[RecordLine::Path]).right() - twips(ui.Frame2).width()) <= 30);
    QCOMPARE(f.window->windowTitle(), u"Corvane"_s);
    QCOMPARE(ui.Label4->text(), u"Service"_s);
    QCOMPARE(ui.Label5->text(), u"Path"_s);
    QCOMPARE(ui.Label6->text(), u"ClipBoard holds"_s);
    QVERIFY(ui.ClipStatLbl->text().isEmpty());
    for (const QFrame *line : ui.Line1)
        QVERIFY(!line->isVisible());

    // Tab order: Service, Username, Password, Path, Info.
    QCOMPARE(ui.Text1[RecordLine::Service]->nextInFocusChain(), ui.Text1[RecordLine::Username]);
    QCOMPARE(ui.Text1[RecordLine::Username]->nextInFocusChain(), ui.Text1[RecordLine::Password]);
    QCOMPARE(ui.Text1[RecordLine::Password]->nextInFocusChain(), ui.Text1[RecordLine::Path]);
    QCOMPARE(ui.Text1[RecordLine::Path]->nextInFocusChain(), ui.Text1[RecordLine::Info]);
}

void tst_MainWindow::menus_captionsAndStatesAtStart()
{
    MainWindowFixture f;
    f.start();
    const mainScrControls &ui = f.ui;
    QStringList bar;
    for (const QAction *action : f.window->menuBar()->actions())
        bar.append(action->text());
    QCOMPARE(bar, (QStringList { u"&File"_s, u"&Edit"_s, u"&Preferences"_s, u"&Help"_s }));
    QCOMPARE(menuCaptions(ui.mnuFileTop),
        (QStringList { u"Back up Database"_s, u"Restore Database"_s, u"&Import..."_s, u"Ex&port..."_s, u"-"_s,
            u"Corvo Browser"_s, u"-"_s, u"&Lock"_s, u"E&xit"_s }));
    QCOMPARE(menuCaptions(ui.mnuEditTop),
        (QStringList { u"&Undo"_s, u"-"_s, u"&Add"_s, u"R&eplace"_s, u"Remo&ve"_s, u"&Reset"_s, u"-"_s, u"&Capture"_s,
            u"-"_s, u"Clear Clipboard"_s, u"-"_s, u"&Find..."_s }));
    // After the load the password is masked and the entry offers to show it.
    QCOMPARE(menuCaptions(ui.mnuPreferencesTop),
        (QStringList { u"&Top Most"_s, u"Reset to &Normal Size"_s, u"-"_s, u"&Auto Complete"_s, u"Show Password"_s,
            u"-"_s, u"&Set Password"_s, u"-"_s, u"Set &Language"_s, u"-"_s, u"&Hide Display"_s, u"&Auto Hide"_s }));
    QCOMPARE(menuCaptions(ui.mnuHelpTop), (QStringList { u"&Contents"_s, u"A&bout"_s }));
    QCOMPARE(menuCaptions(ui.TmnuUrl), (QStringList { u"Copy to Clipboard"_s, u"Browse"_s }));
    QCOMPARE(menuCaptions(ui.mnuBrowse), (QStringList { u"Corvane Browser"_s, u"External Browser"_s }));
    QVERIFY(!f.window->menuBar()->actions().contains(ui.TmnuUrl->menuAction()));

    QVERIFY(!ui.mnuLock->toolTip().isEmpty()); // no owner password: nothing to lock with
    for (const QAction *disabled : { ui.mnuUndo, ui.mnuAdd, ui.mnuReplace, ui.mnuRemove, ui.mnuLang, ui.mnuLock })
        QVERIFY2(!disabled->isEnabled(), qPrintable(disabled->objectName()));
    QVERIFY(ui.mnuReset->isEnabled());
    QVERIFY(ui.mnuAutoComplete->isChecked());
    for (const QAction *off : { ui.mnuCapture, ui.mnuOnTop, ui.mnuHideDisplay, ui.mnuAutoHide })
        QVERIFY(!off->isChecked());
    // "&Lock" and "&Find..." alone have shortcut keys.
    for (const QAction *action : f.window->findChildren<QAction *>()) {
        if (action != ui.mnuFind && action != ui.mnuLock)
            QVERIFY2(action->shortcut().isEmpty(), qPrintable(action->objectName()));
    }
    QCOMPARE(ui.mnuLock->shortcuts(), (QList<QKeySequence> { QKeySequence(u"Ctrl+L"_s) }));
    QCOMPARE(ui.mnuFind->shortcuts(), (QList<QKeySequence> { QKeySequence(u"Ctrl+F"_s), QKeySequence(u"F3"_s) }));

    ui.mnuAutoComplete->trigger();
    QVERIFY(!ui.mnuAutoComplete->isChecked());
    ui.mnuAutoComplete->trigger();
    QVERIFY(ui.mnuAutoComplete->isChecked());
}

void tst_MainWindow::toolbar_tooltipsAndEnabling()
{
    MainWindowFixture f;
    f.start();
    const QStringList tips = { u"Add"_s, u"Replace"_s, u"Trash"_s, u"Reset"_s, u"Create a Password"_s, u"Help"_s,
        u"Capture from other application"_s, u"Quit"_s };
    for (int n = 0; n < tips.size(); ++n)
        QCOMPARE(f.ui.Image1[n]->toolTip(), tips[n]);
    QVERIFY(!f.ui.Image1[8]->toolTip().isEmpty());
    for (int n = 0; n < 9; ++n) {
        QCOMPARE(f.ui.Image1[n]->isEnabled(), n > 2);
        QVERIFY(!f.ui.Image1[n]->pixmap().isNull());
    }
}

void tst_MainWindow::load_showsRecordsInOrderWithMaskedPasswords()
{
    MainWindowFixture f({ recordLine(u"gamma"_s, {}, u"g"_s, u"12345"_s), recordLine(u"beta"_s, {}, u"b"_s, {}),
        recordLine(u"Alpha"_s, u"a.example"_s, u"a"_s, u"x"_s) });
    f.start();
    QCOMPARE(f.rows(), 3);
    QCOMPARE(f.cell(0, RecordLine::Service), u"Alpha"_s);
    QCOMPARE(f.cell(1, RecordLine::Service), u"beta"_s);
    QCOMPARE(f.cell(2, RecordLine::Service), u"gamma"_s);
    QCOMPARE(f.cell(2, RecordLine::Password), u"*****"_s);
    QCOMPARE(f.cell(1, RecordLine::Password), QString());
    QCOMPARE(f.cell(0, RecordLine::Path), u"a.example"_s);
    QCOMPARE(f.cell(0, RecordLine::RecordDate), u"05-17-2002 14:03:59"_s);
    const QAbstractItemModel *model = f.ui.Grid1->model();
    QCOMPARE(model->headerData(0, Qt::Horizontal).toString(), u"Service"_s);
    QCOMPARE(model->headerData(3, Qt::Horizontal).toString(), u"Password"_s);
    QCOMPARE(model->headerData(5, Qt::Horizontal).toString(), QString());
    QVERIFY(f.messages.shown.isEmpty());
}

void tst_MainWindow::load_shortAndLegacyLines_getTheirOwnRows()
{
    MainWindowFixture f({ u"A:!B:!C:!D:!E:!F:!"_s, u"B1:!C1:!D1:!E1:!XY"_s, u"C2 no separator"_s });
    f.start();
    QCOMPARE(f.rows(), 3);
    QCOMPARE(f.cell(0, RecordLine::Username), u"C"_s);
    QCOMPARE(f.cell(0, RecordLine::Password), u"*"_s);
    // The older five-value form: Service, Username, Password, Info; nothing left over from the line before.
    QCOMPARE(f.cell(1, RecordLine::Service), u"B1"_s);
    QCOMPARE(f.cell(1, RecordLine::Path), QString());
    QCOMPARE(f.cell(1, RecordLine::Username), u"C1"_s);
    QCOMPARE(f.cell(1, RecordLine::Password), u"**"_s);
    QCOMPARE(f.cell(1, RecordLine::Info), u"E1"_s);
    QCOMPARE(f.cell(2, RecordLine::Service), u"C2 no separator"_s);
    QCOMPARE(f.cell(2, RecordLine::Username), QString());
    // Selecting the older form's row puts its own password into the box.
    f.clickRow(1);
    QCOMPARE(f.box(RecordLine::Password)->text(), u"D1"_s);
}

void tst_MainWindow::load_underAnotherPassword_showsNothingAndWritesNothing()
{
    MainWindowFixture f;
    QVERIFY(
        OwnerFile::write(OwnerRecord::build(u"xx-xx-xxxx"_s, u"new"_s, u"05-17-2026"_s, Level::ProgramAndDatabase)));
    // Left by a change of password that was cut short, or an older backup put back by hand.
    const QString line = recordLine(u"Bank"_s, {}, u"me"_s, u"pw"_s);
    QVERIFY(f.window->database().RewriteDatabase(Level::ProgramAndDatabase, { line }, u"old"_s));
    const QString edb = f.folders.data() + u"/userDB.edb"_s;
    const QByteArray before = TestFolders::read(edb);
    QTimer::singleShot(0, [] {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (auto *ask = qobject_cast<Ask4Pass *>(widget); ask && ask->isVisible()) {
                auto *box = ask->findChild<QLineEdit *>(u"Text1"_s);
                box->setText(u"new"_s);
                QTest::keyClick(box, Qt::Key_Return);
            }
        }
    });
    f.start();

    QCOMPARE(f.rows(), 0);
    QCOMPARE(f.messages.shown.size(), 2); // the start-up check's own message first
    const ShownMessage &why = f.messages.shown[1];
    QCOMPARE(why.icon, MessageIcon::Critical);
    QVERIFY2(why.text.contains(u"another owner password"_s) && why.text.contains(u"File > Restore Database"_s),
        qPrintable(why.text));

    for (int i : { 0, 2, 3 })
        f.ui.setText(RecordLine::Field(i), u"x"_s);
    f.ui.mnuAdd->trigger();
    QCOMPARE(f.messages.shown.size(), 3);
    QCOMPARE(f.rows(), 0);
    QCOMPARE(TestFolders::read(edb), before);
}

void tst_MainWindow::load_levelOneWithoutPassword_emptyAndSilent_addRefused()
{
    MainWindowFixture f;
    QVERIFY(OwnerFile::write(
        OwnerRecord::build(u"xx-xx-xxxx"_s, u"UNSETMARK"_s, u"05-17-2026"_s, Level::ProgramAndDatabase)));
    QVERIFY(f.window->database().RewriteDatabase(
        Level::ProgramAndDatabase, { recordLine(u"B"_s, {}, u"m"_s, u"p"_s) }, u"p"_s));
    const QByteArray before = TestFolders::read(f.window->database().files().encrypted);
    f.start();
    QCOMPARE(f.rows(), 0); // nothing is deciphered, and there is nothing to say
    QVERIFY(f.messages.shown.isEmpty());
    for (int i : { 0, 2, 3 })
        f.ui.setText(RecordLine::Field(i), u"x"_s);
    f.ui.mnuAdd->trigger(); // no key to write with
    QCOMPARE(f.messages.texts(), QStringList { u"Can not access the DataBase."_s });
    QCOMPARE(TestFolders::read(f.window->database().files().encrypted), before);
}

void tst_MainWindow::model_passesItemModelTester()
{
    MainWindowFixture f({ recordLine(u"b"_s, {}, u"u"_s, u"p"_s) });
    f.start();
    QAbstractItemModelTester tester(&f.window->records(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    f.ui.setText(RecordLine::Service, u"a"_s);
    f.ui.setText(RecordLine::Username, u"u"_s);
    f.ui.setText(RecordLine::Password, u"p"_s);
    f.ui.mnuAdd->trigger();
    f.clickRow(1);
    f.ui.mnuRemove->trigger();
    QCOMPARE(f.rows(), 1);
}

void tst_MainWindow::selection_fillsBoxesWithRealPasswordAndCaption()
{
    MainWindowFixture f({ recordLine(u"Mail"_s, u"mail.example"_s, u"jdoe"_s, u"s"_s, u"work"_s) });
    f.start();
    f.clickRow(0);
    QCOMPARE(f.box(RecordLine::Service)->text(), u"Mail"_s);
    QCOMPARE(f.box(RecordLine::Path)->text(), u"mail.example"_s);
    QCOMPARE(f.box(RecordLine::Username)->text(), u"jdoe"_s);
    QCOMPARE(f.box(RecordLine::Password)->text(), u"s"_s);
    QCOMPARE(f.box(RecordLine::Password)->echoMode(), QLineEdit::Password);
    QCOMPARE(f.ui.text(RecordLine::Info), u"work"_s);
    QCOMPARE(f.cell(0, RecordLine::Password), u"*"_s);
    QCOMPARE(f.window->windowTitle(), u"Corvane - Record Date: 05-17-2002 14:03:59"_s);
    const mainScrControls &ui = f.ui;
    for (const QAction *enabled : { ui.mnuRemove, ui.mnuReplace, ui.mnuReset })
        QVERIFY(enabled->isEnabled());
    for (int n : { 1, 2, 3 })
        QVERIFY(ui.Image1[n]->isEnabled());
}

void tst_MainWindow::selection_rightButtonAndEmptyGrid_changeNothing()
{
    {
        MainWindowFixture f({ recordLine(u"Mail"_s, {}, u"jdoe"_s, u"s"_s) });
        f.start();
        f.clickRow(0, Qt::RightButton);
        QVERIFY(f.box(RecordLine::Service)->text().isEmpty());
        QCOMPARE(f.window->commands().selectedRow(), -1);
        QVERIFY(f.ui.Grid1->selectionModel()->selectedRows().isEmpty());
    }
    MainWindowFixture f;
    f.start();
    f.clickRow(0);
    QCOMPARE(f.window->windowTitle(), u"Corvane"_s);
    QVERIFY(!f.ui.mnuRemove->isEnabled());
    QVERIFY(f.messages.shown.isEmpty());
}

void tst_MainWindow::find_selectsAsAClickAndChangesNothingElse()
{
    // Rows: 0 Bank (only its password holds "for"), 1 Forge, 2 Forum, 3 Mail (its Info holds "FOR").
    MainWindowFixture f({ recordLine(u"Mail"_s, {}, u"post"_s, u"p"_s, u"FORUM digest"_s, u"01-04-2020 10:00:00"_s),
        recordLine(u"Forum"_s, u"forum.example"_s, u"jdoe"_s, u"p"_s, {}, u"01-03-2020 10:00:00"_s),
        recordLine(u"Forge"_s, {}, u"dev"_s, u"p"_s), recordLine(u"Bank"_s, {}, u"acct"_s, u"forpass"_s) });
    f.start();
    const QStringList file = f.fileLines();
    QGuiApplication::clipboard()->setText(u"held"_s);
    f.clickRow(0);
    f.ui.mnuFind->trigger();
    auto *find = f.window->findChild<FindWindow *>(u"Find"_s);
    QVERIFY(QTest::qWaitForWindowActive(find));
    QTRY_COMPARE(QApplication::focusWidget(), find->FindText);
    auto selected = [&] { return f.box(RecordLine::Service)->text(); };
    QTest::keyClicks(find->FindText, u"fOr"_s);
    QCOMPARE(selected(), u"Forge"_s);
    QTest::keyClick(find->FindText, Qt::Key_Return);
    QCOMPARE(selected(), u"Forum"_s);
    QCOMPARE(f.box(RecordLine::Username)->text(), u"jdoe"_s);
    QCOMPARE(f.window->windowTitle(), u"Corvane - Record Date: 01-03-2020 10:00:00"_s);
    QCOMPARE(f.window->commands().selectedRow(), 2);
    QTest::keyClick(find->FindText, Qt::Key_F3);
    QCOMPARE(selected(), u"Mail"_s);
    QTest::keyClick(find->FindText, Qt::Key_F3);
    QCOMPARE(selected(), u"Forge"_s);
    QTest::keyClick(find->FindText, Qt::Key_F3, Qt::ShiftModifier);
    QCOMPARE(selected(), u"Mail"_s);
    QVERIFY(find->FindStatus->text().isEmpty());
    QTest::keyClick(find->FindText, Qt::Key_X);
    QVERIFY(!find->FindStatus->text().isEmpty());
    QCOMPARE(selected(), u"Mail"_s);
    QTest::keyClick(find->FindText, Qt::Key_Escape);
    QVERIFY(!find->isVisible());
    QCOMPARE(selected(), u"Mail"_s);

    // The grid's own type-ahead: Services that begin with the letters typed.
    f.ui.Grid1->setFocus();
    QTest::keyClicks(f.ui.Grid1, u"foru"_s);
    QCOMPARE(selected(), u"Forum"_s);

    QCOMPARE(f.fileLines(), file);
    QCOMPARE(QGuiApplication::clipboard()->text(), u"held"_s);
    QVERIFY(!f.ui.mnuCapture->isChecked());
    QCOMPARE(f.cell(3, RecordLine::Service), u"Mail"_s);
    f.ui.mnuFind->trigger();
    f.window->hide();
    QVERIFY(!find->isVisible());
}

void tst_MainWindow::find_followsTheMainWindowsLanguage()
{
    // The language changes after the main window loaded: Find keeps the main window's, and shows English
    // where an older table has no entry for it.
    MainWindowFixture f;
    TestFolders::write(f.folders.shipped() + u"/intl/Deutsch.dat"_s, "76=&Suchen...\n77=Suchen\n");
    Language::setCurrentLanguage(u"Deutsch"_s);
    f.start();
    Language::setCurrentLanguage(Language::English);
    QCOMPARE(f.ui.mnuFind->text(), u"&Suchen..."_s);
    f.ui.mnuFind->trigger();
    const auto *find = f.window->findChild<FindWindow *>(u"Find"_s);
    QCOMPARE(find->windowTitle(), u"Suchen"_s);
    QCOMPARE(find->FindText->placeholderText(), u"Service, Path, Username or Info"_s);
}

void tst_MainWindow::passwordToggle_menuAndCheckBoxAgree()
{
    MainWindowFixture f;
    f.start();
    const mainScrControls &ui = f.ui;
    QVERIFY(ui.Check1->isChecked());
    f.box(RecordLine::Password)->setText(u"hunter2"_s);
    f.ui.Text1[RecordLine::Password]->setFocus();
    ui.mnuShowPass->trigger();
    QCOMPARE(ui.mnuShowPass->text(), u"Hide Password"_s);
    QVERIFY(!ui.Check1->isChecked());
    QCOMPARE(f.box(RecordLine::Password)->echoMode(), QLineEdit::Normal);
    QTRY_COMPARE(QApplication::focusWidget(), ui.Text1[RecordLine::Service]);

    ui.mnuShowPass->trigger();
    QCOMPARE(ui.mnuShowPass->text(), u"Show Password"_s);
    QVERIFY(ui.Check1->isChecked());
    QCOMPARE(f.box(RecordLine::Password)->echoMode(), QLineEdit::Password);
    QCOMPARE(f.box(RecordLine::Password)->text(), u"hunter2"_s);

    QTest::mouseClick(ui.Check1, Qt::LeftButton);
    QCOMPARE(ui.mnuShowPass->text(), u"Hide Password"_s);
    QCOMPARE(f.box(RecordLine::Password)->echoMode(), QLineEdit::Normal);
}

void tst_MainWindow::keys_altThenLetterMovesFocus()
{
    MainWindowFixture f;
    f.start();
    QWidget *service = f.ui.Text1[RecordLine::Service];
    service->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), service);
    // S without a preceding Alt is an ordinary key.
    QTest::keyClick(service, Qt::Key_S);
    QCOMPARE(QApplication::focusWidget(), service);

    // Alt alone, then letters: they move the focus and are not typed, until another key.
    QTest::keyClick(service, Qt::Key_Alt);
    QTest::keyClick(service, Qt::Key_O);
    QCOMPARE(QApplication::focusWidget(), f.ui.Text1[RecordLine::Password]);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_R);
    QCOMPARE(QApplication::focusWidget(), f.ui.Text1[RecordLine::Info]);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_U);
    QCOMPARE(QApplication::focusWidget(), f.ui.Text1[RecordLine::Info]);
    QCOMPARE(f.ui.text(RecordLine::Service), u"s"_s);
    QCOMPARE(f.box(RecordLine::Password)->text(), QString());
    QCOMPARE(f.ui.text(RecordLine::Info), u"au"_s);

    // Held with Alt, a letter moves the focus once; Alt used so arms nothing.
    QTest::keyPress(QApplication::focusWidget(), Qt::Key_Alt);
    QTest::keyPress(QApplication::focusWidget(), Qt::Key_O, Qt::AltModifier);
    QTest::keyRelease(QApplication::focusWidget(), Qt::Key_Alt);
    QTest::keyRelease(QApplication::focusWidget(), Qt::Key_O);
    QCOMPARE(QApplication::focusWidget(), f.ui.Text1[RecordLine::Password]);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_S);
    QCOMPARE(QApplication::focusWidget(), f.ui.Text1[RecordLine::Password]);
    QCOMPARE(f.box(RecordLine::Password)->text(), u"s"_s);
    QCOMPARE(f.exit.count, 0);
}

void tst_MainWindow::keys_ctrlReleaseChecksCapture()
{
    MainWindowFixture f;
    f.start();
    QTest::keyClick(f.ui.Text1[RecordLine::Username], Qt::Key_Control);
    QVERIFY(f.ui.mnuCapture->isChecked());
}

void tst_MainWindow::keys_escapeEndsWithoutPreferences()
{
    MainWindowFixture f;
    f.start();
    QTest::keyClick(f.ui.Text1[RecordLine::Path], Qt::Key_Escape);
    QCOMPARE(f.exit.count, 1);
    QVERIFY(!QFile::exists(f.folders.appPath(u"prefs.cfg"_s)));
}

void tst_MainWindow::keys_releaseOfAKeyPressedElsewhere_countsForNothing_data()
{
    // The release lands in a box after its press closed a message box or a menu, or the box lost the
    // keyboard between press and release.
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("between");
    QTest::newRow("Escape released only") << int(Qt::Key_Escape) << QString();
    QTest::newRow("Enter released only") << int(Qt::Key_Return) << QString();
    QTest::newRow("Ctrl released only") << int(Qt::Key_Control) << QString();
    QTest::newRow("Escape pressed before a message box") << int(Qt::Key_Escape) << u"focus lost"_s;
    // The Find window takes the keyboard; the release of Ctrl may still reach the box.
    QTest::newRow("Ctrl held for Ctrl+F") << int(Qt::Key_Control) << u"Ctrl+F"_s;
}

void tst_MainWindow::keys_releaseOfAKeyPressedElsewhere_countsForNothing()
{
    QFETCH(int, key);
    QFETCH(QString, between);
    MainWindowFixture f;
    f.start();
    for (int i : { 0, 1, 2, 3 })
        f.ui.setText(RecordLine::Field(i), u"text"_s);
    QWidget *password = f.ui.Text1[RecordLine::Password];
    password->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), password);
    if (!between.isEmpty())
        QTest::keyPress(password, Qt::Key(key));
    if (between == u"focus lost"_s) {
        QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
        QApplication::sendEvent(password, &out);
    } else if (between == u"Ctrl+F"_s) {
        QTest::keyClick(password, Qt::Key_F, Qt::ControlModifier);
        QVERIFY(f.window->findChild<FindWindow *>(u"Find"_s)->isVisible());
    }
    QTest::keyRelease(password, Qt::Key(key));
    QCOMPARE(f.exit.count, 0);
    QCOMPARE(f.rows(), 0);
    QVERIFY(!f.ui.mnuCapture->isChecked());
}

void tst_MainWindow::tooltips_repeatTextExceptUsername()
{
    MainWindowFixture f;
    f.start();
    for (int i : { 0, 2, 3 })
        f.ui.setText(RecordLine::Field(i), u"text %1"_s.arg(i));
    for (int i : { 0, 2, 3 })
        QTest::mouseMove(f.ui.Text1[i], QPoint(10, 5));
    QCOMPARE(f.ui.Text1[RecordLine::Service]->toolTip(), u"text 0"_s);
    QVERIFY(f.ui.Text1[RecordLine::Username]->toolTip().isEmpty());

    // The password shows in the tip (even while the box shows asterisks) only while the tip shows: no property
    // of the box keeps it, where any program reading the accessibility tree would find it, during or after.
    QWidget *password = f.ui.Text1[RecordLine::Password];
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    QHelpEvent hover(QEvent::ToolTip, QPoint(10, 5), password->mapToGlobal(QPoint(10, 5)));
    QApplication::sendEvent(password, &hover);
    QTRY_COMPARE(QToolTip::text(), u"text 3"_s);
    const auto exposed = [password]() -> QString {
        QAccessibleInterface *box = QAccessible::queryAccessibleInterface(password);
        return password->toolTip() + box->text(QAccessible::Description) + box->text(QAccessible::Name);
    };
    QVERIFY(!exposed().contains(u"text 3"_s));
    QToolTip::hideText();
    f.ui.mnuReset->trigger();
    QVERIFY(f.ui.text(RecordLine::Password).isEmpty());
    QVERIFY(!exposed().contains(u"text 3"_s));

    // Text that looks like markup is shown as typed, not drawn as markup.
    f.ui.setText(RecordLine::Service, u"<b>bold</b> & co"_s);
    QTest::mouseMove(f.ui.Text1[RecordLine::Service], QPoint(12, 5));
    QTextDocument shown;
    shown.setHtml(f.ui.Text1[RecordLine::Service]->toolTip());
    QCOMPARE(shown.toPlainText(), u"<b>bold</b> & co"_s);
}

void tst_MainWindow::infoBox_staysOneLine()
{
    MainWindowFixture f;
    f.start();
    InfoEdit *info = f.ui.infoBox();
    info->setFocus();
    QTest::keyClicks(info, u"first"_s);
    QTest::keyClick(info, Qt::Key_Return);
    QTest::keyClicks(info, u" second"_s);
    QMimeData pasted;
    pasted.setText(u"\r\nthird\nfourth"_s);
    info->insertFromMimeData(&pasted);
    QCOMPARE(info->text(), u"first second third fourth"_s);
    info->setText(u"a\nb"_s);
    QCOMPARE(info->text(), u"a b"_s);

    // A no-break space stays one, read from the box and copied from it.
    info->clear();
    QTest::keyClicks(info, u"10\u00a0km"_s);
    QCOMPARE(info->text(), u"10\u00a0km"_s);
    info->selectAll();
    info->copy();
    QCOMPARE(QGuiApplication::clipboard()->text(), u"10\u00a0km"_s);
}

void tst_MainWindow::resize_rulesFollowTheWindow()
{
    MainWindowFixture f;
    f.start();
    const mainScrControls &ui = f.ui;
    const int infoWidth = twips(ui.Text1[RecordLine::Info]).width();
    f.window->setOuterSize(3800, 6300);
    QTRY_VERIFY(qAbs(f.window->outerWidth() - 3800) <= 15);
    // The Info box would get a negative width: it keeps its last one, the others follow.
    QCOMPARE(twips(ui.Text1[RecordLine::Info]).width(), infoWidth);
    QVERIFY(qAbs(twips(ui.Frame2).width() - 3600) <= 30);
    QVERIFY(qAbs(twips(ui.Grid1).width() - (3800 - 105 - 200)) <= 30);
    QVERIFY(qAbs(twips(ui.Text1[RecordLine::Path]).width() - (3600 - 975)) <= 30);
    // Only widths and the grid's height change; nothing moves.
    QCOMPARE(twips(ui.Text1[RecordLine::Path]).left(), 975);

    f.window->setOuterSize(7980, 5000);
    QTRY_VERIFY(qAbs(f.window->outerHeight() - 5000) <= 15);
    QVERIFY(qAbs(twips(ui.Grid1).height() - (5000 - twips(ui.Grid1).top() - 800)) <= 30);
    QVERIFY(qAbs(f.window->normalHeight() - 5000) <= 15);
}

void tst_MainWindow::resize_tooLowCollapsesTo3000()
{
    MainWindowFixture f;
    f.start();
    f.window->setOuterHeight(600);
    QTRY_VERIFY(qAbs(f.window->outerHeight() - 600) <= 15);
    f.window->setOuterHeight(450);
    QTRY_VERIFY(qAbs(f.window->outerHeight() - 3000) <= 15);
}

void tst_MainWindow::columnWidths_inTwips()
{
    MainWindowFixture f;
    f.start();
    const QTableView *grid = f.ui.Grid1;
    const int expected[] = { 2000, 3600, 1200, 1300 };
    for (int column = 0; column < 4; ++column)
        QVERIFY(qAbs(Twips::fromPixels(grid->columnWidth(column)) - expected[column]) <= 15);
    // Column 4 is as wide as the grid was when the widths were set, so the date lies past the edge.
    QVERIFY(qAbs(Twips::fromPixels(grid->columnWidth(4)) - 7650) <= 30);
}

void tst_MainWindow::lock_dropsRecordsAndTypedValues_thenReadsRecordsAgain_data()
{
    QTest::addColumn<int>("level");
    QTest::newRow("Program Only") << 2;
    QTest::newRow("Program and DBase") << 1;
}

void tst_MainWindow::lock_dropsRecordsAndTypedValues_thenReadsRecordsAgain()
{
    QFETCH(int, level);
    MainWindowFixture f({ recordLine(u"Bank"_s, u"b.example"_s, u"bob"_s, u"pw"_s) });
    QVERIFY(OwnerFile::write(OwnerRecord::build(u"xx-xx-xxxx"_s, u"Pw1"_s, u"05-17-2026"_s, Level(level))));
    if (level == 1)
        QVERIFY(f.window->database().EncryptPlainToDB(u"Pw1"_s));
    answerOwner();
    f.start();
    f.clickRow(0);
    QTest::mouseClick(f.ui.Label2, Qt::LeftButton);
    f.ui.setText(RecordLine::Info, u"typed, not filed"_s);
    f.ui.mnuFind->trigger();
    f.window->findChild<QLineEdit *>(u"FindText"_s)->setText(u"bob"_s);
    bool dropped = false;
    answerOwner([&] {
        dropped = !f.window->isVisible() && f.rows() == 0 && f.ui.texts() == RecordLine::Texts {}
            && QGuiApplication::clipboard()->text().isEmpty() && !f.window->findChild<FindWindow *>(u"Find"_s);
    });
    QTRY_VERIFY(f.ui.mnuLock->isEnabled());
    f.ui.mnuLock->trigger();
    QTRY_VERIFY(f.window->isVisible());
    QVERIFY(dropped);
    QCOMPARE(f.cell(0, RecordLine::Username), u"bob"_s);
    QCOMPARE(f.ui.texts(), RecordLine::Texts {});
    QCOMPARE(f.window->commands().selectedRow(), -1);
    QCOMPARE(f.exit.count, 0);
}

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
