// SPDX-License-Identifier: GPL-3.0-or-later
#include "BrowserCommands.h"

#include "LoadWatcher.h"
#include "MiniBrowser.h"
#include "ProgramExit.h"
#include "Shell.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QLineEdit>

BrowserCommands::BrowserCommands(MainWindowBoxes boxes, QWidget *owner)
    : QObject(owner)
    , m_boxes(std::move(boxes))
    , m_owner(owner)
{ }

BrowserCommands::~BrowserCommands() = default;

MiniBrowser *BrowserCommands::browser() const
{
    return m_browser;
}

void BrowserCommands::CorvaneIE_Click()
{
    const QString path = m_boxes.path ? m_boxes.path() : QString();
    loadedBrowser()->Text1->setText(path);
    showBrowser();
    waitWhileBusy();
}

void BrowserCommands::mnuCorvoBrowser_Click()
{
    loadedBrowser();
    showBrowser();
}

void BrowserCommands::mnuExternalIE_Click()
{
    shellOpen(m_boxes.path ? m_boxes.path() : QString());
}

MiniBrowser *BrowserCommands::loadedBrowser()
{
    if (!m_browser) {
        m_browser = new MiniBrowser(m_boxes, m_owner);
        Q_EMIT browserLoaded(m_browser);
    }
    return m_browser;
}

void BrowserCommands::showBrowser()
{
    MiniBrowser *browser = m_browser;
    if (browser->isMinimized())
        browser->setWindowState(browser->windowState() & ~Qt::WindowMinimized);
    browser->show();
    browser->raise();
    browser->activateWindow();
}

void BrowserCommands::waitWhileBusy()
{
    if (!m_browser || !m_browser->isBusy() || ProgramExit::isRequested())
        return;
    QEventLoop loop;
    connect(m_browser->Timer1, &LoadWatcher::idle, &loop, &QEventLoop::quit);
    connect(m_browser, &MiniBrowser::closed, &loop, &QEventLoop::quit);
    connect(m_browser, &QObject::destroyed, &loop, &QEventLoop::quit);
    connect(&ProgramExit::instance(), &ProgramExit::requested, &loop, &QEventLoop::quit);
    // The main window (and this object with it) may go away while we wait;
    // then the loop's connections go too, and the loop must still end.
    connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
    loop.exec();
}

void prepareBrowserEngine()
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}
