// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/DisplayModes.h"

#include "common/AppFolders.h"
#include "common/Twips.h"
#include "common/WindowFrame.h"
#include "common/WindowSystem.h"
#include "mainwindow/InfoEdit.h"
#include "mainwindow/prefs/PreferencesFile.h"
#include "mainwindow/prefs/WindowPlacement.h"

#include <QAction>
#include <QFrame>
#include <QGuiApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QWindow>
#include <QtDebug>

using namespace Qt::StringLiterals;

DisplayModes::DisplayModes(const Controls &controls)
    : QObject(controls.window)
    , m_ui(controls)
    , m_window(*controls.window)
{
    const Controls &ui = m_ui;
    QMainWindow &window = m_window;
    connect(ui.mnuHideDisplay, &QAction::triggered, this, &DisplayModes::mnuHideDisplay_Click);
    connect(ui.mnuAutoHide, &QAction::triggered, this, &DisplayModes::mnuAutoHide_Click);
    connect(ui.mnuOnTop, &QAction::triggered, this, &DisplayModes::mnuOnTop_Click);
    connect(ui.ResetSize, &QAction::triggered, this, &DisplayModes::ResetSize_Click);

    // The height rule runs on what can change the height; the mouse rules on moves over the window's upper part.
    window.installEventFilter(this);
    window.centralWidget()->installEventFilter(this);
    ui.Frame2->installEventFilter(this);
    for (QWidget *box : ui.boxes.Text1)
        box->installEventFilter(this);
    ui.boxes.infoBox()->viewport()->installEventFilter(this);
    ui.boxes.infoBox()->viewport()->setMouseTracking(true);

    if (WindowSystem::isNativeWayland()) {
        // The compositor alone keeps a window above the others, from the window's own menu.
        ui.mnuOnTop->setEnabled(false);
        ui.mnuOnTop->setToolTip(u"This desktop keeps windows above the others itself: use its \"Always on Top\" "
                                "(in the window menu, Alt+Space)."_s);
        ui.mnuPreferencesTop->setToolTipsVisible(true);
    }
}

void DisplayModes::LoadPrefs()
{
    using PreferencesFile::Key;
    const std::optional<QList<PreferencesFile::Setting>> settings
        = PreferencesFile::read(AppFolders::preferencesFile());
    // Where the desktop places windows, the place the window was given stands until the file says otherwise.
    if (WindowSystem::isNativeWayland())
        m_kept = Kept { Twips::fromPixels(m_window.pos().x()), Twips::fromPixels(m_window.pos().y()), false };
    if (!settings)
        return;
    const Controls &ui = m_ui;
    for (const PreferencesFile::Setting &setting : *settings) {
        switch (setting.key) {
        case Key::Display:
            // The check mark as a click would leave it, then the toggle: Hide Display ends as stored, applied.
            ui.mnuHideDisplay->setChecked(setting.flag);
            mnuHideDisplay_Click();
            break;
        case Key::AutHide:
            // Only the check mark: the mouse rules apply it.
            ui.mnuAutoHide->setChecked(setting.flag);
            break;
        case Key::LPos:
            if (m_kept)
                m_kept->left = setting.twips;
            else
                m_window.move(Twips::toPixels(setting.twips), m_window.pos().y());
            break;
        case Key::TPos:
            if (m_kept)
                m_kept->top = setting.twips;
            else
                m_window.move(m_window.pos().x(), Twips::toPixels(setting.twips));
            break;
        case Key::OTop:
            if (m_kept) {
                m_kept->topMost = setting.flag;
            } else {
                ui.mnuOnTop->setChecked(setting.flag);
                setTopMost(setting.flag);
            }
            break;
        }
    }
    if (!m_kept)
        keepReachable();
}

FileResult DisplayModes::SavePrefs()
{
    const Controls &ui = m_ui;
    PreferencesFile::State state;
    state.hideDisplay = ui.mnuHideDisplay->isChecked();
    state.autoHide = ui.mnuAutoHide->isChecked();
    if (m_kept) {
        // Native Wayland tells a program nothing of where its window is: the place it came with stays.
        state.left = m_kept->left;
        state.top = m_kept->top;
        state.topMost = m_kept->topMost;
    } else {
        state.left = Twips::fromPixels(m_window.pos().x());
        state.top = Twips::fromPixels(m_window.pos().y());
        state.topMost = ui.mnuOnTop->isChecked();
    }
    const FileResult written = PreferencesFile::write(AppFolders::preferencesFile(), state);
    // The program is about to end: the earlier file stays, and there is no one left to tell but the log.
    if (!written)
        qWarning().noquote() << "Corvane: the preferences could not be written:" << written.error;
    return written;
}

void DisplayModes::mnuHideDisplay_Click()
{
    const Controls &ui = m_ui;
    const bool wasChecked = !ui.mnuHideDisplay->isChecked();
    if (wasChecked) {
        ui.mnuHideDisplay->setChecked(false);
        m_ui.NormalHeight = kNormalHeight;
        setHeight(kNormalHeight);
    } else {
        ui.mnuAutoHide->setChecked(false);
        ui.mnuHideDisplay->setChecked(true);
        setHeight(kCollapsedHeight);
    }
    scheduleHeightRule();
}

void DisplayModes::mnuAutoHide_Click()
{
    const Controls &ui = m_ui;
    // Switching it on only arms the mouse rules; switching it off lets the height rule bring the height back.
    if (ui.mnuAutoHide->isChecked())
        ui.mnuHideDisplay->setChecked(false);
    scheduleHeightRule();
}

void DisplayModes::mnuOnTop_Click()
{
    setTopMost(m_ui.mnuOnTop->isChecked());
}

void DisplayModes::ResetSize_Click()
{
    const Controls &ui = m_ui;
    // A maximized or minimized window cannot take a size: it is restored first.
    frame().showNormal();
    ui.mnuHideDisplay->setChecked(false);
    ui.mnuAutoHide->setChecked(false);
    m_ui.NormalHeight = kNormalHeight;
    frame().setOuterSize(kNormalWidth, kNormalHeight);
    scheduleHeightRule();
}

bool DisplayModes::isTopMost() const
{
    return m_window.windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

void DisplayModes::setTopMost(bool on)
{
    if (isTopMost() == on)
        return;
    QWindow *handle = m_window.windowHandle();
    if (!handle || !m_window.isVisible()) {
        // Not on the screen yet: the window is shown with the flag.
        m_window.setWindowFlag(Qt::WindowStaysOnTopHint, on);
        return;
    }
    // On the screen, the window system is told about the flag alone. Setting it on the widget would make the
    // window anew, and a window manager may place the new one elsewhere (icewm puts it lower by its title bar).
    const Qt::WindowFlags flags = m_window.windowFlags().setFlag(Qt::WindowStaysOnTopHint, on);
    m_window.overrideWindowFlags(flags);
    handle->setFlags(flags);
}

void DisplayModes::applyHeightRule()
{
    m_heightRulePending = false;
    // Before the load has set NormalHeight (and while the window is not shown) there is nothing to keep.
    if (!m_window.isVisible() || m_ui.NormalHeight <= 0)
        return;
    if (m_window.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))
        return;
    const Controls &ui = m_ui;
    if (ui.mnuAutoHide->isChecked())
        return;
    if (ui.mnuHideDisplay->isChecked()) {
        setHeight(kCollapsedHeight);
    } else {
        ui.mnuAutoHide->setChecked(false);
        setHeight(m_ui.NormalHeight);
    }
}

int DisplayModes::growBandTop() const
{
    const QMargins margins = frame().margins();
    const int frameTop = m_ui.Frame2->mapTo(&m_window, QPoint(0, 0)).y();
    // How much of the frame the collapsed window shows: its inside ends there.
    const int shown = Twips::toPixels(kCollapsedHeight) - margins.top() - margins.bottom() - frameTop;
    const int designed = Twips::toPixels(kGrowFrom);
    if (shown >= designed + Twips::toPixels(kBandInView))
        return designed;
    return shown - Twips::toPixels(kGrowBand);
}

void DisplayModes::scheduleHeightRule()
{
    // After the event at hand, so that the resize rules have taken the new height as NormalHeight first.
    if (m_heightRulePending)
        return;
    m_heightRulePending = true;
    QTimer::singleShot(0, this, &DisplayModes::applyHeightRule);
}

void DisplayModes::setHeight(int twips)
{
    if (frame().outerHeight() != twips)
        frame().setOuterHeight(twips);
}

bool DisplayModes::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &m_window) {
        switch (event->type()) {
        case QEvent::Resize:
        case QEvent::WindowStateChange:
        case QEvent::Show:
            scheduleHeightRule();
            break;
        default:
            break;
        }
    } else if (event->type() == QEvent::MouseMove && m_ui.mnuAutoHide->isChecked()) {
        autoHideMouseMove(watched, static_cast<QMouseEvent *>(event)->position().toPoint());
    }
    return QObject::eventFilter(watched, event);
}

void DisplayModes::autoHideMouseMove(QObject *watched, const QPoint &position)
{
    const Controls &ui = m_ui;
    QWidget *client = m_window.centralWidget();
    auto *over = static_cast<QWidget *>(watched);
    if (over == ui.Frame2 || ui.Frame2->isAncestorOf(over)) {
        const int bandTop = growBandTop();
        const bool designed = bandTop == Twips::toPixels(kGrowFrom);
        // The band the frame keeps in view is the frame's bare background; the strip that stands in for it under a
        // tall title bar is all that lies there, the Path box and its label included.
        const bool bare = over == ui.Frame2 && !ui.Frame2->childAt(position);
        if (over->mapTo(ui.Frame2, position).y() >= bandTop && (bare || !designed)) {
            setHeight(m_ui.NormalHeight);
            return;
        }
        if (over == ui.Frame2) {
            if (bare)
                setHeight(kCollapsedHeight);
            return;
        }
    }
    if (watched == client) {
        // The window's background only: a control that passes a move on to it is not background.
        if (!client->childAt(position))
            setHeight(kCollapsedHeight);
    } else {
        // One of the edit boxes.
        setHeight(kCollapsedHeight);
    }
}

void DisplayModes::keepReachable()
{
    QList<QRect> available;
    for (const QScreen *screen : QGuiApplication::screens())
        available.append(screen->availableGeometry());
    const QScreen *primary = QGuiApplication::primaryScreen();
    const QRect frame(m_window.pos(), m_window.frameGeometry().size());
    const QPoint onScreen = WindowPlacement::onScreen(
        frame, titleBarHeight(), available, primary ? primary->availableGeometry() : QRect());
    if (onScreen != m_window.pos())
        m_window.move(onScreen);
}

WindowFrame &DisplayModes::frame() const
{
    // The window makes its frame after its commands, so that the frame sees its events first: found when used.
    return *WindowFrame::of(&m_window);
}

int DisplayModes::titleBarHeight() const
{
    const int framed = m_window.geometry().top() - m_window.frameGeometry().top();
    if (framed > 0)
        return framed;
    // Not framed yet (or no window manager): the style's idea of a title bar.
    return m_window.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &m_window);
}
