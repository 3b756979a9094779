// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/WindowFrame.h"

#include "common/Twips.h"
#include "common/WindowSystem.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <utility>

namespace {
constexpr Qt::WindowStates kSizedByDesktop = Qt::WindowMaximized | Qt::WindowFullScreen;
constexpr Qt::WindowStates kNotNormal = Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen;
/** How long a compositor may take to confirm the normal state; after that the window sizes itself again. */
constexpr int kStateWaitMs = 1000;
} // namespace

WindowFrame *WindowFrame::of(QWidget *window)
{
    window = window->window();
    if (auto *frame = window->findChild<WindowFrame *>(QString(), Qt::FindDirectChildrenOnly))
        return frame;
    return new WindowFrame(window);
}

WindowFrame::WindowFrame(QWidget *window)
    : QObject(window)
    , m_window(window)
    , m_margins(reportedMargins())
{
    window->installEventFilter(this);
}

QMargins WindowFrame::margins() const
{
    return m_margins;
}

QSize WindowFrame::outerSize() const
{
    return m_window->size().grownBy(m_margins);
}

int WindowFrame::outerWidth() const
{
    return Twips::fromPixels(outerSize().width());
}

int WindowFrame::outerHeight() const
{
    return Twips::fromPixels(outerSize().height());
}

void WindowFrame::setOuterSize(int widthTwips, int heightTwips)
{
    followFrame();
    resizeInside(QSize(Twips::toPixels(widthTwips), Twips::toPixels(heightTwips)));
}

void WindowFrame::setOuterHeight(int heightTwips)
{
    followFrame();
    // A width set while the compositor had yet to confirm the normal state is the width the window will have.
    const int width = m_deferred.isValid() ? m_deferred.width() : outerSize().width();
    resizeInside(QSize(width, Twips::toPixels(heightTwips)));
}

void WindowFrame::setFixedOuterSize(int widthTwips, int heightTwips)
{
    m_fixed = true;
    setOuterSize(widthTwips, heightTwips);
}

QMargins WindowFrame::reportedMargins() const
{
    const QWindow *handle = m_window->windowHandle();
    if (!handle || !m_window->isVisible())
        return {};
    return handle->frameMargins();
}

void WindowFrame::showNormal()
{
    const Qt::WindowStates state = m_window->windowState();
    if (!(state & kNotNormal))
        return;
    if ((state & kSizedByDesktop) && WindowSystem::isNativeWayland() && m_window->isVisible()) {
        // The compositor answers with the window's normal size; until then the window keeps the size it has.
        m_waitingForState = true;
        const int wait = ++m_stateWaits;
        QTimer::singleShot(kStateWaitMs, this, [this, wait] {
            if (wait == m_stateWaits)
                endStateWait();
        });
    }
    m_window->setWindowState(state & ~kNotNormal);
}

void WindowFrame::endStateWait()
{
    if (!m_waitingForState)
        return;
    m_waitingForState = false;
    const QSize deferred = std::exchange(m_deferred, QSize());
    if (deferred.isValid())
        resizeInside(deferred);
}

void WindowFrame::resizeInside(const QSize &outerPixels)
{
    if (WindowSystem::isNativeWayland()) {
        // There a maximized or full-screen window has the size the compositor gave it, and one on its way back
        // to normal takes no size before the compositor has confirmed that: anything else ends the connection.
        if (m_window->windowState() & kSizedByDesktop)
            return;
        if (m_waitingForState) {
            m_deferred = outerPixels;
            return;
        }
    }
    const QSize inside = outerPixels.shrunkBy(m_margins).expandedTo(QSize(1, 1));
    if (m_fixed)
        m_window->setFixedSize(inside);
    else
        m_window->resize(inside);
}

void WindowFrame::followFrame()
{
    const QMargins reported = reportedMargins();
    // A window made anew (a change of its flags does that) is not framed yet: its last frame
    // stands until the window manager frames it again.
    if (reported.isNull() || reported == m_margins)
        return;
    const QSize outer = outerSize();
    m_margins = reported;
    // A maximized or full-screen window fills what the window manager gives it; its normal size
    // comes back by itself.
    if (!(m_window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized)))
        resizeInside(outer);
}

bool WindowFrame::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window) {
        switch (event->type()) {
        case QEvent::Show:
            // The window manager frames a window after it is mapped, and tells Qt without an
            // event of its own: look again once it has had the time to.
            for (int delay : { 0, 100, 400 })
                QTimer::singleShot(delay, this, &WindowFrame::followFrame);
            break;
        case QEvent::Resize:
            // The first size the compositor gives after the normal state was asked for confirms that state.
            if (m_waitingForState && event->spontaneous())
                endStateWait();
            followFrame();
            break;
        case QEvent::Move:
        case QEvent::WindowStateChange:
        case QEvent::ActivationChange:
            followFrame();
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}
