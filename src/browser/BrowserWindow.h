// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "browser/MainWindowBoxes.h"

#include <QtPlugin>

#include <functional>

class QObject;
class QWidget;

// The built-in browser window lives in a library of its own (see BrowserLibrary), which links the
// web engine; the program does not. This header is all the two share, so it names no web engine
// type.

/** A built-in browser window, as the main window's commands see it. Closing it deletes it. */
class BrowserWindow
{
public:
    /** The window itself. */
    virtual QWidget *widget() = 0;
    /** Shows text in the window's path box; the page stays as it is. */
    virtual void setPathBox(const QString &text) = 0;
    /** The embedded browser's busy flag: a page is loading. */
    virtual bool isBusy() const = 0;
    /**
     * Calls done, as long as context lives, whenever the page stops being busy and when the
     * window is closing.
     */
    virtual void whenIdleOrClosed(QObject *context, std::function<void()> done) = 0;

protected:
    ~BrowserWindow() = default;
};

/** The browser library's entry: it makes the browser windows. */
class BrowserFactory
{
public:
    virtual ~BrowserFactory() = default;
    /**
     * Loads a browser window (not shown yet) whose load takes the record from boxes and starts
     * loading its Path; the window is a window of its own above parent.
     */
    virtual BrowserWindow *loadBrowser(MainWindowBoxes boxes, QWidget *parent) = 0;
};

#define CorvaneBrowserFactory_iid "org.corvane.BrowserFactory/1"
Q_DECLARE_INTERFACE(BrowserFactory, CorvaneBrowserFactory_iid)
