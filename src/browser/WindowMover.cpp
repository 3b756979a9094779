// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/WindowMover.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

WindowMover::WindowMover(QWidget *window)
    : QObject(window)
    , m_window(window)
{ }

void WindowMover::watch(QWidget *handle)
{
    handle->installEventFilter(this);
}

bool WindowMover::eventFilter(QObject *, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton) {
            m_state = State::Armed;
            m_pressGlobal = mouse->globalPosition().toPoint();
            m_windowStart = m_window->pos();
        }
        break;
    }
    case QEvent::MouseMove: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (!(mouse->buttons() & Qt::LeftButton) || m_state == State::Idle)
            break;
        const QPoint offset = mouse->globalPosition().toPoint() - m_pressGlobal;
        if (m_state == State::Armed) {
            if (offset.manhattanLength() < QApplication::startDragDistance())
                break;
            QWindow *handle = m_window->windowHandle();
            if (handle && handle->startSystemMove()) {
                m_state = State::Idle;
                break;
            }
            m_state = State::Following;
        }
        m_window->move(m_windowStart + offset);
        break;
    }
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        m_state = State::Idle;
        break;
    default:
        break;
    }
    return false;
}
