// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "mainwindow/FieldControls.h"

#include <QColor>
#include <QObject>

#include <array>

class ClickLabel;
class QAction;
class QFrame;
class QLabel;
class QMainWindow;
class QTableView;

/**
 * The toolbar's look and its buttons that lead out of the window: the raised
 * frame drawn round the button under the mouse (sunken while it is pressed),
 * the underline under the field label under the mouse, the help page, our
 * web page and Quit.
 */
class ToolbarHover : public QObject
{
    Q_OBJECT

public:
    /** The hover underline: Line2(0) dark blue, Line2(1) white. */
    static inline const QColor kUnderlineColour { 0, 0, 192 };
    static inline const QColor kWhite { 255, 255, 255 };

    /** What of the main window the toolbar's look uses. */
    struct Controls
    {
        QMainWindow *window;
        QFrame *Frame3;
        std::array<ClickLabel *, 9> Image1;
        std::array<QFrame *, 4> Line1;
        FieldControls fields;
        std::array<QFrame *, 2> Line2;
        QTableView *Grid1;
        QAction *mnuHelp;
    };

    explicit ToolbarHover(const Controls &controls);

    /** Draws the raised frame round toolbar button n. */
    void DrawButtonFrame(int n);
    /** The pressed look: the frame's colours swapped, its place kept. */
    void Image1_MouseDown(int n);
    void hideButtonFrame();

    /** Underlines label, from its left edge to just past the "Password" label's right edge. */
    void Label_MouseMove(QLabel *label);
    void hideUnderline();

    /** "&Contents" and the Help button: the desktop opens help.html beside the program. */
    void mnuHelp_Click();
    /** The web button: the desktop opens our web page. */
    void webPage_Click();

    /** The system's button-shadow colour. */
    QColor buttonShadow() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void colourFrame(const QColor &topLeft, const QColor &bottomRight);

    Controls m_ui;
};
