// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Twips.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
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
    QRect area;
    if (over && over->isVisible())
        area = over->frameGeometry();
    else if (const QScreen *screen = window->screen())
        area = screen->availableGeometry();
    else
        return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(area.center());
    window->move(frame.topLeft());
}

void place(QWidget *widget, int left, int top, int width, int height)
{
    widget->setGeometry(Twips::toPixels(left), Twips::toPixels(top), Twips::toPixels(width), Twips::toPixels(height));
}
