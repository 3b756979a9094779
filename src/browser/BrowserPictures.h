// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QLabel;

/** The browser window's own pictures (SVG files in the resources). */
namespace BrowserPictures {
/**
 * Shows the picture name (for instance "close") on label, drawn at the
 * label's size for its screen, centred. Draw again after the label's size changes.
 */
void show(QLabel *label, const QString &name);
} // namespace BrowserPictures
