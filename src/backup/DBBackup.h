// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/Database.h"

#include <QDialog>
#include <QHash>
#include <QString>

#include <array>
#include <functional>
#include <optional>

class QComboBox;
class QFileSystemModel;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeView;

/**
 * The database backup and restore window. The user picks a drive and a
 * folder, and Save copies the database there ("Backup") or back from there
 * ("Restore"), once per opening from the menu. Modeless; deletes itself when
 * closed.
 */
class DBBackup : public QDialog
{
    Q_OBJECT

public:
    /**
     * database is the program's own; reach gives the protection level in force ("Program and DBase" keeps
     * the database in userDB.edb), key the owner password in force, which a restore enciphers with.
     */
    DBBackup(Database &database, std::function<Level()> reach, KeyProvider key, QWidget *parent = nullptr);

    /** The operation Save performs; None once it has run, until the menu asks again. */
    enum class Mode { None, Backup, Restore };

    /** The title says which ("Database Backup", "Database Restore", "Database"). */
    void setMode(Mode mode);
    Mode mode() const { return Label1; }

Q_SIGNALS:
    /** A restore replaced a database file in the data folder; the records in memory are now out of date. */
    void databaseRestored();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildControls();
    void setUpFolderList();
    void listDrives();
    void connectHandlers();
    void Form_Load();
    void Drive1_Change();
    void Dir1_Change();
    void Command1_Click(int index);

    /** The password an enciphered backup at path was made under, asked of the user; nullopt on Cancel. */
    std::optional<QString> askBackupPassword(const QString &path);
    void pointDirAt(const QString &folder);
    void keepCurrentFolderInView();
    void stopFollowing();

    QComboBox *Drive1;
    QTreeView *Dir1;
    QLineEdit *Text1;
    QLabel *Label2;
    std::array<QPushButton *, 2> Command1;
    /** The operation Save performs. */
    Mode Label1 = Mode::None;
    Database &m_database;
    std::function<Level()> m_reach;
    KeyProvider m_key;
    QFileSystemModel *m_folders;
    /** Dir1's folder. */
    QString m_dirPath;
    /** The folder last opened on each drive, so that going back to a drive returns there. */
    QHash<QString, QString> m_driveFolders;
    bool m_following = false;
    bool m_loaded = false;
};
