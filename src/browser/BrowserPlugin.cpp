// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/BrowserPlugin.h"

#include "browser/MiniBrowser.h"

BrowserWindow *BrowserPlugin::loadBrowser(MainWindowBoxes boxes, QWidget *parent)
{
    return new MiniBrowser(std::move(boxes), parent);
}
