// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/prefs/WindowPlacement.h"

#include <algorithm>

namespace WindowPlacement {

namespace {
/** Enough of the title bar to grab it with the mouse and drag the window back. */
constexpr int kGripWidth = 48;
} // namespace

bool titleBarReachable(const QRect &frame, int titleHeight, const QList<QRect> &available)
{
    const int height = std::max(titleHeight, 1);
    const QRect strip(frame.left(), frame.top(), std::max(frame.width(), 1), height);
    const int needWidth = std::min(kGripWidth, strip.width());
    const int needHeight = std::max(height / 2, 1);
    return std::any_of(available.cbegin(), available.cend(), [&](const QRect &screen) {
        const QRect seen = strip.intersected(screen);
        return seen.width() >= needWidth && seen.height() >= needHeight;
    });
}

QPoint onScreen(const QRect &frame, int titleHeight, const QList<QRect> &available, const QRect &primary)
{
    if (titleBarReachable(frame, titleHeight, available) || primary.isEmpty())
        return frame.topLeft();
    // Larger than the screen: the top left corner (and so the title bar) stays on it.
    const int x = std::max(primary.left(), std::min(frame.left(), primary.left() + primary.width() - frame.width()));
    const int y = std::max(primary.top(), std::min(frame.top(), primary.top() + primary.height() - frame.height()));
    return { x, y };
}

} // namespace WindowPlacement
