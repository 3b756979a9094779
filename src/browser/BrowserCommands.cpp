// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/BrowserCommands.h"

#include "browser/BrowserLibrary.h"
#include "browser/BrowserWindow.h"
#include "common/AppInfo.h"
#include "common/Messages.h"
#include "common/ProgramExit.h"
#include "common/SessionLock.h"
#include "common/Shell.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QWidget>

using namespace Qt::StringLiterals;

BrowserCommands::BrowserCommands(MainWindowBoxes boxes, QWidget *owner)
    : QObject(owner)
    , m_boxes(std::move(boxes))
    , m_owner(owner)
{ }

BrowserCommands::~BrowserCommands() = default;

BrowserWindow *BrowserCommands::browser() const
{
    return m_window ? m_browser : nullptr;
}

void BrowserCommands::CorvaneIE_Click()
{
    const QString path = m_boxes.path ? m_boxes.path() : QString();
    BrowserWindow *window = loadedBrowser();
    if (!window)
        return;
    window->setPathBox(path);
    showBrowser();
    waitWhileBusy();
}

void BrowserCommands::mnuCorvoBrowser_Click()
{
    if (loadedBrowser())
        showBrowser();
}

void BrowserCommands::mnuExternalIE_Click()
{
    shellOpen(m_boxes.path ? m_boxes.path() : QString());
}

BrowserWindow *BrowserCommands::loadedBrowser()
{
    if (browser())
        return m_browser;
    // The first time, the web engine is loaded and started: a second or so with nothing to see.
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    QString error;
    BrowserFactory *library = BrowserLibrary::factory(&error);
    if (library) {
        m_browser = library->loadBrowser(m_boxes, m_owner);
        m_window = m_browser->widget();
    }
    QGuiApplication::restoreOverrideCursor();
    if (!library) {
        showMessage(m_owner, MessageIcon::Critical, AppInfo::title,
            u"The built-in browser cannot be opened.\n\n%1\n\nEverything else in Corvane works as before, and "
            "\"External Browser\" opens the page in your default browser."_s.arg(error));
        return nullptr;
    }
    Q_EMIT browserLoaded(m_browser);
    return m_browser;
}

void BrowserCommands::showBrowser()
{
    QWidget *window = m_window;
    if (window->isMinimized())
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}

void BrowserCommands::waitWhileBusy()
{
    if (!browser() || !m_browser->isBusy() || ProgramExit::isRequested())
        return;
    QEventLoop loop;
    m_browser->whenIdleOrClosed(&loop, [&loop] { loop.quit(); });
    connect(m_window, &QObject::destroyed, &loop, &QEventLoop::quit);
    connect(&ProgramExit::instance(), &ProgramExit::requested, &loop, &QEventLoop::quit);
    // Locking closes the window; it waits until this command has returned.
    connect(&SessionLock::instance(), &SessionLock::requested, &loop, &QEventLoop::quit);
    // The main window (and this object with it) may go away while we wait;
    // then the loop's connections go too, and the loop must still end.
    connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
    loop.exec();
}
