// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/MouseEvents.h"

#include <QMouseEvent>
#include <QWidget>

MouseEvents *MouseEvents::watch(QWidget *widget, Pass pass)
{
    return new MouseEvents(widget, pass);
}

MouseEvents::MouseEvents(QWidget *widget, Pass pass)
    : QObject(widget)
    , m_widget(widget)
    , m_pass(pass)
{
    widget->installEventFilter(this);
}

bool MouseEvents::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_widget)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton) {
            m_pressed = true;
            Q_EMIT pressed(mouse->position().toPoint());
        }
        break;
    }
    case QEvent::MouseButtonRelease: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton)
            break;
        const QPoint pos = mouse->position().toPoint();
        const bool click = m_pressed && m_widget->rect().contains(pos);
        m_pressed = false;
        Q_EMIT released(pos);
        if (click)
            Q_EMIT clicked();
        break;
    }
    case QEvent::MouseButtonDblClick: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton) {
            m_pressed = false;
            Q_EMIT doubleClicked();
        }
        break;
    }
    case QEvent::MouseMove: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        Q_EMIT moved(mouse->position().toPoint(), mouse->buttons());
        break;
    }
    default:
        return false;
    }
    return m_pass == Pass::Consume;
}
