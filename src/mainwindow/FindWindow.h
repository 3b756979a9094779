// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;

/**
 * The Find window (objectName "Find"): one text box, FindText, and a line
 * under it, FindStatus, that says when no record holds the text. It is a
 * modeless window of the main window, which it stays beside. Return and F3
 * ask for the next record that holds the text, Shift+F3 for the one before;
 * Escape closes the window. What is found is the commands' business.
 */
class FindWindow : public QDialog
{
    Q_OBJECT

public:
    explicit FindWindow(QWidget *mainWindow);

    QLineEdit *FindText = nullptr;
    QLabel *FindStatus = nullptr;

    /** Shows the window with the focus in its box and the box's text selected, beside the main window the first time.
     */
    void showWithFocus();

Q_SIGNALS:
    void findNext();
    void findPrevious();

private:
    /** Right of the main window where the screen has room, else left of it, else over its toolbar. */
    void placeBesideMainWindow();

    bool m_placed = false;
};
