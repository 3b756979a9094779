// SPDX-License-Identifier: GPL-3.0-or-later
#include "Twips.h"

#include <QGuiApplication>
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

void place(QWidget *widget, int left, int top, int width, int height)
{
    widget->setGeometry(Twips::toPixels(left), Twips::toPixels(top), Twips::toPixels(width), Twips::toPixels(height));
}
