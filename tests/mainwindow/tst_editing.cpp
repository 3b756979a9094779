// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileSizeLimit.h"
#include "MainWindowFixture.h"
#include "common/ClickLabel.h"
#include "common/Clipboard.h"
#include "mainwindow/RecordCommands.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
const QString kDate = u"12-08-2026 09:30:05"_s;
const ShownMessage kDiskError { MessageIcon::Critical, u"Disk Error - i66"_s, u"Can not access the DataBase."_s };
} // namespace

class tst_Editing : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void addEnabling_followsServiceUsernamePassword();
    void add_filesRecordAndEmptiesBoxes();
    void add_identicalIgnoringCase_isRefusedWithMessage();
    void add_valueTheFileCannotHold_isRefused_data();
    void add_valueTheFileCannotHold_isRefused();
    void enterInPasswordBox_filesWhenServicePathUsernameFilled();
    void add_failedWrite_keepsListGridFileAndBoxes();
    void afterAdd_nothingIsSelected();
    void replace_changesSelectedRecordOnly();
    void replace_withoutChange_saysSoAndKeepsUndo();
    void replace_changingService_keepsGridInListOrder();
    void remove_lastRecord_leavesEmptyGridAndFile();
    void remove_thenUndo_putsValuesBack();
    void remove_failedWrite_keepsRecord();
    void replace_afterOutsideChange_readsFileAgainAndWritesNothing();
    void reset_endsCaptureAndEmptiesClipboard();
};

void tst_Editing::addEnabling_followsServiceUsernamePassword()
{
    MainWindowFixture f;
    f.start();
    mainScrControls &ui = f.ui;
    f.type(RecordLine::Service, u"mail"_s);
    f.type(RecordLine::Username, u"me"_s);
    QVERIFY(!ui.mnuAdd->isEnabled());
    f.type(RecordLine::Password, u"pw"_s);
    QVERIFY(ui.mnuAdd->isEnabled());
    QVERIFY(ui.Image1[0]->isEnabled());
    // Path and Info play no part; clearing any of the three disables Add again.
    f.box(RecordLine::Path)->setText(u"x"_s);
    f.box(RecordLine::Username)->clear();
    QVERIFY(!ui.mnuAdd->isEnabled());
    QVERIFY(!ui.Image1[0]->isEnabled());
    // Replace also needs a selected record.
    QVERIFY(!ui.mnuReplace->isEnabled());
}

void tst_Editing::add_filesRecordAndEmptiesBoxes()
{
    MainWindowFixture f;
    f.start();
    f.type(RecordLine::Service, u"Mail"_s);
    f.type(RecordLine::Username, u"jdoe"_s);
    f.type(RecordLine::Password, u"secret"_s);
    f.ui.mnuAdd->trigger();

    QCOMPARE(f.rows(), 1);
    QCOMPARE(f.cell(0, RecordLine::Service), u"Mail"_s);
    QCOMPARE(f.cell(0, RecordLine::Password), u"******"_s);
    QCOMPARE(f.cell(0, RecordLine::RecordDate), kDate);
    QCOMPARE(f.fileLines(), QStringList { recordLine(u"Mail"_s, {}, u"jdoe"_s, u"secret"_s, {}, kDate) });
    for (int i = 0; i < 5; ++i)
        QVERIFY(f.ui.text(RecordLine::Field(i)).isEmpty());
    QTRY_COMPARE(QApplication::focusWidget(), f.ui.Text1[RecordLine::Service]);
    QVERIFY(f.messages.shown.isEmpty());
}

void tst_Editing::add_identicalIgnoringCase_isRefusedWithMessage()
{
    MainWindowFixture f({ recordLine(u"mail"_s, {}, u"JDOE"_s, u"pw"_s, {}, kDate) });
    f.start();
    f.type(RecordLine::Service, u"Mail"_s);
    f.type(RecordLine::Username, u"jdoe"_s);
    f.type(RecordLine::Password, u"PW"_s);
    f.ui.mnuAdd->trigger();
    QCOMPARE(f.messages.shown,
        (QList<ShownMessage> {
            { MessageIcon::Information, u"Corvane"_s, u"There is an identical record already filed"_s } }));
    QCOMPARE(f.rows(), 1);
    QCOMPARE(f.fileLines().size(), 1);
    QCOMPARE(f.box(RecordLine::Service)->text(), u"Mail"_s); // nothing changed, the boxes included

    // A second later the same texts make a different record.
    f.clock.set(f.clock.now().addSecs(1));
    f.ui.mnuAdd->trigger();
    QCOMPARE(f.rows(), 2);
}

void tst_Editing::add_valueTheFileCannotHold_isRefused_data()
{
    QTest::addColumn<int>("box");
    QTest::addColumn<QString>("value");
    QTest::newRow("separator in Service") << 0 << u"a:!b"_s;
    QTest::newRow("separator in Info") << 4 << u"note :! more"_s;
    QTest::newRow("outside the code page") << 2 << u"名前"_s;
}

void tst_Editing::add_valueTheFileCannotHold_isRefused()
{
    QFETCH(int, box);
    QFETCH(QString, value);
    MainWindowFixture f;
    f.start();
    for (int i : { 0, 2, 3 })
        f.ui.setText(RecordLine::Field(i), u"ok"_s);
    f.ui.setText(RecordLine::Field(box), value);
    f.ui.mnuAdd->trigger();
    QCOMPARE(f.messages.shown.size(), 1);
    QCOMPARE(f.messages.shown.first().icon, MessageIcon::Critical);
    QCOMPARE(f.rows(), 0);
    QVERIFY(f.fileLines().isEmpty());
    QCOMPARE(f.ui.text(RecordLine::Field(box)), value);
}

void tst_Editing::enterInPasswordBox_filesWhenServicePathUsernameFilled()
{
    MainWindowFixture f;
    f.start();
    f.type(RecordLine::Service, u"Bank"_s);
    f.type(RecordLine::Username, u"me"_s);
    // Without a Path, Enter does nothing.
    f.ui.Text1[RecordLine::Password]->setFocus();
    QTest::keyClick(f.ui.Text1[RecordLine::Password], Qt::Key_Return);
    QCOMPARE(f.rows(), 0);

    f.type(RecordLine::Path, u"bank.example"_s);
    // Enter in another box does nothing.
    QTest::keyClick(f.ui.Text1[RecordLine::Path], Qt::Key_Return);
    QCOMPARE(f.rows(), 0);
    // In the Password box it files, even with an empty password.
    f.ui.Text1[RecordLine::Password]->setFocus();
    QTest::keyClick(f.ui.Text1[RecordLine::Password], Qt::Key_Return);
    QCOMPARE(f.rows(), 1);
    QCOMPARE(f.cell(0, RecordLine::Password), QString());
    QCOMPARE(f.fileLines(), QStringList { recordLine(u"Bank"_s, u"bank.example"_s, u"me"_s, {}, {}, kDate) });
}

void tst_Editing::add_failedWrite_keepsListGridFileAndBoxes()
{
    MainWindowFixture f({ recordLine(u"old"_s, {}, u"u"_s, u"p"_s) });
    f.start();
    f.type(RecordLine::Service, u"Mail"_s);
    f.type(RecordLine::Username, u"jdoe"_s);
    f.type(RecordLine::Password, u"pw"_s);
    const QByteArray before = TestFolders::read(f.folders.data() + u"/userDB.pdb"_s);
    {
        FileSizeLimit full(before.size()); // the disk is full
        f.ui.mnuAdd->trigger();
    }
    QCOMPARE(TestFolders::read(f.folders.data() + u"/userDB.pdb"_s), before);
    QCOMPARE(f.messages.shown, (QList<ShownMessage> { kDiskError }));
    QCOMPARE(f.rows(), 1);
    QCOMPARE(f.box(RecordLine::Service)->text(), u"Mail"_s);
    QCOMPARE(f.box(RecordLine::Password)->text(), u"pw"_s);
}

void tst_Editing::afterAdd_nothingIsSelected()
{
    MainWindowFixture f({ recordLine(u"b"_s, {}, u"u"_s, u"p"_s) });
    f.start();
    f.clickRow(0);
    QCOMPARE(f.window->commands().selectedRow(), 0);
    f.ui.setText(RecordLine::Service, u"a"_s);
    f.ui.mnuAdd->trigger();
    QCOMPARE(f.rows(), 2);
    // The new record took row 0; Replace and Remove must not act on any row now.
    QCOMPARE(f.window->commands().selectedRow(), -1);
    QVERIFY(!f.ui.mnuRemove->isEnabled());
    QVERIFY(!f.ui.Image1[2]->isEnabled());
    f.ui.setText(RecordLine::Service, u"x"_s);
    f.ui.setText(RecordLine::Username, u"y"_s);
    f.ui.setText(RecordLine::Password, u"z"_s);
    QVERIFY(!f.ui.mnuReplace->isEnabled());
    f.window->commands().mnuReplace_Click();
    f.window->commands().mnuRemove_Click();
    QCOMPARE(f.fileLines().size(), 2);
    QCOMPARE(f.cell(0, RecordLine::Service), u"a"_s);
    QCOMPARE(f.cell(1, RecordLine::Service), u"b"_s);
}

void tst_Editing::replace_changesSelectedRecordOnly()
{
    MainWindowFixture f({ recordLine(u"alpha"_s, {}, u"u1"_s, u"p1"_s), recordLine(u"beta"_s, {}, u"u2"_s, u"p2"_s) });
    f.start();
    f.clickRow(1);
    f.box(RecordLine::Password)->setText(u"new"_s);
    QVERIFY(f.ui.mnuReplace->isEnabled());
    f.ui.Image1[1]->clicked();
    QCOMPARE(f.fileLines(),
        (QStringList {
            recordLine(u"alpha"_s, {}, u"u1"_s, u"p1"_s), recordLine(u"beta"_s, {}, u"u2"_s, u"new"_s, {}, kDate) }));
    QCOMPARE(f.cell(1, RecordLine::Password), u"***"_s);
    QCOMPARE(f.cell(1, RecordLine::RecordDate), kDate);
    QCOMPARE(f.window->windowTitle(), u"Corvane"_s);
    QVERIFY(f.box(RecordLine::Service)->text().isEmpty());
    QCOMPARE(f.window->commands().selectedRow(), -1);

    // Undo after Replace gives back what the boxes held when Replace was chosen.
    QVERIFY(f.ui.mnuUndo->isEnabled());
    f.ui.mnuUndo->trigger();
    QCOMPARE(f.box(RecordLine::Service)->text(), u"beta"_s);
    QCOMPARE(f.box(RecordLine::Password)->text(), u"new"_s);
    QVERIFY(!f.ui.mnuUndo->isEnabled());
}

void tst_Editing::replace_withoutChange_saysSoAndKeepsUndo()
{
    // Filed at the clock's own second, so Replace builds the identical line.
    MainWindowFixture f({ recordLine(u"alpha"_s, {}, u"u"_s, u"p"_s, {}, kDate) });
    f.start();
    f.clickRow(0);
    f.ui.mnuReplace->trigger();
    QCOMPARE(f.messages.texts(), QStringList { u"There were no changes"_s });
    QVERIFY(f.ui.mnuUndo->isEnabled());
    QCOMPARE(f.fileLines(), QStringList { recordLine(u"alpha"_s, {}, u"u"_s, u"p"_s, {}, kDate) });
    // Different only in letter case is a change.
    f.messages.clear();
    f.box(RecordLine::Service)->setText(u"Alpha"_s);
    f.ui.mnuReplace->trigger();
    QVERIFY(f.messages.shown.isEmpty());
    QCOMPARE(f.cell(0, RecordLine::Service), u"Alpha"_s);
}

void tst_Editing::replace_changingService_keepsGridInListOrder()
{
    MainWindowFixture f({ recordLine(u"alpha"_s, {}, u"u"_s, u"1"_s), recordLine(u"beta"_s, {}, u"u"_s, u"2"_s),
        recordLine(u"gamma"_s, {}, u"u"_s, u"3"_s) });
    f.start();
    f.clickRow(0);
    f.box(RecordLine::Service)->setText(u"zeta"_s);
    f.ui.mnuReplace->trigger();
    QCOMPARE(f.cell(0, RecordLine::Service), u"beta"_s);
    QCOMPARE(f.cell(2, RecordLine::Service), u"zeta"_s);
    // Every row still shows its own record: selecting the last one gives zeta's password.
    f.clickRow(2);
    QCOMPARE(f.box(RecordLine::Password)->text(), u"1"_s);
    QCOMPARE(f.fileLines().size(), 3);
}

void tst_Editing::remove_lastRecord_leavesEmptyGridAndFile()
{
    MainWindowFixture f({ recordLine(u"only"_s, {}, u"u"_s, u"p"_s) });
    f.start();
    f.clickRow(0);
    QVERIFY(f.window->windowTitle().startsWith(u"Corvane - Record Date: "_s));
    f.ui.mnuRemove->trigger();
    QCOMPARE(f.rows(), 0);
    QVERIFY(f.fileLines().isEmpty());
    QVERIFY(QFile::exists(f.folders.data() + u"/userDB.pdb"_s));
    QCOMPARE(f.window->windowTitle(), u"Corvane"_s);
    QVERIFY(!f.ui.mnuRemove->isEnabled());
    QVERIFY(!f.ui.Image1[2]->isEnabled());
    QVERIFY(f.box(RecordLine::Service)->text().isEmpty());
}

void tst_Editing::remove_thenUndo_putsValuesBack()
{
    MainWindowFixture f(
        { recordLine(u"a"_s, u"a.example"_s, u"u"_s, u"p"_s, u"note"_s), recordLine(u"b"_s, {}, u"v"_s, u"q"_s) });
    f.start();
    f.clickRow(0);
    f.ui.Image1[2]->clicked();
    QCOMPARE(f.fileLines(), QStringList { recordLine(u"b"_s, {}, u"v"_s, u"q"_s) });
    f.ui.mnuUndo->trigger();
    QCOMPARE(f.box(RecordLine::Path)->text(), u"a.example"_s);
    QCOMPARE(f.box(RecordLine::Password)->text(), u"p"_s);
    QCOMPARE(f.ui.text(RecordLine::Info), u"note"_s);
    QCOMPARE(f.rows(), 1); // the grid and file lack it until Add
    f.ui.mnuAdd->trigger();
    QCOMPARE(f.rows(), 2);
}

void tst_Editing::remove_failedWrite_keepsRecord()
{
    MainWindowFixture f({ recordLine(u"a"_s, {}, u"u"_s, u"p"_s) });
    f.start();
    f.clickRow(0);
    // The folder goes; a file takes its place, so the rewrite cannot create its new file.
    QDir(f.folders.data()).removeRecursively();
    TestFolders::write(f.folders.data(), "not a folder");
    f.ui.mnuRemove->trigger();
    QCOMPARE(f.messages.shown, (QList<ShownMessage> { kDiskError }));
    QCOMPARE(f.rows(), 1);
    QCOMPARE(f.box(RecordLine::Service)->text(), u"a"_s);
    QCOMPARE(f.window->commands().selectedRow(), 0);
}

void tst_Editing::replace_afterOutsideChange_readsFileAgainAndWritesNothing()
{
    const QString mine = recordLine(u"a"_s, {}, u"u"_s, u"p"_s);
    const QString theirs = recordLine(u"b"_s, {}, u"them"_s, u"q"_s);
    MainWindowFixture f({ mine });
    f.start();
    f.clickRow(0);
    // Another copy of Corvane, or a sync tool, files a record meanwhile.
    QVERIFY(Database().RewriteDatabase(Level::None, { mine, theirs }, {}));
    const QByteArray file = TestFolders::read(f.folders.data() + u"/userDB.pdb"_s);

    f.ui.setText(RecordLine::Info, u"changed"_s);
    f.ui.mnuReplace->trigger();
    QCOMPARE(f.messages.shown.size(), 1);
    QCOMPARE(f.messages.shown.first().icon, MessageIcon::Information);
    QVERIFY(f.messages.shown.first().text.contains(u"changed outside Corvane"_s));
    QCOMPARE(TestFolders::read(f.folders.data() + u"/userDB.pdb"_s), file);
    QCOMPARE(f.rows(), 2);
    QCOMPARE(f.window->commands().selectedRow(), -1);
    QCOMPARE(f.ui.text(RecordLine::Info), u"changed"_s); // kept, to make the change again

    f.clickRow(0);
    f.ui.setText(RecordLine::Info, u"changed"_s);
    f.ui.mnuReplace->trigger();
    QCOMPARE(f.messages.shown.size(), 1);
    QCOMPARE(f.fileLines(), (QStringList { recordLine(u"a"_s, {}, u"u"_s, u"p"_s, u"changed"_s, kDate), theirs }));
}

void tst_Editing::reset_endsCaptureAndEmptiesClipboard()
{
    MainWindowFixture f({ recordLine(u"a"_s, {}, u"u"_s, u"p"_s) });
    f.start();
    f.clickRow(0);
    f.ui.Check1->setChecked(false);
    f.ui.mnuCapture->setChecked(true);
    Clipboard::setText(u"something"_s);
    f.ui.mnuReset->trigger();
    QVERIFY(!f.ui.mnuCapture->isChecked());
    QVERIFY(Clipboard::text().isEmpty());
    QVERIFY(f.box(RecordLine::Service)->text().isEmpty());
    QVERIFY(f.ui.Check1->isChecked());
    QCOMPARE(f.window->windowTitle(), u"Corvane"_s);
    QVERIFY(!f.ui.mnuRemove->isEnabled());
    QCOMPARE(f.rows(), 1);
}

QTEST_MAIN(tst_Editing)
#include "tst_editing.moc"
