// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class mainScr;
class QKeyEvent;

/**
 * What the five edit boxes do on their own: the keys that move between
 * them, file a record or end the program, and the tooltips that repeat
 * their text. ("&Auto Complete" is a checkable entry that flips itself.)
 */
class EditBoxRules : public QObject
{
    Q_OBJECT

public:
    explicit EditBoxRules(mainScr &window);

    /** AltReleased: 1 while the last key released in a box was Alt. */
    int AltReleased = 0;

    void Text1_KeyUp(int index, int key);
    void Text1_MouseMove(int index);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    mainScr &m_window;
};
