// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Twips.h"

#include "common/WindowFrame.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QStyle>
#include <QWidget>

#include <cmath>

namespace {
double logicalDpi()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInch() : 96.0;
}
} // namespace

namespace Twips {

int toPixels(int twips)
{
    return int(std::lround(twips * logicalDpi() / 1440.0));
}

int fromPixels(int pixels)
{
    return int(std::lround(pixels * 1440.0 / logicalDpi()));
}

} // namespace Twips

void centerWindow(QWidget *window)
{
    const QWidget *over = window->parentWidget() ? window->parentWidget()->window() : nullptr;
    if (over && !over->isVisible())
        over = nullptr;
    const QScreen *screen = over ? over->screen() : window->screen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    // The frame the window manager draws round the window: until it has drawn one, the one round the window it is
    // centred over, or at least a title bar.
    const auto frameOf = [](const QWidget *w) {
        const QRect inside = w->geometry();
        const QRect outer = w->frameGeometry();
        return QMargins(inside.left() - outer.left(), inside.top() - outer.top(), outer.right() - inside.right(),
            outer.bottom() - inside.bottom());
    };
    QMargins frame = frameOf(window);
    if (frame.isNull() && over)
        frame = frameOf(over);
    if (frame.isNull())
        frame.setTop(window->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window));

    // A window whose outer size is kept lets its inside give way to the frame once framed.
    const auto *kept = window->findChild<WindowFrame *>(QString(), Qt::FindDirectChildrenOnly);
    QRect outer(QPoint(), kept ? kept->outerSize() : window->size().grownBy(frame));
    outer.moveCenter(over ? over->frameGeometry().center() : available.center());
    // Wholly on the screen where it fits, its title bar above all: a title bar above the screen cannot be dragged.
    outer.moveRight(qMin(outer.right(), available.right()));
    outer.moveBottom(qMin(outer.bottom(), available.bottom()));
    outer.moveLeft(qMax(outer.left(), available.left()));
    outer.moveTop(qMax(outer.top(), available.top()));
    // The place of the inside, which the window manager keeps whatever it knows of the frame yet.
    window->setGeometry(QRect(outer.topLeft() + QPoint(frame.left(), frame.top()), window->size()));
}

void place(QWidget *widget, int left, int top, int width, int height)
{
    widget->setGeometry(Twips::toPixels(left), Twips::toPixels(top), Twips::toPixels(width), Twips::toPixels(height));
}
