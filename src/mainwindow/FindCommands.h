// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/RecordFinder.h"

#include <QObject>
#include <QPointer>

#include <functional>

class EditBoxRules;
class FindWindow;
class QAction;
class RecordCommands;

/**
 * "&Find..." and its window. As the user types, the first record from the
 * row after the selected one (round the end) that holds the text in its
 * Service, Path, Username or Info is selected as a click on its row selects
 * it; Return and F3 go on to the next such record, Shift+F3 back to the one
 * before. Nothing else changes: no record, file or clipboard, nor the grid's
 * order.
 */
class FindCommands : public QObject
{
    Q_OBJECT

public:
    /** What of the main window the commands use. */
    struct Controls
    {
        QWidget *window; ///< the Find window's parent
        QAction *mnuFind;
    };

    /**
     * commands tell which record is selected; selectRow selects the record of a row as a click on the row does
     * and scrolls it into view; boxRules forget the keys pressed in the boxes when the Find window takes the
     * keyboard.
     */
    FindCommands(const Controls &controls, const RecordFinder &finder, const RecordCommands &commands,
        EditBoxRules &boxRules, std::function<void(int)> selectRow);

    void mnuFind_Click();
    /** The captions of the main window's language: run when the main window takes its captions from the table. */
    void applyLanguage();
    /** Closes the Find window, if it is open (the main window is hidden). */
    void closeWindow();
    /** Deletes the Find window with the text typed into it (Corvane locks); "&Find..." makes it anew. */
    void forget();
    /** The Find window; nullptr until "&Find..." first opens it. */
    FindWindow *window() const;

private:
    void FindText_Change(const QString &text);
    /** The next (Forward) or previous (Backward) record that holds the text, from the selected one. */
    void step(RecordFinder::Direction direction);
    /** Selects the record found in row, or says that none was (row -1). */
    void showFound(int row);

    Controls m_ui;
    const RecordFinder &m_finder;
    const RecordCommands &m_commands;
    EditBoxRules &m_boxRules;
    std::function<void(int)> m_selectRow;
    QPointer<FindWindow> m_window;
    /** The row the last search selected; typing more searches again from m_from while it stays selected. */
    int m_foundRow = -1;
    int m_from = 0;
    QString m_title;
    QString m_hint;
    QString m_notFound;
};
