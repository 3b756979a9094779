// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "mainwindow/EditBoxes.h"
#include "store/RecordLine.h"

#include <QHash>
#include <QObject>

#include <array>

class QAction;
class QKeyEvent;
class QPoint;
class QWidget;
class RecordCommands;

/**
 * What the five edit boxes do on their own: the keys that move between
 * them, file a record or end the program, and the tooltips that repeat
 * their text. ("&Auto Complete" is a checkable entry that flips itself.)
 *
 * A key counts on its release only when its press went to the same box:
 * the release of an Escape or an Enter that closed a message box or a menu
 * is not a command of the box it lands in.
 */
class EditBoxRules : public QObject
{
    Q_OBJECT

public:
    /** What of the main window the rules use. */
    struct Controls
    {
        QWidget *window; ///< hidden by Escape
        EditBoxes boxes;
        QAction *mnuCapture;
    };

    /** Enter in the Password box files a record through commands. */
    EditBoxRules(const Controls &controls, RecordCommands &commands);

    /**
     * The key rules for the release of key in box index. altWithKey: the key's press came with
     * Alt, held with it or released alone before it, and was taken as a move of the focus.
     */
    void Text1_KeyUp(RecordLine::Field index, int key, bool altWithKey = false);
    void Text1_MouseMove(RecordLine::Field index);

    /**
     * The keyboard has gone to another window: the keys pressed in the boxes and not released yet are
     * forgotten, so their releases, wherever they land, are no commands of the boxes.
     */
    void forgetPressedKeys();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    /** A press of Alt alone is the box's, not the menu bar's: true when key is one. */
    static bool claimsAlt(QKeyEvent *key);
    /** Notes the press of key in box index; true when it moves the focus and so types nothing. */
    bool keyPressed(RecordLine::Field index, const QKeyEvent *key);
    /** Runs the key rules for the release of a key whose press went to box index. */
    void keyReleased(RecordLine::Field index, const QKeyEvent *key);
    /** Shows the Password box's text as its tip at the global point at, for as long as the tip shows. */
    void showPasswordTip(const QPoint &at);
    /** A box's text as a tooltip shows it. */
    static QString tipText(const QString &text);
    /** Whether the press of key is a focus move rather than text: a letter of the table after Alt or with Alt held. */
    bool movesFocus(const QKeyEvent *key) const;

    Controls m_ui;
    RecordCommands &m_commands;
    /** The keys pressed in each box and not released yet, each with whether its press moves the focus. */
    std::array<QHash<int, bool>, RecordLine::kTypedFieldCount> m_pressed;
    /** 1 while the last key released in a box was Alt. */
    int AltReleased = 0;
    /** No other key was pressed while Alt was down. */
    bool m_altAlone = false;
};
