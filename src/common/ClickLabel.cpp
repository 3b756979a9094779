// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ClickLabel.h"

#include <QMouseEvent>
#include <QPainter>
#include <QSvgRenderer>

ClickLabel::ClickLabel(QWidget *parent)
    : ClickLabel(QString(), parent)
{ }

ClickLabel::ClickLabel(const QString &text, QWidget *parent)
    : QLabel(text, parent)
{
    setMouseTracking(true);
}

void ClickLabel::setSvg(const QString &resource)
{
    m_svg = resource;
    setAlignment(Qt::AlignCenter);
    renderSvg();
}

void ClickLabel::renderSvg()
{
    if (m_svg.isEmpty() || size().isEmpty())
        return;
    const qreal ratio = devicePixelRatioF();
    QPixmap pixmap(size() * ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    QSvgRenderer renderer(m_svg);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size()) * ratio));
    painter.end();
    pixmap.setDevicePixelRatio(ratio);
    setPixmap(pixmap);
}

void ClickLabel::resizeEvent(QResizeEvent *event)
{
    QLabel::resizeEvent(event);
    renderSvg();
}

void ClickLabel::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        m_pressed = true;
        Q_EMIT pressed();
    }
    event->accept();
}

void ClickLabel::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    event->accept();
    if (click)
        Q_EMIT clicked();
}

void ClickLabel::mouseMoveEvent(QMouseEvent *event)
{
    Q_EMIT hovered(event->position().toPoint());
    QLabel::mouseMoveEvent(event);
}
