// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/BrowserLayout.h"

#include <QtGlobal>

#include <utility>

namespace {
constexpr int kNormalLeft = 1935;
constexpr int kNormalTop = 960;
constexpr int kNormalWidth = 8100;
constexpr int kNormalHeight = 6465;
constexpr int kGripStep = 40;
constexpr int kGripMinimum = 900;
constexpr int kGripJump = 910;
/** Between the tray's caption and the clock beside it in theatre mode. */
constexpr int kCaptionGap = 30;

/** Sets a size that must not be negative; false (nothing set) when it would be. */
bool setSize(int &field, int value)
{
    if (value < 0)
        return false;
    field = value;
    return true;
}
} // namespace

BrowserLayout::BrowserLayout()
{
    m_g.window = { kNormalLeft, kNormalTop, kDesignWidth, kDesignHeight };

    m_g.lblbar = { 0, 0, kDesignWidth, 285 };
    m_g.image2 = { 30, 30, 225, 225 };
    m_g.label1 = { 315, 45, 1440, 225 };
    m_g.label3 = { 1815, 45, 480, 225 };
    m_g.text1 = { 2325, 5, 3600, 270 };
    m_g.image4 = { 7230, 22, 240, 240 };
    m_g.image5 = { 7470, 22, 240, 240 };
    m_g.image7 = m_g.image5;
    m_g.closebtn = { 7770, 22, 240, 240 };

    // The bar is a little wider than the window, so the tray that follows it
    // lies just beyond the right edge in the normal layout.
    m_g.pictureBar = { 0, 285, 8115, 300 };
    m_g.frame1 = { 0, 585, kDesignWidth, 5855 };
    m_g.webBrowser1 = { 50, 50, kDesignWidth - 100, 5755 };
    m_g.image6 = { 9735, 285, 300, 300 };
    m_g.picture2 = { kDesignWidth - 340, kDesignHeight - 360, 540, 540 };

    m_g.picture1 = { 8115, 300, kNormalTrayWidth, 630 };
    m_g.image3 = { 45, 30, 240, 240 };
    m_g.label6 = { 330, 45, kTrayCaptionWidth, 225 };
    m_g.clipStatLbl = { 120, 360, 1560, 225 };

    formResize();
}

bool BrowserLayout::takeClipStatEmptied()
{
    return std::exchange(m_clipStatEmptied, false);
}

void BrowserLayout::setClockRoom(int twips)
{
    m_clockRoom = twips > kClockRoom ? twips : kClockRoom;
}

void BrowserLayout::setCaptionRoom(int twips)
{
    m_captionRoom = twips > kTrayCaptionWidth ? twips : kTrayCaptionWidth;
    m_g.label6.width = qMax(m_g.label6.width, m_captionRoom);
}

void BrowserLayout::windowMoved(int left, int top)
{
    m_g.window.left = left;
    m_g.window.top = top;
}

void BrowserLayout::windowResized(int width, int height)
{
    setWindowSize(width, height);
}

void BrowserLayout::setWindowSize(int width, int height)
{
    if (width == m_g.window.width && height == m_g.window.height)
        return;
    m_g.window.width = width;
    m_g.window.height = height;
    formResize();
    // In theatre mode the bar stays at the bottom of whatever size the window is given.
    if (m_theatre)
        placeTheatreBar();
}

void BrowserLayout::formResize()
{
    const int width = m_g.window.width;
    const int height = m_g.window.height;

    // Each step stands alone: one that would need a negative size is skipped.
    if (setSize(m_g.frame1.height, height - 580))
        setSize(m_g.webBrowser1.height, m_g.frame1.height - 100);

    if (setSize(m_g.frame1.width, width))
        setSize(m_g.webBrowser1.width, m_g.frame1.width - 100);

    m_g.picture2.top = height - 360;
    m_g.picture2.left = width - 340;

    setSize(m_g.lblbar.width, width);

    m_g.closebtn.left = width - 300;
    m_g.image5.left = m_g.closebtn.left - 300;
    m_g.image4.left = m_g.image5.left - m_g.image4.width;
    // The restore button stands in the maximize button's place while maximized.
    if (m_maximized)
        m_g.image7.left = m_g.image5.left;

    m_g.picture1.left = m_g.pictureBar.left + m_g.pictureBar.width;
}

void BrowserLayout::maximizeWindow(const TwipsRect &area)
{
    m_maximized = true;
    m_theatre = false;
    m_g.picture1.top = 0;
    m_g.window.top = area.top;
    m_g.window.left = area.left;
    setWindowSize(area.width, area.height - 400);
    if (setSize(m_g.frame1.height, m_g.window.height - 580))
        setSize(m_g.webBrowser1.height, m_g.frame1.height - 100);
    m_g.lblbar.width = m_g.window.width;
    m_clockRunning = false;
    m_clipStatEmptied = true;
    m_g.image7.left = m_g.image5.left;
    m_g.image7Shown = true;
    m_g.image5Shown = false;
}

void BrowserLayout::restoreNormalSize()
{
    m_theatre = false;
    m_g.window.left = kNormalLeft;
    m_g.window.top = kNormalTop;
    setWindowSize(kNormalWidth, kNormalHeight);
    m_g.pictureBar.top = 285;
    m_g.picture1.top = 300;
    m_g.picture1.left = 8115;
    m_g.picture1.width = kNormalTrayWidth;
    m_g.clipStatLbl.left = 120;
    m_g.clipStatLbl.top = 360;
    m_g.label6.width = m_captionRoom;
    m_g.image4.left = 7245;
    m_g.image5.left = 7485;
    m_g.image5Shown = true;
    m_g.closebtn.left = 7785;
    m_clipStatEmptied = true;
    if (setSize(m_g.frame1.height, m_g.window.height - 580))
        setSize(m_g.webBrowser1.height, m_g.frame1.height - 100);
}

void BrowserLayout::normalLayout()
{
    restoreNormalSize();
    m_g.frame1.top = 585;
    setSize(m_g.frame1.height, m_g.window.height - 600);
    m_g.pictureBar.top = 285;
    m_g.webBrowser1.height = 5745;
    m_g.picture1.top = 300;
    m_g.picture1.left = 8115;
    m_g.picture1.width = kNormalTrayWidth;
    m_g.text1.top = 5;
    m_g.text1.left = 2325;
    m_g.text1.width = 3600;
    // Back in the normal layout the window is not maximized any more, so the
    // maximize button works at the first click.
    m_maximized = false;
    m_g.image7Shown = false;
}

void BrowserLayout::theatreLayout(const TwipsRect &area)
{
    m_theatre = true;
    m_g.window.top = area.top;
    m_g.window.left = area.left;
    m_g.frame1.top = 0;
    m_g.text1.left = m_g.pictureBar.right();
    m_g.text1.width = 1600;
    m_g.clipStatLbl.top = m_g.label6.top;
    // Wider at every use, and always wide enough for the caption and the clock that share its row.
    m_g.picture1.width = qMax(m_g.picture1.width + 400, m_g.label6.left + m_captionRoom + kCaptionGap + m_clockRoom);
    m_g.clipStatLbl.left = m_g.picture1.width - m_clockRoom;
    m_g.label6.width = qBound(0, m_g.clipStatLbl.left - m_g.label6.left - kCaptionGap, m_captionRoom);
    m_g.image6Shown = true;
    m_clockRunning = true;
    if (m_g.window.width == area.width && m_g.window.height == area.height)
        placeTheatreBar();
    else
        setWindowSize(area.width, area.height);
}

void BrowserLayout::placeTheatreBar()
{
    const int barHeight = m_g.pictureBar.height;
    setSize(m_g.frame1.height, m_g.window.height - barHeight);
    setSize(m_g.webBrowser1.height, m_g.window.height - barHeight - 100);
    m_g.pictureBar.top = m_g.window.height - barHeight;
    m_g.text1.top = m_g.pictureBar.top;
    m_g.image6.top = m_g.pictureBar.top;
    m_g.picture1.top = m_g.pictureBar.top;
    m_g.picture1.left = m_g.window.width - m_g.picture1.width - 100;
}

void BrowserLayout::toggleMaximize(const TwipsRect &area)
{
    if (m_maximized)
        restoreButton();
    else
        maximizeWindow(area);
}

void BrowserLayout::restoreButton()
{
    restoreNormalSize();
    m_maximized = false;
    m_g.image7Shown = false;
    m_g.image5Shown = true;
}

void BrowserLayout::leaveTheatre()
{
    normalLayout();
    m_g.image6Shown = false;
}

void BrowserLayout::gripStep(int x, int y)
{
    if (m_g.window.height <= kGripMinimum) {
        setWindowSize(m_g.window.width, kGripJump);
        m_g.picture2.top = m_g.window.height - 225;
        return;
    }
    if (m_g.window.width <= kGripMinimum) {
        setWindowSize(kGripJump, m_g.window.height);
        m_g.picture2.left = m_g.window.width - 370;
        return;
    }
    // The grip moves with the window; the resize rule puts it back at the corner.
    const int dy = y > m_g.picture2.height / 2 ? kGripStep : -kGripStep;
    m_g.picture2.top += dy;
    setWindowSize(m_g.window.width, m_g.window.height + dy);
    const int dx = x > m_g.picture2.width / 2 ? kGripStep : -kGripStep;
    m_g.picture2.left += dx;
    setWindowSize(m_g.window.width + dx, m_g.window.height);
}
