// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/WindowCommands.h"

#include "backup/DBBackup.h"
#include "browser/BrowserCommands.h"
#include "common/ClickLabel.h"
#include "i18n/LangSelect.h"
#include "mainwindow/RecordCommands.h"
#include "security/OwnerState.h"
#include "security/Securfrm.h"

#include <QAction>

using namespace Qt::StringLiterals;

WindowCommands::WindowCommands(const Controls &controls, OwnerState &owner, Database &database,
    RecordCommands &commands, std::function<bool()> reloadRecords)
    : QObject(controls.window)
    , m_ui(controls)
    , m_owner(owner)
    , m_database(database)
    , m_commands(commands)
    , m_reloadRecords(std::move(reloadRecords))
{
    const Controls &ui = m_ui;
    const EditBoxes fields = ui.boxes;
    const MainWindowBoxes boxes { [fields] { return fields.text(RecordLine::Path); },
        [fields] { return fields.text(RecordLine::Username); },
        [fields] { return fields.text(RecordLine::Password); } };
    m_browser = new BrowserCommands(boxes, ui.window);

    connect(ui.mnuBackupDB, &QAction::triggered, this, &WindowCommands::mnuBackupDB_Click);
    connect(ui.mnuRestoreDB, &QAction::triggered, this, &WindowCommands::mnuRestoreDB_Click);
    connect(ui.mnuSecurity, &QAction::triggered, this, &WindowCommands::mnuSecurity_Click);
    connect(ui.passwordButton, &ClickLabel::clicked, this, &WindowCommands::mnuSecurity_Click);
    connect(ui.mnuLang, &QAction::triggered, this, &WindowCommands::mnuLang_Click);
    connect(ui.mnuCorvoBrowser, &QAction::triggered, m_browser, &BrowserCommands::mnuCorvoBrowser_Click);
    connect(ui.CorvaneIE, &QAction::triggered, m_browser, &BrowserCommands::CorvaneIE_Click);
    connect(ui.mnuExternalIE, &QAction::triggered, m_browser, &BrowserCommands::mnuExternalIE_Click);
}

WindowCommands::~WindowCommands() = default;

void WindowCommands::mnuBackupDB_Click()
{
    openBackup(DBBackup::Mode::Backup);
}

void WindowCommands::mnuRestoreDB_Click()
{
    openBackup(DBBackup::Mode::Restore);
}

void WindowCommands::openBackup(DBBackup::Mode mode)
{
    if (!m_backup) {
        m_backup = new DBBackup(
            m_database, [this] { return m_owner.Reach; }, [this] { return m_owner.GoodPass; }, m_ui.window);
        // The restored file replaces the records in memory, so the next edit cannot write the old ones over it.
        connect(m_backup, &DBBackup::databaseRestored, this, [this] { m_reloadRecords(); });
    }
    m_backup->setMode(mode);
    m_backup->show();
    m_backup->raise();
    m_backup->activateWindow();
}

Securfrm *WindowCommands::securityDialog()
{
    if (!m_security) {
        m_security = new Securfrm(m_owner, m_database, m_ui.window);
        connect(m_security, &Securfrm::settingsSaved, this, &WindowCommands::settingsSaved);
    }
    return m_security;
}

void WindowCommands::settingsSaved(const SecuritySettings::SaveResult &result)
{
    // An enciphered database kept at the new level holds its own records: the list must be those.
    if (result.recordsReplaced)
        m_reloadRecords();
    // The file the level uses is not in place yet: a write now would start a new one beside the records.
    if (result.pending)
        m_commands.setWritesBlocked(result.warning);
    Q_EMIT ownerSettingsSaved();
}

void WindowCommands::mnuSecurity_Click()
{
    Securfrm *dialog = securityDialog();
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    dialog->setPassword(m_owner.GoodPass);
}

void WindowCommands::mnuLang_Click()
{
    if (!m_language)
        m_language = new LangSelect(m_ui.window);
    m_language->show();
    m_ui.window->hide();
}
