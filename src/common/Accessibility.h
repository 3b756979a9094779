// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

/**
 * How screen readers see Corvane's own windows. Qt presents a window that
 * is a plain QWidget (the browser window, the security settings, the owner
 * authentication) as a mere filler, and leaves out the pop-up menus a
 * window owns (the browser's window menu). Once installed, such a window is
 * a window or a dialog with its menus among its children.
 */
namespace Accessibility {
/** Installs the accessible interfaces; once, after the QApplication is made. */
void install();
} // namespace Accessibility
