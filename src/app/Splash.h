// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class ClickLabel;
class QLabel;
class QTimer;

/**
 * The splash window: the logo, the product's name and version and the
 * makers. At start it hands over to the main window after four seconds or
 * at a click on its background; as the About box it stays until the user
 * closes it.
 */
class Splash : public QWidget
{
    Q_OBJECT

public:
    explicit Splash(QWidget *parent = nullptr);

    /** Shows the window as the About box: "Close this window" visible and no hand-over. */
    void showAsAbout();

Q_SIGNALS:
    /** Time to show the main window (it is shown again harmlessly if it already is). */
    void handOver();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void nameControls();
    void paintBackground();
    void placeTitle();
    void placeLinks();
    void connectHandlers();
    void Form_Load();
    void Timer1_Timer();
    void lblWeb_Click();
    void Label5_Click();

    QLabel *Image1; ///< the logo
    QLabel *lblProduct; ///< "Corvane"
    QLabel *lblVersion; ///< "v1.0 - 05/2002"
    QLabel *lblRelease; ///< the program's version ("Version 1.0.0"), shown in the About box only
    QLabel *Label1; ///< first title line (language table entry 1)
    QLabel *Label2; ///< second title line (entry 2)
    QLabel *Label3; ///< the makers (entry 0)
    QLabel *Label4; ///< the credit line (entry 4, followed by the version and the makers)
    ClickLabel *Label5; ///< "Close this window", shown in the About box only
    ClickLabel *lblWeb; ///< our web page
    ClickLabel *imgWeb; ///< the web page's picture
    QTimer *Timer1;
    bool m_handedOver = false;
};
