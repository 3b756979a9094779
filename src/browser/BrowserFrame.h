// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "browser/BrowserLayout.h"
#include "browser/GripCounter.h"

#include <QObject>

#include <array>

class BrowserClock;
class MiniBrowser;
class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QTimer;
class QWidget;

/**
 * The browser window's own frame: its title bar with the window menu and the
 * window buttons, the Quit button, the frame around the page, the resize
 * grip, the clipboard tray with its indicator and clock, and the three
 * layouts (normal, maximized, theatre). Its controls are children of the
 * window; their places come from BrowserLayout, in twips.
 */
class BrowserFrame : public QObject
{
    Q_OBJECT

public:
    /** The window's own controls that the frame places and colours. */
    struct WindowParts
    {
        QLabel *Label3; ///< "Path:"
        QLineEdit *Text1; ///< the path box
        QFrame *PictureBar; ///< the bar of the transfer buttons
    };

    BrowserFrame(MiniBrowser *window, const WindowParts &parts);
    ~BrowserFrame() override;

    /** The frame round the page: the page view's parent. */
    QFrame *pageFrame() const { return Frame1; }
    /** Called once the page view exists: stacks the controls, connects them, lays them out. */
    void finishBuilding(QWidget *page);
    /** The tray's line that says what the window put on the clipboard. */
    void setTrayStatus(const QString &text);

    const BrowserLayout &layout() const { return m_layout; }
    bool isMaximized() const { return m_layout.isMaximized(); }
    bool gripDragging() const { return GripDragging; }
    qint16 gripTicks() const { return GripTicks.value(); }

    /** The window's size changed; runs the resize rule unless the frame itself set that size. */
    void Form_Resize();
    void windowMoved();

private:
    void buildTitleBar();
    void buildQuitButton();
    void buildTray();
    void buildMenu();
    void connectHandlers();

    void Image5_Click();
    void Image7_Click();
    void Image4_Click();
    void Image6_Click();
    void Image2_Click();
    void lblbar_DblClick();
    void Image3_Click();
    void Image1_MouseMove();
    void Image1_MouseDown();
    void Frame1_MouseMove();
    void Frame1_Click();
    void Picture2_MouseDown();
    void Picture2_MouseUp();
    void Picture2_MouseMove(QPoint pos);
    void Timer2_Timer();
    void Timer3_Timer(const QString &time);
    void mnutheather_Click();
    void mnuCorvomode_Click();
    void mnuRestoreSize_Click();
    void mnuMinimize_Click();
    void mnuClipbtray_Click();
    void closeWindow();

    void updateIndicator();
    void scheduleGripHide();
    /** The part of the window's screen that the desktop's panels leave free, in twips from the screen's origin. */
    TwipsRect workArea() const;
    QPoint screenOrigin() const;
    /**
     * Where the desktop places windows (native Wayland): puts the window into the state the layout asks
     * for, maximized, full screen (theatre) or normal, for the compositor to place and size it. Until
     * the compositor gives a size (and where it gives none, as a tiling one does to a floating window)
     * the controls are laid out for the size the window has.
     */
    void followWindowState();
    /** Native Wayland: back to the normal state, the layout's size following the compositor's confirmation. */
    void showNormal();
    void sizeOnceNormal();
    /** Puts every control where the layout says and shows the ones it shows. */
    void applyLayout();
    void drawPictures();

    QLabel *lblbar = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Image2 = nullptr;
    QLabel *Image4 = nullptr;
    QLabel *Image5 = nullptr;
    QLabel *Image7 = nullptr;
    QLabel *closebtn = nullptr;
    QLabel *Image1 = nullptr;
    std::array<QWidget *, 4> Line1 {};
    QLabel *Image6 = nullptr;
    QFrame *Frame1 = nullptr;
    QLabel *Picture2 = nullptr;
    QFrame *Picture1 = nullptr;
    QLabel *Label6 = nullptr;
    QLabel *ClipStatLbl = nullptr;
    std::array<QLabel *, 2> Image3 {};

    QMenu *TmnuMenu = nullptr;
    QAction *mnutheather = nullptr;
    QAction *mnuCorvomode = nullptr;
    QAction *mnuRestoreSize = nullptr;
    QAction *mnuMinimize = nullptr;
    QAction *mnuMaximize = nullptr;
    QAction *mnuClipbtray = nullptr;
    QAction *mnuExit = nullptr;

    /** The grip's auto-hide check; runs only while the grip is shown. */
    QTimer *Timer2 = nullptr;
    /** The tray's clock. */
    BrowserClock *Timer3 = nullptr;

    MiniBrowser *m_window;
    WindowParts m_parts;
    QWidget *m_page = nullptr;
    BrowserLayout m_layout;
    bool m_applying = false;
    /** Native Wayland: the normal state was asked for; the window takes its size once the compositor confirms it. */
    bool m_sizeOnceNormal = false;
    bool GripDragging = false;
    GripCounter GripTicks;
};
