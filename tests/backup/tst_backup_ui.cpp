// SPDX-License-Identifier: GPL-3.0-or-later
#include "Controls.h"
#include "Fakes.h"
#include "TestFolders.h"
#include "backup/DBBackup.h"
#include "common/Windows1252.h"
#include "store/FieldCipher.h"
#include "store/LineCipher.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QStorageInfo>
#include <QTest>
#include <QTimer>
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
    void save_restoreAsksOlderPasswordAndReloadsOnlyWhenRecovered();
    void emptyFolderBox_saveAndCloseRefused();
    void close_deletesWindow();
};

namespace {
DBBackup *openDialog(Database &database, DBBackup::Mode mode, Level level = Level::None, QString key = {})
{
    auto *dialog = new DBBackup(
        database, [level] { return level; }, [key] { return key; });
    dialog->setMode(mode);
    dialog->show();
    return dialog;
}

QByteArray enciphered(const QString &line, const QString &key)
{
    return LineCipher(Windows1252::encode(FieldCipher::encipher(line)), Windows1252::encode(key)) + "\r\n";
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
    Database db;
    QPointer<DBBackup> dialog = openDialog(db, DBBackup::Mode::Restore);
    QCOMPARE(dialog->windowTitle(), u"Database Restore"_s);
    // The menu's other entry while the window is open: the title says what Save now does.
    dialog->setMode(DBBackup::Mode::Backup);
    QCOMPARE(dialog->windowTitle(), u"Database Backup"_s);
    QCOMPARE(dialog->mode(), DBBackup::Mode::Backup);

    const QString drive = QStorageInfo(folders.app()).rootPath(); // none in a plain chroot: the root folder then
    QCOMPARE(control<QComboBox>(dialog, u"Drive1"_s)->currentText(), drive.isEmpty() ? QDir::rootPath() : drive);
    QVERIFY(!control<QLineEdit>(dialog, u"Text1"_s)->text().isEmpty());
    QVERIFY(QFileInfo(control<QLineEdit>(dialog, u"Text1"_s)->text()).isDir());
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
    Database db;
    const QString keep = folders.root() + u"/keep"_s;
    QDir().mkpath(keep);
    QPointer<DBBackup> dialog = openDialog(db, DBBackup::Mode::Backup);
    auto *model = qobject_cast<QFileSystemModel *>(control<QTreeView>(dialog, u"Dir1"_s)->model());
    QVERIFY(model);
    control<QTreeView>(dialog, u"Dir1"_s)->setCurrentIndex(model->index(keep));
    QCOMPARE(control<QLineEdit>(dialog, u"Text1"_s)->text(), keep);

    // Going to another drive and back returns to the folder last opened there.
    if (control<QComboBox>(dialog, u"Drive1"_s)->count() > 1) {
        const int here = control<QComboBox>(dialog, u"Drive1"_s)->currentIndex();
        control<QComboBox>(dialog, u"Drive1"_s)->setCurrentIndex(here == 0 ? 1 : 0);
        QCOMPARE(
            control<QLineEdit>(dialog, u"Text1"_s)->text(), control<QComboBox>(dialog, u"Drive1"_s)->currentText());
        control<QComboBox>(dialog, u"Drive1"_s)->setCurrentIndex(here);
        QCOMPARE(control<QLineEdit>(dialog, u"Text1"_s)->text(), keep);
    }
    delete dialog;
}

void tst_BackupUi::save_backupOnceThenNothing()
{
    TestFolders folders;
    Database db;
    FakeMessages messages;
    const QString stick = folders.root() + u"/stick"_s;
    QDir().mkpath(stick);
    TestFolders::write(folders.data() + u"/userDB.pdb"_s, "records\r\n");
    QPointer<DBBackup> dialog = openDialog(db, DBBackup::Mode::Backup);
    control<QLineEdit>(dialog, u"Text1"_s)->setText(stick + u'/');

    control<QPushButton>(dialog, u"Command1_0"_s)->click();
    QCOMPARE(dialog->windowTitle(), u"Database"_s);
    QCOMPARE(messages.texts(), QStringList { u"File Backup done"_s });
    QCOMPARE(messages.shown.first().icon, MessageIcon::Information);
    QCOMPARE(messages.shown.first().title, u"Corvane"_s);
    QCOMPARE(TestFolders::read(stick + u"/Corvane.pdb"_s), QByteArray("records\r\n"));

    // The operation is done: a second Save copies nothing and says nothing.
    TestFolders::write(folders.data() + u"/userDB.pdb"_s, "changed\r\n");
    control<QPushButton>(dialog, u"Command1_0"_s)->click();
    QCOMPARE(messages.shown.size(), 1);
    QCOMPARE(TestFolders::read(stick + u"/Corvane.pdb"_s), QByteArray("records\r\n"));
    QVERIFY(dialog);
    delete dialog;
}

void tst_BackupUi::save_restoreAsksOlderPasswordAndReloadsOnlyWhenRecovered()
{
    TestFolders folders;
    Database db;
    FakeMessages messages;
    const QString stick = folders.root() + u"/stick"_s;
    QDir().mkpath(stick);
    QDir().mkpath(folders.data());
    const QString record = u"Bank:!:!jdoe:!pw:!:!05-17-2002 14:03:59:!"_s;
    QPointer<DBBackup> dialog = openDialog(db, DBBackup::Mode::Restore, Level::ProgramAndDatabase, u"new"_s);
    QSignalSpy restored(dialog.data(), &DBBackup::databaseRestored);
    control<QLineEdit>(dialog, u"Text1"_s)->setText(stick);

    control<QPushButton>(dialog, u"Command1_0"_s)->click();
    QCOMPARE(messages.texts(), QStringList { u"Failed to locate Data Base, try to copy it manually"_s });
    QCOMPARE(restored.size(), 0);

    // A backup made under the password before the last change: its password is asked, a wrong one refused.
    TestFolders::write(stick + u"/Corvane.edb"_s, enciphered(record, u"old"_s));
    for (const QString &typed : { u"wrong"_s, u"old"_s }) {
        dialog->setMode(DBBackup::Mode::Restore);
        QTimer::singleShot(0, [typed] {
            auto *prompt = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
            QVERIFY(prompt);
            QCOMPARE(prompt->textEchoMode(), QLineEdit::Password);
            QVERIFY(prompt->labelText().contains(u"Corvane.edb"_s));
            prompt->setTextValue(typed);
            prompt->accept();
        });
        control<QPushButton>(dialog, u"Command1_0"_s)->click();
    }
    QCOMPARE(messages.shown.size(), 3);
    QCOMPARE(messages.shown[1].icon, MessageIcon::Information);
    QCOMPARE(messages.shown[1].title, u"Corvane"_s);
    QVERIFY2(messages.shown[1].text.contains(u"Nothing was restored."_s), qPrintable(messages.shown[1].text));
    QCOMPARE(messages.texts().last(), u"File Recovered"_s);
    QCOMPARE(restored.size(), 1);
    // In place under the password in force, so it reads at the next start.
    QCOMPARE(TestFolders::read(folders.data() + u"/userDB.edb"_s), enciphered(record, u"new"_s));
    delete dialog;
}

void tst_BackupUi::emptyFolderBox_saveAndCloseRefused()
{
    TestFolders folders;
    Database db;
    FakeMessages messages;
    TestFolders::write(folders.data() + u"/userDB.pdb"_s, "records\r\n");
    QPointer<DBBackup> dialog = openDialog(db, DBBackup::Mode::Backup);
    control<QLineEdit>(dialog, u"Text1"_s)->clear();
    control<QPushButton>(dialog, u"Command1_0"_s)->setFocus();

    control<QPushButton>(dialog, u"Command1_0"_s)->click();
    QCOMPARE(dialog->focusWidget(), control<QLineEdit>(dialog, u"Text1"_s));
    control<QPushButton>(dialog, u"Command1_1"_s)->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(dialog);
    QVERIFY(dialog->isVisible());
    QVERIFY(messages.shown.isEmpty());
    QCOMPARE(dialog->mode(), DBBackup::Mode::Backup);
    delete dialog;
}

void tst_BackupUi::close_deletesWindow()
{
    TestFolders folders;
    Database db;
    QPointer<DBBackup> dialog = openDialog(db, DBBackup::Mode::Backup);
    control<QLineEdit>(dialog, u"Text1"_s)->setText(u"/"_s); // the root: Close must still work
    control<QPushButton>(dialog, u"Command1_1"_s)->click();
    QTRY_VERIFY(!dialog);
}

QTEST_MAIN(tst_BackupUi)
#include "tst_backup_ui.moc"
