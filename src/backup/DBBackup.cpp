// SPDX-License-Identifier: GPL-3.0-or-later
#include "backup/DBBackup.h"

#include "backup/DatabaseBackup.h"
#include "common/AppFolders.h"
#include "common/AppInfo.h"
#include "common/Messages.h"
#include "common/Twips.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStorageInfo>
#include <QTreeView>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {
/** The root folders of the mounted file systems that can be browsed, sorted. */
QStringList driveRoots()
{
    QStringList roots;
    const QList<QStorageInfo> volumes = QStorageInfo::mountedVolumes();
    for (const QStorageInfo &volume : volumes) {
        // Single files can be mount points too (a container's /etc/hosts); only folders hold backups.
        if (volume.isValid() && volume.isReady() && QFileInfo(volume.rootPath()).isDir())
            roots.append(volume.rootPath());
    }
    roots.removeDuplicates();
    std::sort(roots.begin(), roots.end());
    return roots;
}

QString driveOf(const QString &path)
{
    // Inside a chroot or a container whose mounts lie outside its root, no file system is known for
    // the path: the root folder stands in, so the window still has a drive to show.
    const QString root = QStorageInfo(path).rootPath();
    return root.isEmpty() ? QDir::rootPath() : root;
}

/** The mode as the title and the backup's logic name it. */
QString modeText(DBBackup::Mode mode)
{
    switch (mode) {
    case DBBackup::Mode::Backup:
        return DatabaseBackup::Backup;
    case DBBackup::Mode::Restore:
        return DatabaseBackup::Restore;
    case DBBackup::Mode::None:
        break;
    }
    return {};
}
} // namespace

DBBackup::DBBackup(Database &database, std::function<Level()> reach, KeyProvider key, QWidget *parent)
    : QDialog(parent)
    , Drive1(new QComboBox(this))
    , Dir1(new QTreeView(this))
    , Text1(new QLineEdit(this))
    , Label2(new QLabel(u"Select the path. Do not change the filename"_s, this))
    , Command1 { new QPushButton(u"Save"_s, this), new QPushButton(u"Close"_s, this) }
    , m_database(database)
    , m_reach(std::move(reach))
    , m_key(std::move(key))
    , m_folders(new QFileSystemModel(this))
{
    setObjectName(u"DBBackup"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    buildControls();
    setUpFolderList();
    listDrives();
    connectHandlers();
}

void DBBackup::buildControls()
{
    Drive1->setObjectName(u"Drive1"_s);
    Dir1->setObjectName(u"Dir1"_s);
    Text1->setObjectName(u"Text1"_s);
    Label2->setObjectName(u"Label2"_s);
    Command1[0]->setObjectName(u"Command1_0"_s);
    Command1[1]->setObjectName(u"Command1_1"_s);

    // The list of drives is named by the drive it shows; the other two by what they hold.
    Dir1->setAccessibleName(u"Folders"_s);
    Text1->setAccessibleName(u"Folder"_s);

    setWindowTitle(u"Database"_s);
    setFixedSize(Twips::toPixels(4800), Twips::toPixels(4500));
    place(Label2, 120, 120, 4560, 255);
    place(Drive1, 120, 435, 4560, 345);
    place(Dir1, 120, 870, 4560, 2580);
    place(Text1, 120, 3540, 4560, 345);
    place(Command1[0], 2100, 3990, 1215, 390);
    place(Command1[1], 3465, 3990, 1215, 390);
}

void DBBackup::setUpFolderList()
{
    m_folders->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    m_folders->setReadOnly(true);
    Dir1->setModel(m_folders);
    Dir1->setHeaderHidden(true);
    for (int column = 1; column < m_folders->columnCount(); ++column)
        Dir1->hideColumn(column);
    Dir1->setSelectionMode(QAbstractItemView::SingleSelection);
}

void DBBackup::listDrives()
{
    QStringList roots = driveRoots();
    const QString appDrive = driveOf(AppFolders::applicationFolder());
    if (!roots.contains(appDrive))
        roots.prepend(appDrive);
    Drive1->addItems(roots);
    // Like a drive's current folder: the drive the program was started from opens where it was started.
    m_driveFolders.insert(driveOf(QDir::currentPath()), QDir::currentPath());
}

void DBBackup::connectHandlers()
{
    connect(Drive1, &QComboBox::currentIndexChanged, this, &DBBackup::Drive1_Change);
    connect(Dir1->selectionModel(), &QItemSelectionModel::currentChanged, this, &DBBackup::Dir1_Change);
    // The folders fill in and get sorted after the current one was chosen, which pushes it out of
    // sight: follow it until the user scrolls, clicks, or opens a folder in the list.
    connect(m_folders, &QFileSystemModel::rowsInserted, this, &DBBackup::keepCurrentFolderInView);
    connect(m_folders, &QFileSystemModel::layoutChanged, this, &DBBackup::keepCurrentFolderInView);
    connect(Dir1->verticalScrollBar(), &QScrollBar::actionTriggered, this, &DBBackup::stopFollowing);
    connect(Dir1, &QTreeView::pressed, this, &DBBackup::stopFollowing);
    connect(Dir1, &QTreeView::expanded, this, &DBBackup::stopFollowing);
    connect(Dir1, &QTreeView::collapsed, this, &DBBackup::stopFollowing);
    connect(Command1[0], &QPushButton::clicked, this, [this] { Command1_Click(0); });
    connect(Command1[1], &QPushButton::clicked, this, [this] { Command1_Click(1); });
}

void DBBackup::showEvent(QShowEvent *event)
{
    if (!m_loaded) {
        m_loaded = true;
        Form_Load();
    }
    QDialog::showEvent(event);
}

void DBBackup::setMode(Mode mode)
{
    Label1 = mode;
    // The title always names what Save will do, also when the menu changes it while the window is open.
    setWindowTitle(Label1 == Mode::None ? u"Database"_s : u"Database "_s + modeText(Label1));
}

void DBBackup::Form_Load()
{
    setMode(Label1);
    const int drive = Drive1->findText(driveOf(AppFolders::applicationFolder()));
    if (drive == Drive1->currentIndex())
        Drive1_Change(); // already selected: the list raises no change of its own
    else
        Drive1->setCurrentIndex(drive);
}

void DBBackup::Drive1_Change()
{
    const QString root = Drive1->currentText();
    QString folder = m_driveFolders.value(root, root);
    if (!QFileInfo(folder).isDir() || driveOf(folder) != root)
        folder = root;
    m_folders->setRootPath(root);
    Dir1->setRootIndex(m_folders->index(root));
    pointDirAt(folder);
    Text1->setText(m_dirPath);
}

void DBBackup::Dir1_Change()
{
    const QModelIndex current = Dir1->currentIndex();
    if (!current.isValid())
        return;
    m_dirPath = m_folders->filePath(current);
    m_driveFolders.insert(Drive1->currentText(), m_dirPath);
    Text1->setText(m_dirPath);
}

void DBBackup::pointDirAt(const QString &folder)
{
    m_dirPath = folder;
    const QModelIndex index = m_folders->index(folder);
    if (!index.isValid() || index == Dir1->rootIndex()) {
        // The drive's own root is the list's top and no row of it.
        Dir1->selectionModel()->clear();
        return;
    }
    Dir1->setCurrentIndex(index);
    Dir1->scrollTo(index, QAbstractItemView::PositionAtCenter); // opens the folders above it
    m_following = true;
}

void DBBackup::keepCurrentFolderInView()
{
    const QModelIndex current = Dir1->currentIndex();
    if (m_following && current.isValid())
        Dir1->scrollTo(current, QAbstractItemView::PositionAtCenter);
}

void DBBackup::stopFollowing()
{
    m_following = false;
}

void DBBackup::Command1_Click(int index)
{
    if (Text1->text().isEmpty()) {
        Text1->setFocus();
        return;
    }
    if (index == 1) {
        close();
        return;
    }

    const Level level = m_reach ? m_reach() : Level::None;
    DatabaseBackup::SaveResult result;
    if (Label1 == Mode::Restore) {
        const QString key = m_key ? m_key() : QString();
        result = DatabaseBackup::restore(
            m_database, Text1->text(), level, key, [this](const QString &path) { return askBackupPassword(path); });
    } else {
        result = DatabaseBackup::save(modeText(Label1), AppFolders::dataFolder(), Text1->text(), level);
    }
    if (result.outcome == DatabaseBackup::Outcome::Nothing)
        return;
    // One copy per opening from the menu, whatever its outcome.
    setMode(Mode::None);
    // The main window reloads before the message, so no edit made after it can write the old records back.
    if (result.outcome == DatabaseBackup::Outcome::Recovered)
        Q_EMIT databaseRestored();
    if (const QString text = DatabaseBackup::message(result); !text.isEmpty())
        showMessage(this, MessageIcon::Information, AppInfo::title, text);
    if (!result.warning.isEmpty())
        showMessage(this, MessageIcon::Information, AppInfo::title, result.warning);
}

std::optional<QString> DBBackup::askBackupPassword(const QString &path)
{
    QInputDialog dialog(this);
    dialog.setObjectName(u"BackupPassword"_s);
    dialog.setWindowTitle(AppInfo::title);
    dialog.setLabelText(u"%1\nis enciphered with an owner password that is not the one in force.\n"
                        u"Type the password this backup was made under:"_s.arg(QDir::toNativeSeparators(path)));
    dialog.setTextEchoMode(QLineEdit::Password);
    dialog.setInputMethodHints(Qt::ImhSensitiveData | Qt::ImhNoPredictiveText);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}
