// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFileDialog>
#include <QObject>

class Database;
class QAction;
class QWidget;
class RecordCommands;
class RecordTableModel;
struct OwnerState;

/**
 * "&Import..." and "Ex&port..." of the File menu: logins from the CSV export
 * of another program into the records, after a summary the user confirms, and
 * every record out to a CSV file, after a warning that it holds the passwords
 * unenciphered.
 */
class ImportExportCommands : public QObject
{
    Q_OBJECT

public:
    /** What of the main window the commands use. */
    struct Controls
    {
        QWidget *window; ///< the parent of the dialogs and messages
        QAction *mnuImport;
        QAction *mnuExport;
    };

    /** records and database are the main window's; owner gives the level and key; commands does the writing. */
    ImportExportCommands(const Controls &controls, RecordTableModel &records, Database &database, OwnerState &owner,
        RecordCommands &commands);

    void mnuImport_Click();
    void mnuExport_Click();

private:
    /** The file the user picks or types in Qt's own file dialog; empty when cancelled. */
    QString chooseFile(QFileDialog::AcceptMode mode, const QString &title);
    void importFile(const QString &path);
    void exportTo(const QString &path);

    Controls m_ui;
    RecordTableModel &m_records;
    Database &m_database;
    OwnerState &m_owner;
    RecordCommands &m_commands;
    /** The folder of the last file chosen, where the dialog opens next. */
    QString m_folder;
};
