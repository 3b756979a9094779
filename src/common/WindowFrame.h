// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMargins>
#include <QObject>
#include <QSize>

class QWidget;

/**
 * A window's outer size, the frame a window manager draws around it
 * included: the one place that turns outer sizes into the size of the
 * inside. The frame is known only once the window manager has framed the
 * window; until then it counts as none (or as the frame the window had
 * before it was made anew, as a change of its flags does). When the frame
 * becomes known or changes, the outer size is kept and the inside gives
 * way, so outer sizes are exact from the first show on. Where no window
 * manager draws a frame, outer and inside are one.
 */
class WindowFrame : public QObject
{
    Q_OBJECT

public:
    /** The frame helper of window, a top-level widget; made on first use, it lives as the window's child. */
    static WindowFrame *of(QWidget *window);

    /** The frame's width on each side in pixels, as far as it is known. */
    QMargins margins() const;
    /** The outer size in pixels. */
    QSize outerSize() const;
    /** The outer width and height in twips. */
    int outerWidth() const;
    int outerHeight() const;

    /** Sets the outer size in twips, keeping the position. */
    void setOuterSize(int widthTwips, int heightTwips);
    /** Sets the outer height in twips, keeping the outer width and the position. */
    void setOuterHeight(int heightTwips);
    /** Fixes the outer size in twips: a window the user cannot resize. */
    void setFixedOuterSize(int widthTwips, int heightTwips);

    /**
     * Takes the window out of the maximized, full-screen or minimized state.
     * The sizes set until the window manager or compositor has confirmed the
     * normal state (with the window's normal place and size) are applied once
     * it has: set before, a size would go with the place and the frame of the
     * maximized window, and on native Wayland a window that takes a size its
     * confirmed state does not allow is cut off from the display.
     */
    void showNormal();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit WindowFrame(QWidget *window);
    /** The frame the window manager reports now; none while the window is not framed. */
    QMargins reportedMargins() const;
    void resizeInside(const QSize &outerPixels);
    enum class FrameChange {
        /** The frame came or changed by itself: the outer size stays, the inside gives way. */
        KeepOuterSize,
        /** The window manager gave the window a new size with the frame: both stand. */
        WithSize,
    };
    void followFrame(FrameChange change = FrameChange::KeepOuterSize);
    /** Ends the wait for the normal state in ms milliseconds, unless the wait is ended or put off before. */
    void endStateWaitIn(int ms);
    /** The compositor has confirmed the normal state (or never will): the size set meanwhile applies. */
    void endStateWait();

    QWidget *m_window;
    /** The frame the inside was last sized for. */
    QMargins m_margins;
    bool m_fixed = false;
    /** The normal state was asked for and the window manager or compositor has not confirmed it yet. */
    bool m_waitingForState = false;
    int m_stateWaits = 0;
    /** The outer size in pixels set while waiting; empty when none was. */
    QSize m_deferred;
};
