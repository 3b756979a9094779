// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>

class BrowserCommands;
class DBBackup;
class LangSelect;
class Securfrm;
class mainScr;
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
    explicit WindowCommands(mainScr &window);
    ~WindowCommands() override;

    void mnuBackupDB_Click();
    void mnuRestoreDB_Click();
    void mnuSecurity_Click();
    void mnuLang_Click();

    /** The security settings window, loaded on first use (the owner check fills it too). */
    Securfrm *securityDialog();
    BrowserCommands &browser() { return *m_browser; }

private:
    void openBackup(const QString &mode);
    /** After Accept in the security settings: the records read again, or held, as the save requires. */
    void settingsSaved(const SecuritySettings::SaveResult &result);

    mainScr &m_window;
    BrowserCommands *m_browser = nullptr;
    QPointer<DBBackup> m_backup;
    QPointer<Securfrm> m_security;
    QPointer<LangSelect> m_language;
};
