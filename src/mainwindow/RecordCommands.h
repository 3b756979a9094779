// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "mainwindow/EditBoxes.h"
#include "store/RecordEditor.h"
#include "store/RecordLine.h"

#include <QObject>

#include <array>
#include <functional>

class ClickLabel;
class QAction;
class QCheckBox;
class QTableView;
class QWidget;
struct OwnerState;

/**
 * The Edit menu's record commands and the toolbar buttons that lead to
 * them: Add, Replace, Remove, Undo and Reset, the selected record, and the
 * rules that enable the commands.
 */
class RecordCommands : public QObject
{
    Q_OBJECT

public:
    /** What of the main window the commands use. */
    struct Controls
    {
        QWidget *window; ///< its caption and the parent of its messages
        EditBoxes boxes;
        QCheckBox *Check1;
        QTableView *Grid1;
        ClickLabel *addButton; ///< Image1(0)
        ClickLabel *replaceButton; ///< Image1(1)
        ClickLabel *trashButton; ///< Image1(2)
        ClickLabel *resetButton; ///< Image1(3)
        QAction *mnuAdd;
        QAction *mnuReplace;
        QAction *mnuRemove;
        QAction *mnuUndo;
        QAction *mnuReset;
        QAction *mnuCapture;
    };

    /**
     * owner gives the level in force and the database key; reloadRecords reads the database again into the
     * grid, false when it cannot be read.
     */
    RecordCommands(
        const Controls &controls, RecordEditor &editor, OwnerState &owner, std::function<bool()> reloadRecords);

    void AddRecord();
    void mnuAdd_Click() { AddRecord(); }
    void mnuReplace_Click();
    void mnuRemove_Click();
    void mnuUndo_Click();
    void mnuReset_Click();

    /** The grid row of the record the user selected (the one whose date the caption shows); -1 for none. */
    int selectedRow() const { return m_selectedRow; }
    /** Makes row the selected record (the grid's record selection). */
    void select(int row);
    /** Nothing is selected any more. */
    void deselect();

    /** Enables Add, Replace and Remove (menu entries and toolbar buttons) from the boxes and the selection. */
    void updateEnabling();

    /**
     * Files the plain record lines of an import with one write of the database; false, after telling the
     * user why, when it could not (the records are then as they were).
     */
    bool importRecords(const QStringList &lines);
    /** Whether the database must not be written now; the user is told why. */
    bool writesRefused() { return blocked(); }

    /** Protects the database files: when set, no command writes them (they could not be read). */
    void setWritesBlocked(const QString &reason) { m_writesBlocked = reason; }
    /** Why no command writes the database files; empty while they may. */
    QString writesBlocked() const { return m_writesBlocked; }

    /** Forgets every record text the commands hold: the boxes and their tooltips, the undo fields, the selection. */
    void forget();

    /** Called with a stop function that ends capture mode's copy; Reset uses it. */
    void setCaptureStop(std::function<void()> stop) { m_stopCapture = std::move(stop); }

private:
    RecordLine::Texts boxes() const;
    /** Shows what went wrong, if anything; true when the command changed the records. */
    bool succeeded(const EditResult &result);
    void saveUndoFields();
    void emptyBoxes();
    /** Scrolls the grid until row is wholly in view. */
    void showRow(int row);
    void showRefused(const QString &why);
    void showDiskError(const QString &detail);
    void showChangedOutside();
    bool blocked();

    Controls m_ui;
    /** The five boxes as the last Remove or Replace found them. */
    std::array<QString, RecordLine::kFieldCount> UndoFields;
    RecordEditor &m_editor;
    OwnerState &m_owner;
    std::function<bool()> m_reloadRecords;
    int m_selectedRow = -1;
    QString m_writesBlocked;
    std::function<void()> m_stopCapture;
};
