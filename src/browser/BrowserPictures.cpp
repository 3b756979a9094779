// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/BrowserPictures.h"

#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

using namespace Qt::StringLiterals;

namespace BrowserPictures {

void show(QLabel *label, const QString &name)
{
    QSvgRenderer renderer(u":/browser/"_s + name + u".svg"_s);
    const qreal ratio = label->devicePixelRatioF();
    const QSize size = label->size().isEmpty() ? QSize(16, 16) : label->size();
    QPixmap pixmap(size * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    if (renderer.isValid()) {
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        // Square pictures stay square inside a label that is not.
        const int side = qMin(size.width(), size.height());
        const QRectF target((size.width() - side) / 2.0, (size.height() - side) / 2.0, side, side);
        renderer.render(&painter, target);
    }
    label->setPixmap(pixmap);
    label->setAlignment(Qt::AlignCenter);
}

} // namespace BrowserPictures
