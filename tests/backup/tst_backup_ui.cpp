// SPDX-License-Identifier: GPL-3.0-or-later
#include "DBBackup.h"
#include "Fakes.h"
#include "TestFolders.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QStorageInfo>
#include <QTest>
#include <QTreeView>

using namespace Qt::StringLiterals;

class tst_BackupUi : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void load_titleFromModeAndDriveOfApplicationFolder();
    void dir1Change_setsFolderBox();
    void save_backupOnceThenNothing();
    void save_restoreReloadsOnlyWhenRecovered();
    void emptyFolderBox_saveAndCloseRefused();
    void close_deletesWindow();
};

namespace {
DBBackup *openDialog(const QString &mode, QString level = u"0"_s)
{
    auto *dialog = new DBBackup([level] { return level; });
    dialog->setMode(mode);
    dialog->show();
    return dialog;
}
} // namespace

void tst_BackupUi::initTestCase()
{
    // The program's interface font, so that a screenshot shows what the user sees.
    QFont font = QApplication::font();
    font.setPointSize(8);
    QApplication::setFont(font);
}

void tst_BackupUi::load_titleFromModeAndDriveOfApplicationFolder()
{
    TestFolders folders;
    QPointer<DBBackup> dialog = openDialog(u"Restore"_s);
    QCOMPARE(dialog->windowTitle(), u"Database Restore"_s);
    dialog->setMode(u"Backup"_s);
    dialog->hide();
    dialog->show();
    QCOMPARE(dialog->windowTitle(), u"Database Restore"_s);
    QCOMPARE(dialog->mode(), u"Backup"_s);

    QCOMPARE(dialog->Drive1->currentText(), QStorageInfo(folders.app()).rootPath());
    QVERIFY(!dialog->Text1->text().isEmpty());
    QVERIFY(QFileInfo(dialog->Text1->text()).isDir());
    QCOMPARE(dialog->findChild<QLabel *>(u"Label2"_s)->text(), u"Select the path. Do not change the filename"_s);
    QCOMPARE(dialog->findChild<QPushButton *>(u"Command1_0"_s)->text(), u"Save"_s);
    QCOMPARE(dialog->findChild<QPushButton *>(u"Command1_1"_s)->text(), u"Close"_s);

    const QString shots = qEnvironmentVariable("CORVANE_SCREENSHOTS");
    if (!shots.isEmpty()) {
        QTest::qWait(500); // the folder list fills in from a thread of its own
        QVERIFY(dialog->grab().save(shots + u"/DBBackup.png"_s));
    }
    delete dialog;
}

void tst_BackupUi::dir1Change_setsFolderBox()
{
    TestFolders folders;
    const QString keep = folders.root() + u"/keep"_s;
    QDir().mkpath(keep);
    QPointer<DBBackup> dialog = openDialog(u"Backup"_s);
    auto *model = qobject_cast<QFileSystemModel *>(dialog->Dir1->model());
    QVERIFY(model);
    dialog->Dir1->setCurrentIndex(model->index(keep));
    QCOMPARE(dialog->Text1->text(), keep);

    // Going to another drive and back returns to the folder last opened there.
    if (dialog->Drive1->count() > 1) {
        const int here = dialog->Drive1->currentIndex();
        dialog->Drive1->setCurrentIndex(here == 0 ? 1 : 0);
        QCOMPARE(dialog->Text1->text(), dialog->Drive1->currentText());
        dialog->Drive1->setCurrentIndex(here);
        QCOMPARE(dialog->Text1->text(), keep);
    }
    delete dialog;
}

void tst_BackupUi::save_backupOnceThenNothing()
{
    TestFolders folders;
    FakeMessages messages;
    const QString stick = folders.root() + u"/stick"_s;
    QDir().mkpath(stick);
    TestFolders::write(folders.data() + u"/userDB.pdb"_s, "records\r\n");
    QPointer<DBBackup> dialog = openDialog(u"Backup"_s);
    dialog->Text1->setText(stick + u'/');

    dialog->Command1[0]->click();
    QCOMPARE(messages.texts(), QStringList { u"File Backup done"_s });
    QCOMPARE(messages.shown.first().icon, MessageIcon::Information);
    QCOMPARE(messages.shown.first().title, u"Corvane"_s);
    QCOMPARE(TestFolders::read(stick + u"/Corvane.pdb"_s), QByteArray("records\r\n"));

    // The operation is done: a second Save copies nothing and says nothing.
    TestFolders::write(folders.data() + u"/userDB.pdb"_s, "changed\r\n");
    dialog->Command1[0]->click();
    QCOMPARE(messages.shown.size(), 1);
    QCOMPARE(TestFolders::read(stick + u"/Corvane.pdb"_s), QByteArray("records\r\n"));
    QVERIFY(dialog);
    delete dialog;
}

void tst_BackupUi::save_restoreReloadsOnlyWhenRecovered()
{
    TestFolders folders;
    FakeMessages messages;
    const QString stick = folders.root() + u"/stick"_s;
    QDir().mkpath(stick);
    QDir().mkpath(folders.data());
    QPointer<DBBackup> dialog = openDialog(u"Restore"_s, u"1"_s);
    QSignalSpy restored(dialog.data(), &DBBackup::databaseRestored);
    dialog->Text1->setText(stick);

    dialog->Command1[0]->click();
    QCOMPARE(messages.texts(), QStringList { u"Failed to locate Data Base, try to copy it manually"_s });
    QCOMPARE(restored.size(), 0);

    TestFolders::write(stick + u"/Corvane.edb"_s, "\x9a\xb2\r\n");
    dialog->setMode(u"Restore"_s);
    dialog->Command1[0]->click();
    QCOMPARE(messages.texts().last(), u"File Recovered"_s);
    QCOMPARE(restored.size(), 1);
    QCOMPARE(TestFolders::read(folders.data() + u"/userDB.edb"_s), QByteArray("\x9a\xb2\r\n"));
    delete dialog;
}

void tst_BackupUi::emptyFolderBox_saveAndCloseRefused()
{
    TestFolders folders;
    FakeMessages messages;
    TestFolders::write(folders.data() + u"/userDB.pdb"_s, "records\r\n");
    QPointer<DBBackup> dialog = openDialog(u"Backup"_s);
    dialog->Text1->clear();
    dialog->Command1[0]->setFocus();

    dialog->Command1[0]->click();
    QCOMPARE(dialog->focusWidget(), dialog->Text1);
    dialog->Command1[1]->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(dialog);
    QVERIFY(dialog->isVisible());
    QVERIFY(messages.shown.isEmpty());
    QCOMPARE(dialog->mode(), u"Backup"_s);
    delete dialog;
}

void tst_BackupUi::close_deletesWindow()
{
    TestFolders folders;
    QPointer<DBBackup> dialog = openDialog(u"Backup"_s);
    dialog->Text1->setText(u"/"_s); // the root: Close must still work
    dialog->Command1[1]->click();
    QTRY_VERIFY(!dialog);
}

QTEST_MAIN(tst_BackupUi)
#include "tst_backup_ui.moc"
