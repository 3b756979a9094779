// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSize>

/** A rectangle in twips: left and top inside the parent, or on the screen for the window itself. */
struct TwipsRect
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    int right() const { return left + width; }
    bool operator==(const TwipsRect &) const = default;
};

/**
 * Where every frame control of the browser window sits, in twips, and which
 * of them are shown. The window applies it to its widgets after each change.
 * All rectangles are inside the window's client area, except window (on the
 * screen) and webBrowser1 (inside frame1), picture1's children label6,
 * clipStatLbl and image3 (inside picture1).
 */
struct FrameGeometry
{
    TwipsRect window;
    TwipsRect lblbar, label1, label3, text1, image2, image4, image5, image7, closebtn;
    TwipsRect pictureBar, frame1, webBrowser1, image6, picture2;
    TwipsRect picture1, label6, clipStatLbl, image3;

    bool image5Shown = true;
    bool image7Shown = false;
    bool image6Shown = false;
    bool picture1Shown = false;
    bool picture2Shown = false;
};

/**
 * The layout arithmetic of the browser window: the resize rule, the three
 * layouts (normal, maximized, theatre), the resize grip's steps. Sizes are
 * twips; the window has no border, so its client area is the window itself.
 * Every change of the window's size runs the resize rule, as a real resize
 * of the window would.
 */
class BrowserLayout
{
public:
    static constexpr int kDesignWidth = 8070;
    static constexpr int kDesignHeight = 6435;
    static constexpr int kNormalTrayWidth = 1800;
    /** Room the tray keeps for the clock in theatre mode unless the font needs more. */
    static constexpr int kClockRoom = 520;
    /** Room the tray keeps for its caption unless the font needs more. */
    static constexpr int kTrayCaptionWidth = 1320;

    BrowserLayout();

    const FrameGeometry &geometry() const { return m_g; }
    bool isMaximized() const { return m_maximized; }
    /** Whether the window is in theatre mode: it fills the screen, the bar at the bottom. */
    bool isTheatre() const { return m_theatre; }
    /** Whether the clock (the tray's time of day) should be running. */
    bool clockRunning() const { return m_clockRunning; }
    /** True once after a layout change emptied the clipboard status line. */
    bool takeClipStatEmptied();

    /** The twips the clock text needs in theatre mode; never less than kClockRoom. */
    void setClockRoom(int twips);
    /** The twips the tray's caption needs; never less than the caption's designed width. */
    void setCaptionRoom(int twips);

    /** The window was moved or resized from outside (window manager, screen change). */
    void windowMoved(int left, int top);
    void windowResized(int width, int height);

    /** The resize rule; runs by itself on every size change. */
    void formResize();
    /**
     * Maximizing and theatre mode fill area, the part of the screen that the desktop's panels leave
     * free (its left and top are the area's place on the screen).
     */
    void maximizeWindow(const TwipsRect &area);
    void restoreNormalSize();
    void normalLayout();
    void theatreLayout(const TwipsRect &area);

    /** The maximize button and "Ma&ximize": a toggle between normal size and maximized. */
    void toggleMaximize(const TwipsRect &area);
    /** The restore button (also "&Restore"): normal size, no longer maximized. */
    void restoreButton();
    /** Leaving theatre mode (also "&Corvo Mode"). */
    void leaveTheatre();
    /** "Mi&nimize": the window is no longer maximized. */
    void minimizing() { m_maximized = false; }

    void showGrip() { m_g.picture2Shown = true; }
    void hideGrip() { m_g.picture2Shown = false; }
    void setTrayShown(bool shown) { m_g.picture1Shown = shown; }

    /**
     * One step of the resize grip for a pointer at x, y (twips) inside the
     * grip: 40 twips in each direction, towards the quarter the pointer is in;
     * a window 900 high or narrow or less first jumps to 910.
     */
    void gripStep(int x, int y);

private:
    void setWindowSize(int width, int height);
    /** Theatre mode: the bar, the path box, the theatre button and the tray at the window's bottom. */
    void placeTheatreBar();

    FrameGeometry m_g;
    bool m_maximized = false;
    bool m_theatre = false;
    bool m_clockRunning = true;
    bool m_clipStatEmptied = false;
    int m_clockRoom = kClockRoom;
    int m_captionRoom = kTrayCaptionWidth;
};
