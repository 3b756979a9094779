// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPoint>

class QWidget;

/**
 * The mouse events of one widget as signals, so a window can connect a
 * handler to a label's or a frame's click, double-click, button and move
 * events. Positions are the widget's own, in pixels. Events the widget
 * should not see itself (consume) stop here.
 */
class MouseEvents : public QObject
{
    Q_OBJECT

public:
    enum class Pass { Consume, ToWidget };

    /** Watches widget; the watcher lives as long as the widget. */
    static MouseEvents *watch(QWidget *widget, Pass pass = Pass::Consume);

Q_SIGNALS:
    /** Left button pressed and released over the widget. */
    void clicked();
    void doubleClicked();
    void pressed(QPoint pos);
    void released(QPoint pos);
    /** Any move over the widget (with mouse tracking) or while it holds a button. */
    void moved(QPoint pos, Qt::MouseButtons buttons);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    MouseEvents(QWidget *widget, Pass pass);

    QWidget *m_widget;
    Pass m_pass;
    bool m_pressed = false;
};
