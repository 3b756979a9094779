// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Startup.h"

#include "app/HandOver.h"
#include "app/Splash.h"
#include "common/AppFolders.h"
#include "common/AppInfo.h"
#include "common/Messages.h"
#include "common/ProgramExit.h"
#include "common/SafeFile.h"
#include "common/WindowSystem.h"
#include "i18n/Language.h"
#include "mainwindow/LockCommands.h"
#include "mainwindow/mainScr.h"

#include <QApplication>
#include <QFile>

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {
// How long a second start waits for the running one to come forward: longer than a busy moment
// (a database of 100,000 records rewritten), short enough for a user who waits.
constexpr int kHandOverWaitMs = 3000;
} // namespace

Startup::Startup() = default;

Startup::~Startup() = default;

bool Startup::run()
{
    Language::setCurrentLanguage(Language::English);
    CreateDataFolder();
    const FileResult usable = AppFolders::checkUsable();
    if (!takeInstanceLock())
        return false;
    if (!usable)
        reportUnusableFolder(usable);

    m_splash = new Splash;
    // Queued: the main window's load (which may wait for the owner) runs after the splash has closed,
    // not inside its click.
    connect(m_splash, &Splash::handOver, this, &Startup::showMainWindow, Qt::QueuedConnection);
    m_splash->show();
    return true;
}

void Startup::CreateDataFolder()
{
    const QString data = AppFolders::dataFolder();
    // Being listed as hidden only keeps the folder out of a file manager's view; it works either way.
    if (SafeFile::makePrivateFolder(data))
        static_cast<void>(AppFolders::markHidden(data));
}

namespace {
/** Removes the lock file at path when no running program holds it; lock is the one that could not take it. */
void takeOverLeftLock(const QString &path, QLockFile &lock)
{
    if (lock.removeStaleLockFile())
        return;
    // A lock file the program may not open (its mode changed by hand) cannot be held by it either.
    const QByteArray native = QFile::encodeName(path);
    if (::access(native.constData(), W_OK) != 0 && errno == EACCES && ::chmod(native.constData(), 0600) == 0)
        lock.removeStaleLockFile();
}
} // namespace

bool Startup::takeInstanceLock()
{
    // Two copies on one folder would each rewrite the database from their own list.
    m_lock = std::make_unique<QLockFile>(AppFolders::instanceLock());
    m_lock->setStaleLockTime(0);
    bool locked = m_lock->tryLock(0);
    // A lock file that Corvane running on this folder holds is locked on the file itself (flock) too;
    // one that nothing holds so is left over, whatever it says (empty, from another machine, a process
    // id now used by another program), and is taken over.
    if (!locked && m_lock->error() == QLockFile::LockFailedError) {
        takeOverLeftLock(AppFolders::instanceLock(), *m_lock);
        locked = m_lock->tryLock(0);
    }
    if (!locked) {
        if (m_lock->error() == QLockFile::LockFailedError) {
            // The Corvane that runs on this folder comes forward, as when a desktop brings a program back.
            if (HandOver::askRunning(kHandOverWaitMs))
                return false;
            showMessage(nullptr, MessageIcon::Information, AppInfo::title,
                u"Corvane is already running with the records of this folder."_s);
            m_endStatus = ExitStatus::FolderInUse;
            return false;
        }
        // The data folder cannot be written to: the start has said so (reportUnusableFolder).
        return true;
    }
    QFile::setPermissions(AppFolders::instanceLock(), QFile::ReadOwner | QFile::WriteOwner);
    m_handOver = new HandOver(this);
    if (m_handOver->listen())
        connect(m_handOver, &HandOver::raiseRequested, this, &Startup::bringForward);

    // A temporary database left behind by a run that was killed holds the records deciphered, and a
    // write killed half-way leaves its new copy (the records, or the owner password) beside the file.
    const QString stale = AppFolders::temporaryDatabase();
    if (!stale.isEmpty()) {
        const FileResult removed = SafeFile::remove(stale);
        if (!removed)
            showMessage(nullptr, MessageIcon::Critical, AppInfo::title, AppFolders::decipheredCopyLeft(removed.error));
        else if (!removed.warning.isEmpty())
            showMessage(nullptr, MessageIcon::Information, AppInfo::title, removed.warning);
    }
    AppFolders::removeLeftovers();
    return true;
}

void Startup::reportUnusableFolder(const FileResult &problem)
{
    std::fputs(u"corvane: %1\n"_s.arg(problem.error).toLocal8Bit().constData(), stderr);
    showMessage(nullptr, MessageIcon::Critical, AppInfo::title,
        u"Corvane cannot save changes to your records.\n%1"_s.arg(problem.error));
}

void Startup::bringForward(const QByteArray &activationToken)
{
    // A Wayland desktop lets a program take the focus with the token it gave the later start.
    if (!activationToken.isEmpty() && WindowSystem::isNativeWayland())
        qputenv("XDG_ACTIVATION_TOKEN", activationToken);
    if (m_main && m_loaded && m_main->lock().isLocked()) {
        // Locked: the owner is asked, and the window of records stays hidden until the password is given.
        m_main->bringToFront();
        return;
    }
    const bool mainShown = m_main && m_loaded && m_main->isVisible();
    // A dialog comes forward with the main window it belongs to.
    if (mainShown) {
        m_main->setWindowState(m_main->windowState() & ~Qt::WindowMinimized);
        m_main->raise();
    }
    // While the owner is asked (or a message waits) that window, never a main window not yet shown.
    QWidget *front = QApplication::activeModalWidget();
    if (!front)
        front = mainShown ? static_cast<QWidget *>(m_main.get()) : m_splash.data();
    if (!front || !front->isVisible())
        return;
    front->setWindowState(front->windowState() & ~Qt::WindowMinimized);
    front->raise();
    front->activateWindow();
    // The About box stays above the main window it was opened from.
    if (m_splash && m_splash != front && m_splash->isVisible())
        m_splash->raise();
}

void Startup::showMainWindow()
{
    if (m_main) {
        // The About box hands over to a main window that is there already. While the load still
        // runs (the owner is being asked), nothing may show the window.
        if (m_loaded)
            m_main->show();
        return;
    }
    m_main = std::make_unique<mainScr>();
    connect(m_main.get(), &mainScr::aboutRequested, this, &Startup::showAbout);
    m_main->Form_Load();
    if (ProgramExit::isRequested())
        return;
    m_loaded = true;
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
