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
