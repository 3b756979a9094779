// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ElidedLabel.h"

#include <QPainter>
#include <QStyle>

ElidedLabel::ElidedLabel(QWidget *parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
}

void ElidedLabel::fitText(int maxRight)
{
    adjustSize();
    const int room = qMax(0, maxRight - x());
    const bool cut = width() > room;
    if (cut)
        resize(room, height());
    setToolTip(cut ? text() : QString());
}

void ElidedLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect area = contentsRect();
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, area.width());
    style()->drawItemText(&painter, area, int(alignment()), palette(), isEnabled(), shown, foregroundRole());
}
