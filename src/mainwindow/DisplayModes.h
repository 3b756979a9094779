// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/FileResult.h"
#include "mainwindow/EditBoxes.h"

#include <QObject>

#include <optional>

class QAction;
class QFrame;
class QMainWindow;
class QMenu;
class WindowFrame;

/**
 * How the main window shows itself: "&Hide Display" (collapsed to its upper
 * part), "&Auto Hide" (collapsed while the mouse is over the upper part,
 * grown back at the bottom of the entry area), "&Top Most" and "Reset to
 * &Normal Size"; the rule that brings the height back when neither mode is
 * on; and the preferences file that keeps the modes and the position
 * between runs.
 */
class DisplayModes : public QObject
{
    Q_OBJECT

public:
    /** Window measures in twips, frame included. */
    static constexpr int kCollapsedHeight = 3000;
    static constexpr int kNormalWidth = 7980;
    static constexpr int kNormalHeight = 6300;
    /** NormalHeight once the window has loaded, before any resize sets it: a little over the normal height. */
    static constexpr int kHeightAfterLoad = 6330;
    /** Frame2's height from which down the mouse grows the window under Auto Hide (its lowest 150 twips). */
    static constexpr int kGrowFrom = 1500;
    /** How high the band that grows the window is. */
    static constexpr int kGrowBand = 150;
    /** How much of that band the collapsed window must show for it to be the band: what 3000 twips leave of it under
     * a slim title bar. */
    static constexpr int kBandInView = 45;

    /** What of the main window the modes use. */
    struct Controls
    {
        QMainWindow *window;
        EditBoxes boxes;
        QFrame *Frame2;
        QMenu *mnuPreferencesTop;
        QAction *mnuHideDisplay;
        QAction *mnuAutoHide;
        QAction *mnuOnTop;
        QAction *ResetSize;
        /** The window's NormalHeight, in twips: the height it returns to when it is not collapsed. */
        int &NormalHeight;
    };

    explicit DisplayModes(const Controls &controls);

    /**
     * Reads "prefs.cfg" and applies it: the modes, the position and Top Most.
     * A missing file changes nothing; a malformed item ends the reading with
     * what came before it applied. A position that leaves the title bar off
     * every screen is moved onto the primary screen. On native Wayland, where
     * the desktop places windows and keeps them above others, the position
     * and Top Most are kept as read, to be written back unchanged.
     */
    void LoadPrefs();
    /** Writes "prefs.cfg" whole; on failure the earlier file stays and the reason is returned. */
    FileResult SavePrefs();

    // The Preferences menu's entries, run after Qt has flipped their check marks.
    void mnuHideDisplay_Click();
    void mnuAutoHide_Click();
    void mnuOnTop_Click();
    void ResetSize_Click();

    /** Puts the window into or out of the top-most state, keeping its position and size. */
    void setTopMost(bool on);
    bool isTopMost() const;

    /**
     * While the window is in its normal state and Auto Hide is off: collapsed
     * under Hide Display, else back to NormalHeight.
     */
    void applyHeightRule();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void scheduleHeightRule();
    void setHeight(int twips);
    void autoHideMouseMove(QObject *watched, const QPoint &position);
    /**
     * Where, in Frame2, the band begins that grows the window under Auto Hide: 1500 twips down, or, where a tall
     * title bar or menu bar leaves that band outside the collapsed window, the last 150 twips of the frame the
     * collapsed window shows.
     */
    int growBandTop() const;
    void keepReachable();
    int titleBarHeight() const;
    /** The frame a window manager draws round the window, and the window's outer size. */
    WindowFrame &frame() const;

    Controls m_ui;
    QMainWindow &m_window;
    bool m_heightRulePending = false;

    /** On native Wayland: the place and Top Most as read, written back as they were. */
    struct Kept
    {
        int left = 0;
        int top = 0;
        bool topMost = false;
    };
    std::optional<Kept> m_kept;
};
