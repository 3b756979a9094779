// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QHash>
#include <QString>

#include <array>
#include <functional>

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
    /** reach gives the protection level in force ("0", "1" or "2"); level "1" keeps the database in userDB.edb. */
    explicit DBBackup(std::function<QString()> reach, QWidget *parent = nullptr);

    /** "Backup", "Restore" or empty. The title takes the mode the window has when it is first shown. */
    void setMode(const QString &mode) { Label1 = mode; }
    QString mode() const { return Label1; }

    QComboBox *Drive1;
    QTreeView *Dir1;
    QLineEdit *Text1;
    QLabel *Label2;
    std::array<QPushButton *, 2> Command1;
    /** The operation Save performs: "Backup", "Restore", or empty when none is pending. */
    QString Label1;

Q_SIGNALS:
    /** A restore replaced a database file in the data folder; the records in memory are now out of date. */
    void databaseRestored();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void Form_Load();
    void Drive1_Change();
    void Dir1_Change();
    void Command1_Click(int index);

    void pointDirAt(const QString &folder);
    void keepCurrentFolderInView();
    void stopFollowing();

    std::function<QString()> m_reach;
    QFileSystemModel *m_folders;
    /** Dir1's folder. */
    QString m_dirPath;
    /** The folder last opened on each drive, so that going back to a drive returns there. */
    QHash<QString, QString> m_driveFolders;
    bool m_following = false;
    bool m_loaded = false;
};
