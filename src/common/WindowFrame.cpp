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
/**
 * How long the window's place and size stay still once the window manager has begun to answer: some
 * take a window back from maximized in steps (fluxbox restores the width, then the height and the place).
 */
constexpr int kSettleMs = 150;
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
    // While a window manager builds its frame (kwin makes it 1 by 1 first), the frame is no frame yet.
    const QMargins margins = handle->frameMargins();
    if (margins.left() < 0 || margins.top() < 0 || margins.right() < 0 || margins.bottom() < 0)
        return {};
    return margins;
}

void WindowFrame::showNormal()
{
    const Qt::WindowStates state = m_window->windowState();
    if (!(state & kNotNormal))
        return;
    if ((state & kSizedByDesktop) && m_window->isVisible()) {
        // The window manager or compositor answers with the window's normal place and size; until then the
        // window keeps the size it has. (A size set before would be set at the place the window had while
        // maximized, and the window manager's frame of that state.)
        m_waitingForState = true;
        endStateWaitIn(kStateWaitMs);
    }
    m_window->setWindowState(state & ~kNotNormal);
}

void WindowFrame::endStateWaitIn(int ms)
{
    const int wait = ++m_stateWaits;
    QTimer::singleShot(ms, this, [this, wait] {
        if (wait == m_stateWaits)
            endStateWait();
    });
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
    // On native Wayland a maximized or full-screen window has the size the compositor gave it, and one on its
    // way back to normal takes no size before the compositor has confirmed that: anything else ends the
    // connection.
    if (WindowSystem::isNativeWayland() && (m_window->windowState() & kSizedByDesktop))
        return;
    if (m_waitingForState) {
        m_deferred = outerPixels;
        return;
    }
    const QSize inside = outerPixels.shrunkBy(m_margins).expandedTo(QSize(1, 1));
    if (m_fixed)
        m_window->setFixedSize(inside);
    else
        m_window->resize(inside);
}

void WindowFrame::followFrame(FrameChange change)
{
    const QMargins reported = reportedMargins();
    // A window made anew (a change of its flags does that) is not framed yet: its last frame
    // stands until the window manager frames it again.
    if (reported.isNull() || reported == m_margins)
        return;
    const QSize outer = outerSize();
    const bool firstFrame = m_margins.isNull();
    m_margins = reported;
    // A size the window manager gives with another frame is its own: it maximizes the window that way
    // before Qt has heard of the state, and would take a size asked for then as the end of that state. (The
    // first frame always keeps the outer size, whatever came with it.) A maximized or full-screen window
    // fills what the window manager gives it; its normal size comes back by itself. On its way back, the
    // size set meanwhile applies, inside this frame.
    const bool keepOuter = change == FrameChange::KeepOuterSize || firstFrame;
    if (keepOuter && !m_waitingForState && !(m_window->windowState() & kNotNormal))
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
                QTimer::singleShot(delay, this, [this] { followFrame(); });
            break;
        case QEvent::Resize:
        case QEvent::Move:
            // The place and size the window manager gives after the normal state was asked for confirm
            // that state once they stay still; the frame of that state is known with them.
            followFrame(event->type() == QEvent::Resize && event->spontaneous() ? FrameChange::WithSize
                                                                                : FrameChange::KeepOuterSize);
            if (m_waitingForState && event->spontaneous())
                endStateWaitIn(kSettleMs);
            break;
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
