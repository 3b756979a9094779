// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "browser/MainWindowBoxes.h"

#include <QObject>
#include <QPointer>

class BrowserWindow;
class QWidget;

/**
 * The main window's browser commands: the record's Path in the desktop's
 * default browser, or in the built-in browser window, of which there is one
 * at a time. The built-in browser comes from the browser library, loaded the
 * first time it is asked for (BrowserLibrary); when the library cannot be
 * loaded, asking for the browser says so and changes nothing else. The main
 * window owns one of these.
 */
class BrowserCommands : public QObject
{
    Q_OBJECT

public:
    /** owner is the main window: the browser window's parent, and the parent of this object. */
    BrowserCommands(MainWindowBoxes boxes, QWidget *owner);
    ~BrowserCommands() override;

    /** The open browser window, or nullptr. */
    BrowserWindow *browser() const;

    /**
     * "Corvane Browser": shows the Path in the browser window's path box,
     * loading the window first when it is not open (the load takes the shown
     * record), shows it, and returns once its page is no longer busy, the
     * window is closed, a lock is requested or the program is ending. Window
     * events go on meanwhile.
     */
    void CorvaneIE_Click();
    /** "Corvo Browser": shows the browser window, loading it first when it is not open. */
    void mnuCorvoBrowser_Click();
    /** "External Browser": the desktop opens the Path box text, unchanged. */
    void mnuExternalIE_Click();

Q_SIGNALS:
    /** A browser window was loaded (for the main window, or a test, to watch). */
    void browserLoaded(BrowserWindow *browser);

private:
    /** The open window, loading it when there is none; nullptr (and the user told why) when the library is missing. */
    BrowserWindow *loadedBrowser();
    void showBrowser();
    void waitWhileBusy();

    MainWindowBoxes m_boxes;
    QPointer<QWidget> m_owner;
    // The window deletes itself when it closes; the guard says when.
    QPointer<QWidget> m_window;
    BrowserWindow *m_browser = nullptr;
};
