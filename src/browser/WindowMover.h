// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPoint>

class QWidget;

/**
 * Lets the user drag a window without a title bar by some of its controls.
 * Once the pointer has moved the drag distance with the left button held,
 * the window system takes over (QWindow::startSystemMove()); where it cannot
 * (no window manager), the window follows the pointer itself. A plain click
 * or a double-click moves nothing, so the controls keep their own clicks.
 */
class WindowMover : public QObject
{
    Q_OBJECT

public:
    explicit WindowMover(QWidget *window);

    /** Dragging handle moves the window. Watch a handle after its other event filters. */
    void watch(QWidget *handle);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum class State { Idle, Armed, Following };

    QWidget *m_window;
    State m_state = State::Idle;
    QPoint m_pressGlobal;
    QPoint m_windowStart;
};
