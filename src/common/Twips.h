// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

/**
 * The program lays its windows out in twips (1/1440 inch): 15 twips are one
 * pixel at 96 logical dots per inch, scaled by the screen's logical DPI.
 */
namespace Twips {
int toPixels(int twips);
int fromPixels(int pixels);
} // namespace Twips

/** Puts widget at left, top with width and height, all in twips, inside its parent. */
void place(QWidget *widget, int left, int top, int width, int height);

/**
 * Centres a window over the window of its parent, or on the screen when it has
 * none, as a window manager would place a dialog (and as none does under Xvfb),
 * keeping it on that screen's free area with its title bar in view.
 */
void centerWindow(QWidget *window);
