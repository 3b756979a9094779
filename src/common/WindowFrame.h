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
     * Where the compositor must confirm the normal state before the window may
     * take another size (native Wayland), the sizes set until it has done so
     * are applied once it has; a window that takes a size its confirmed state
     * does not allow is cut off from the display.
     */
    void showNormal();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit WindowFrame(QWidget *window);
    /** The frame the window manager reports now; none while the window is not framed. */
    QMargins reportedMargins() const;
    void resizeInside(const QSize &outerPixels);
    void followFrame();
    /** The compositor has confirmed the normal state (or never will): the size set meanwhile applies. */
    void endStateWait();

    QWidget *m_window;
    /** The frame the inside was last sized for. */
    QMargins m_margins;
    bool m_fixed = false;
    /** Native Wayland: the normal state was asked for and the compositor has not confirmed it yet. */
    bool m_waitingForState = false;
    int m_stateWaits = 0;
    /** The outer size in pixels set while waiting; empty when none was. */
    QSize m_deferred;
};
