// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QPoint>
#include <QRect>

/** Keeps a restored window where the user can reach it. */
namespace WindowPlacement {

/**
 * Whether the user can take hold of the window's title bar: the strip of
 * titleHeight pixels along the top of frame lies, for at least a grip's width
 * and half its height, inside one of the available screen areas.
 */
bool titleBarReachable(const QRect &frame, int titleHeight, const QList<QRect> &available);

/**
 * Where a window with frame geometry frame goes: where it is when its title
 * bar is reachable, else the nearest position that puts the whole window (or
 * its top left part, when it is larger) inside the primary screen's
 * available area.
 */
QPoint onScreen(const QRect &frame, int titleHeight, const QList<QRect> &available, const QRect &primary);

} // namespace WindowPlacement
