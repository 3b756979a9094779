// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "backup/DBBackup.h"
#include "mainwindow/EditBoxes.h"

#include <QObject>
#include <QPointer>

#include <functional>

class BrowserCommands;
class ClickLabel;
class Database;
class LangSelect;
class QAction;
class RecordCommands;
class Securfrm;
struct OwnerState;
namespace SecuritySettings {
struct SaveResult;
}

/**
 * The menu entries and toolbar buttons that open another window: backup and
 * restore, the security settings, the language selection and the built-in
 * browser. Each window is modeless; there is at most one of each at a time.
 */
class WindowCommands : public QObject
{
    Q_OBJECT

public:
    /** What of the main window these commands use. */
    struct Controls
    {
        QWidget *window; ///< the other windows' parent; hidden while the language is chosen
        EditBoxes boxes; ///< the browser window reads Path, Username and Password
        QAction *mnuBackupDB;
        QAction *mnuRestoreDB;
        QAction *mnuSecurity;
        ClickLabel *passwordButton; ///< Image1(4), "Create a Password"
        QAction *mnuLang;
        QAction *mnuCorvoBrowser;
        QAction *CorvaneIE;
        QAction *mnuExternalIE;
    };

    /**
     * owner and database are the main window's, which the security and backup windows change; commands is
     * told when writes must wait; reloadRecords reads the database again into the grid.
     */
    WindowCommands(const Controls &controls, OwnerState &owner, Database &database, RecordCommands &commands,
        std::function<bool()> reloadRecords);
    ~WindowCommands() override;

    void mnuBackupDB_Click();
    void mnuRestoreDB_Click();
    void mnuSecurity_Click();
    void mnuLang_Click();

    /** The security settings window, loaded on first use (the owner check fills it too). */
    Securfrm *securityDialog();
    BrowserCommands &browser() { return *m_browser; }

Q_SIGNALS:
    /** The security settings were saved: the level or the owner password in force may have changed. */
    void ownerSettingsSaved();

private:
    void openBackup(DBBackup::Mode mode);
    /** After Accept in the security settings: the records read again, or held, as the save requires. */
    void settingsSaved(const SecuritySettings::SaveResult &result);

    Controls m_ui;
    OwnerState &m_owner;
    Database &m_database;
    RecordCommands &m_commands;
    std::function<bool()> m_reloadRecords;
    BrowserCommands *m_browser = nullptr;
    QPointer<DBBackup> m_backup;
    QPointer<Securfrm> m_security;
    QPointer<LangSelect> m_language;
};
