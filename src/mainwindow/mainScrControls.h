// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "mainwindow/EditBoxes.h"
#include "mainwindow/FieldControls.h"
#include "mainwindow/RecordGrid.h"

#include <QString>

#include <array>

class ClickLabel;
class ElidedLabel;
class InfoEdit;
class QAction;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMainWindow;
class QMenu;
class QObject;
class QWidget;

/**
 * The main window's controls, by their names, as the window's form lays
 * them out. Every control's objectName is its name (with its index for the
 * control arrays: "Text1_3", "Image1_8"); every menu entry's QAction has the
 * entry's name.
 */
struct mainScrControls : EditBoxes
{
    /** Creates every control and menu of window at its place. */
    void setUp(QMainWindow *window);

    // The toolbar and the rule under it.
    QFrame *Frame3 = nullptr;
    std::array<ClickLabel *, 9>
        Image1 {}; ///< 0 Add, 1 Replace, 2 Trash, 3 Reset, 4 Create a Password, 5 Help, 6 Capture, 7 Quit, 8 web page
    std::array<QFrame *, 4> Line1 {}; ///< the button frame: 0 top, 1 right, 2 bottom, 3 left
    QFrame *Frame1 = nullptr;

    // The clipboard status panel.
    QFrame *Picture1 = nullptr;
    QLabel *Label6 = nullptr;
    ElidedLabel *ClipStatLbl = nullptr; ///< sizes to its text within the panel
    std::array<ClickLabel *, 2> Image3 {}; ///< 0 the clipboard holds no text, 1 it holds text

    // The entry area.
    QFrame *Frame2 = nullptr;
    ClickLabel *Label4 = nullptr; ///< "Service"
    ClickLabel *Label1 = nullptr; ///< "Username"
    ClickLabel *Label2 = nullptr; ///< "Password"
    ClickLabel *Label5 = nullptr; ///< "Path"
    // The edit boxes Text1(0) to Text1(4) are those of EditBoxes.
    std::array<QFrame *, 2> Line2 {}; ///< the hover underline: 0 dark blue, 1 white
    QCheckBox *Check1 = nullptr;

    RecordGrid *Grid1 = nullptr;

    // The menu bar.
    QMenu *mnuFileTop = nullptr;
    QAction *mnuBackupDB = nullptr;
    QAction *mnuRestoreDB = nullptr;
    QAction *mnuImport = nullptr; ///< logins from another program's CSV export
    QAction *mnuExport = nullptr; ///< every record to a CSV file
    QAction *mnuCorvoBrowser = nullptr;
    QAction *mnuLock = nullptr;
    QAction *mnuExit = nullptr;
    QMenu *mnuEditTop = nullptr;
    QAction *mnuUndo = nullptr;
    QAction *mnuAdd = nullptr;
    QAction *mnuReplace = nullptr;
    QAction *mnuRemove = nullptr;
    QAction *mnuReset = nullptr;
    QAction *mnuCapture = nullptr;
    QAction *mnuClearClip = nullptr;
    QAction *mnuFind = nullptr; ///< "&Find...", Ctrl+F and F3: the only entry with shortcut keys
    QMenu *mnuPreferencesTop = nullptr;
    QAction *mnuOnTop = nullptr;
    QAction *ResetSize = nullptr;
    QAction *mnuAutoComplete = nullptr;
    QAction *mnuShowPass = nullptr;
    QAction *mnuSecurity = nullptr;
    QAction *mnuLang = nullptr;
    QAction *mnuHideDisplay = nullptr;
    QAction *mnuAutoHide = nullptr;
    QMenu *mnuHelpTop = nullptr;
    QAction *mnuHelp = nullptr;
    QAction *mnuAbout = nullptr;

    // "URLMenu", the pop-up of the Path label; never on the menu bar.
    QMenu *TmnuUrl = nullptr;
    QAction *mnuCopyToClip = nullptr;
    QMenu *mnuBrowse = nullptr;
    QAction *CorvaneIE = nullptr;
    QAction *mnuExternalIE = nullptr;

    /** The five edit boxes, for the commands that work on them. */
    const EditBoxes &boxes() const { return *this; }
    /** The five edit boxes with the four field labels above them. */
    FieldControls fields() const { return { boxes(), Label4, Label1, Label2, Label5 }; }

private:
    /** Frame3 with the toolbar's buttons and frame lines, and the rule Frame1 under it. */
    void buildToolbar(QWidget *client);
    /** Picture1: what the clipboard holds. */
    void buildClipboardPanel(QWidget *client);
    /** Frame2 with the field labels and the edit boxes, and Check1 beside the Password box. */
    void buildEntryArea(QWidget *client);
    void buildGrid(QWidget *client);
    /** The menu bar and the Path label's pop-up. */
    void buildMenus(QMainWindow *window);
};
