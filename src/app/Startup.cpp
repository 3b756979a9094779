// SPDX-License-Identifier: GPL-3.0-or-later
#include "Startup.h"

#include "AppFolders.h"
#include "AppInfo.h"
#include "Language.h"
#include "Messages.h"
#include "ProgramExit.h"
#include "SafeFile.h"
#include "Splash.h"
#include "mainScr.h"

#include <QFile>

using namespace Qt::StringLiterals;

Startup::Startup() = default;

Startup::~Startup() = default;

bool Startup::run()
{
    Language::setCurrentLanguage(Language::English);
    CreateDataFolder();
    if (!takeInstanceLock())
        return false;

    m_splash = new Splash;
    connect(m_splash, &Splash::handOver, this, &Startup::showMainWindow);
    m_splash->show();
    return true;
}

void Startup::CreateDataFolder()
{
    const QString data = AppFolders::dataFolder();
    if (SafeFile::makePrivateFolder(data))
        AppFolders::markHidden(data);
}

bool Startup::takeInstanceLock()
{
    // Two copies on one folder would each rewrite the database from their own list.
    m_lock = std::make_unique<QLockFile>(AppFolders::instanceLock());
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0)) {
        if (m_lock->error() == QLockFile::LockFailedError) {
            showMessage(nullptr, MessageIcon::Information, AppInfo::title,
                u"Corvane is already running with the records of this folder."_s);
            return false;
        }
        // The data folder cannot be written to; the database steps report that in their own way.
        return true;
    }
    QFile::setPermissions(AppFolders::instanceLock(), QFile::ReadOwner | QFile::WriteOwner);

    // A temporary database left behind by a run that was killed holds the records deciphered.
    const QString stale = AppFolders::temporaryDatabase();
    if (!stale.isEmpty())
        SafeFile::remove(stale);
    return true;
}

void Startup::showMainWindow()
{
    if (m_main) {
        m_main->show();
        return;
    }
    m_main = std::make_unique<mainScr>();
    connect(m_main.get(), &mainScr::aboutRequested, this, &Startup::showAbout);
    m_main->Form_Load();
    if (ProgramExit::isRequested())
        return;
    m_main->show();
}

void Startup::showAbout()
{
    if (m_splash)
        m_splash->close();
    m_splash = new Splash;
    connect(m_splash, &Splash::handOver, this, &Startup::showMainWindow);
    m_splash->showAsAbout();
}
