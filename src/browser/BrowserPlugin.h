// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "browser/BrowserWindow.h"

#include <QObject>

/** The browser library's entry, as the program finds it (BrowserLibrary). */
class BrowserPlugin : public QObject, public BrowserFactory
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID CorvaneBrowserFactory_iid)
    Q_INTERFACES(BrowserFactory)

public:
    BrowserWindow *loadBrowser(MainWindowBoxes boxes, QWidget *parent) override;
};
