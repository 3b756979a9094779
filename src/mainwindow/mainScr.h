// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "mainwindow/mainScrControls.h"
#include "security/OwnerState.h"
#include "store/Database.h"
#include "store/RecordEditor.h"
#include "store/RecordFinder.h"
#include "store/RecordTableModel.h"

#include <QMainWindow>

class ClipboardCommands;
class DisplayModes;
class EditBoxRules;
class FindCommands;
class ImportExportCommands;
class LockCommands;
class RecordCommands;
class ToolbarHover;
class WindowCommands;
class WindowFrame;

/**
 * The main window: the toolbar, the clipboard panel, the edit boxes and the
 * record grid. It owns the record list (through the grid's model), the
 * database files and the values it shares with the security windows.
 * Its work is done by the command classes it owns; this class lays the
 * window out, runs its load and keeps its geometry rules.
 */
class mainScr : public QMainWindow
{
    Q_OBJECT

public:
    explicit mainScr(QWidget *parent = nullptr);
    ~mainScr() override;

    /** The window's load, in its order; run once before the window is first shown. */
    void Form_Load();

    RecordTableModel &records() { return m_records; }
    Database &database() { return m_database; }
    RecordCommands &commands() { return *m_commands; }
    ClipboardCommands &clipboard() { return *m_clipboard; }
    DisplayModes &modes() { return *m_modes; }
    LockCommands &lock() { return *m_lock; }
    FindCommands &find() { return *m_find; }
    /** The protection level in force. */
    Level level() const;
    /** Whether an owner password is in force (typed by the owner, or read at start without asking). */
    bool hasOwnerPassword() const { return !m_owner.GoodPass.isEmpty(); }
    /** The height, in twips, the window returns to when it is not collapsed (NormalHeight). */
    int normalHeight() const { return NormalHeight; }

    /** The window's outer size in twips, frame included where a window manager draws one. */
    int outerWidth() const;
    int outerHeight() const;
    /** Sets the outer height in twips, keeping the width and the position. */
    void setOuterHeight(int twips);
    void setOuterSize(int widthTwips, int heightTwips);

    /**
     * Brings Corvane to the front, as a second start asks: the main window, shown, raised and
     * activated; while Corvane is locked, "Owner Authentication" instead, the main window staying
     * hidden.
     */
    void bringToFront();

Q_SIGNALS:
    /** "A&bout" was chosen: the splash window shows itself as the About box. */
    void aboutRequested();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    /** The least room left under the grid inside the window, in twips. */
    static constexpr int kGridBottomMargin = 60;

    /**
     * Reads the active database again into the record list and the grid (after a restore, or a change
     * by another program), in memory. When it cannot be read, the user is told, the grid is emptied and
     * no command writes the file; false then.
     */
    bool reloadRecords();

    /** Locking: the records leave memory, the boxes and the clipboard status are emptied. */
    void dropRecords();
    /** Unlocking: the records read again; writes held back before the lock stay held back. */
    void reloadAfterLock();

    /** "E&xit" and the Quit button: writes the preferences, then ends the program. */
    void mnuExit_Click();
    /** Makes the commands, each given the controls and values it works on. */
    void createCommands();
    void createRecordCommands();
    void createWindowCommands();
    void createClipboardCommands();
    void createLookCommands();
    void createLockAndFind();
    /** The database key for the store: GoodPass, read from the owner password file when empty. */
    QString databaseKey() const;
    /**
     * Level::ProgramAndDatabase with no owner password (the no-password mark): nothing is deciphered, so the grid is
     * empty with nothing to say, and every write fails for want of a key, which leaves the enciphered file as it is.
     */
    bool withoutKey() const;
    /** Sets the widths of the grid's columns (twips). */
    void SetColumnWidths();
    /** Reads the records of the active database at start into the grid; warnings gets what the user is still told. */
    void loadRecords(FileResult &warnings);
    void readRecords(FileResult &warnings);
    void showRecords(const LoadResult &loaded);
    /** Tells what settling the database files at start found; a failure keeps the records from being written. */
    void showSettled(const FileResult &settled);
    void applyResizeRules();
    /** The grid's height in twips for an outer window height H. */
    int gridHeight(int H) const;
    void Grid1_MouseUp(const QModelIndex &index);
    /** Selects the record of row as a click on its row does, and scrolls the grid to it (Find, type-ahead). */
    void selectRecord(int row);
    void Check1_Click();
    void mnuShowPass_Click();
    void applyLanguage();

    mainScrControls m_ui;
    /** Reach (protection level), GoodPass (owner password, the database key) and auth. */
    OwnerState m_owner;
    /** The height, in twips, the window returns to when it is not collapsed. */
    int NormalHeight = 0;

    Database m_database;
    RecordTableModel m_records;
    RecordFinder m_finder { m_records };
    RecordEditor m_editor;
    RecordCommands *m_commands = nullptr;
    EditBoxRules *m_boxRules = nullptr;
    WindowCommands *m_windows = nullptr;
    ImportExportCommands *m_transfers = nullptr;
    ClipboardCommands *m_clipboard = nullptr;
    DisplayModes *m_modes = nullptr;
    ToolbarHover *m_toolbar = nullptr;
    LockCommands *m_lock = nullptr;
    FindCommands *m_find = nullptr;
    /** The outer sizes, frame included. */
    WindowFrame *m_frame = nullptr;
    /** At Level::ProgramAndDatabase: whether the start-up check could decipher the database into the temporary file. */
    bool m_decipheredAtLoad = false;
};
