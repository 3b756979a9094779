// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/LockCommands.h"

#include "common/ProgramExit.h"
#include "common/SessionLock.h"
#include "mainwindow/DesktopLockSignals.h"
#include "security/CheckOwnerPassword.h"
#include "security/OwnerState.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QMenu>
#include <QThread>
#include <QTimer>
#include <QToolTip>

#include <utility>

using namespace Qt::StringLiterals;

namespace {
/** How often a lock looks again whether the command that waited has returned. */
constexpr int kRetryMs = 20;
/** The desktop's buses are connected this long after the main window shows, not while it starts. */
constexpr int kWatchDelayMs = 300;

bool isOwnerPrompt(const QWidget *window)
{
    return window->objectName() == u"Ask4Pass"_s;
}

int loopLevel()
{
    return QThread::currentThread()->loopLevel();
}
} // namespace

LockCommands::LockCommands(const Controls &controls, OwnerState &owner, Steps steps)
    : QObject(controls.window)
    , m_ui(controls)
    , m_owner(owner)
    , m_steps(std::move(steps))
    , m_desktop(new DesktopLockSignals(this))
{
    connect(m_ui.mnuLock, &QAction::triggered, this, &LockCommands::mnuLock_Click);
    connect(m_desktop, &DesktopLockSignals::lockRequested, this, &LockCommands::requestLock);
    // The tooltip says why "&Lock" is disabled.
    m_ui.mnuFileTop->setToolTipsVisible(true);
    connect(m_ui.mnuFileTop, &QMenu::aboutToShow, this, &LockCommands::updateEnabling);
    updateEnabling();
}

void LockCommands::arm()
{
    if (m_armed)
        return;
    m_armed = true;
    m_loopLevel = loopLevel();
    updateEnabling();
    QTimer::singleShot(kWatchDelayMs, m_desktop, &DesktopLockSignals::watch);
}

bool LockCommands::guarded() const
{
    const Level level = m_owner.Reach;
    return (level == Level::ProgramAndDatabase || level == Level::ProgramOnly) && !m_owner.GoodPass.isEmpty();
}

void LockCommands::updateEnabling()
{
    const bool on = guarded();
    m_ui.mnuLock->setEnabled(on);
    m_ui.mnuLock->setToolTip(on ? QString()
                                : u"Locking needs an owner password at \"Program Only\" or \"Program and DBase\" "
                                  u"(Preferences > Set Password)."_s);
}

void LockCommands::mnuLock_Click()
{
    requestLock();
}

void LockCommands::requestLock()
{
    if (!m_armed || m_locked || !guarded() || ProgramExit::isRequested())
        return;
    if (!m_pending) {
        m_pending = true;
        QWidget *window = m_ui.window;
        m_place = { window->isVisible(), window->pos(), window->windowState() };
        SessionLock::request();
    }
    hideWindows();
    QTimer::singleShot(0, this, &LockCommands::tryLock);
}

void LockCommands::tryLock()
{
    if (!m_pending)
        return;
    if (ProgramExit::isRequested()) {
        m_pending = false;
        return;
    }
    if (loopLevel() > m_loopLevel) {
        // A command still waits in a loop of its own (a message it showed after the last one ended, say): end
        // that too, and look again once it has returned.
        hideWindows();
        SessionLock::request();
        QTimer::singleShot(kRetryMs, this, &LockCommands::tryLock);
        return;
    }
    m_pending = false;
    if (!guarded()) {
        // The command that ended last saved settings without an owner password: there is nothing to lock with.
        for (const QPointer<QWidget> &window : std::exchange(m_hidden, {})) {
            if (window)
                window->show();
        }
        showWindowAgain();
        return;
    }
    lock();
}

void LockCommands::hideWindows()
{
    QToolTip::hideText();
    // Pop-ups first (menus, lists, calendars); closing one may close the ones under it.
    for (int left = 16; left > 0 && QApplication::activePopupWidget(); --left)
        QApplication::activePopupWidget()->close();
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (const QPointer<QWidget> window : windows) {
        if (!window || !window->isVisible() || isOwnerPrompt(window) || window->windowType() == Qt::Popup
            || window->windowType() == Qt::ToolTip)
            continue;
        // A modal dialog or message box waits in a loop of its own: it gives its safe answer (Cancel, No)
        // and its command goes on from there. Any other window is only hidden here; it closes once every
        // command has returned.
        if (auto *dialog = qobject_cast<QDialog *>(window.data()); dialog && dialog->isModal()) {
            dialog->reject();
            continue;
        }
        window->hide();
        if (window != m_ui.window && !m_hidden.contains(window))
            m_hidden.append(window);
    }
}

void LockCommands::lock()
{
    m_locked = true;
    hideWindows();
    closeOtherWindows();
    // The windows that delete themselves on closing go now, not once the owner is back: a hidden window is
    // still read by a screen reader. Nothing else runs now that could still use them.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_steps.dropRecords();
    SessionLock::setLocked(true);

    // Ending while locked writes the preferences, as Exit does.
    const QMetaObject::Connection ending
        = connect(&ProgramExit::instance(), &ProgramExit::requested, this, [this] { m_steps.savePrefs(); });
    const bool ownerIn = askOwner(m_owner, m_owner.GoodPass);
    disconnect(ending);
    if (!ownerIn)
        return; // the program is ending

    showWindowAgain();
    m_steps.reloadRecords();
    m_locked = false;
    SessionLock::setLocked(false);
}

void LockCommands::closeOtherWindows()
{
    // As their Close or Cancel would: nothing is saved, and what deletes itself on closing goes with what it held.
    const QList<QPointer<QWidget>> hidden = std::exchange(m_hidden, {});
    for (const QPointer<QWidget> &window : hidden) {
        if (window && window != m_ui.window && !isOwnerPrompt(window))
            window->close();
    }
}

void LockCommands::showWindowAgain()
{
    QWidget *window = m_ui.window;
    if (!m_place.visible)
        return;
    window->move(m_place.position);
    window->setWindowState(m_place.state & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}

QWidget *LockCommands::ownerPrompt() const
{
    if (!m_locked)
        return nullptr;
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        if (isOwnerPrompt(window) && window->isVisible())
            return window;
    }
    return nullptr;
}
