// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/FileStamp.h"
#include "store/Database.h"
#include "store/RecordLine.h"

#include <functional>
#include <optional>

class RecordList;
class RecordTableModel;

/** What an editing command did. */
enum class EditOutcome {
    Done, ///< the record list, the grid and the active database file all changed together
    Duplicate, ///< Add: an identical record (without regard to case) is already filed
    NoChange, ///< Replace: the new line equals a filed line exactly
    Refused, ///< the texts cannot be filed (detail says why); nothing changed
    WriteFailed, ///< the file could not be written, or Level::ProgramAndDatabase has no key; nothing changed (detail
                 ///< says why)
    NothingSelected, ///< Replace or Remove without a selected record; nothing changed
    ChangedOutside, ///< another program changed the records in the file since they were read; nothing written
};

struct [[nodiscard]] EditResult
{
    EditOutcome outcome = EditOutcome::Done;
    QString detail;
    int row = -1; ///< the record's row after Add or Replace
    /** Done, but the file's folder could not be synced: the change is kept everywhere, the user is warned. */
    QString warning;
};

/**
 * Add, Replace and Remove on the record list, the grid's model and the
 * database file together. The file is written first; the list and the
 * model change only when the write succeeded, so the three always agree.
 * The key provider is asked once per command, and only at Level::ProgramAndDatabase.
 *
 * Once told that the records were read (fileRead), the editor never writes
 * blindly over a change another program made to the file since: when the
 * file is no longer the one it read or wrote last and its records differ
 * from the list, the command writes nothing and says ChangedOutside.
 */
class RecordEditor
{
public:
    RecordEditor(RecordTableModel &model, Database &database);

    /** AddRecord: files texts as a new record dated now. */
    EditResult add(Level level, const RecordLine::Texts &texts, const KeyProvider &key);
    /** Replace: the record in row (-1 for none) gets texts and a new date. */
    EditResult replace(Level level, int row, const RecordLine::Texts &texts, const KeyProvider &key);
    /** Remove: the record in row (-1 for none) is deleted. */
    EditResult remove(Level level, int row, const KeyProvider &key);
    /**
     * Import: the plain record lines, which must be storable at level, join
     * the records in their places with one rewrite of the database file.
     */
    EditResult importLines(Level level, const QStringList &lines, const KeyProvider &key);

    /** The records of the active file of level were just read into the list: remember what the file looks like. */
    void fileRead(Level level);
    /** Whether the active file of level is no longer the one last read or written (false before any fileRead). */
    bool fileChanged(Level level) const;

private:
    /**
     * The records as change leaves them, written whole once the level's key is there and the file holds
     * no change from outside; apply then gives the model the same change. Nothing changes on failure.
     */
    EditResult rewrite(Level level, const KeyProvider &key, const std::function<void(RecordList &)> &change,
        const std::function<void(const RecordList &)> &apply);
    std::optional<EditResult> changedOutside(Level level, const QString &key);
    /** Files line, which prepared holds in its file form: appended, or with every record when the file went away. */
    FileResult append(Level level, const QString &line, const FileLine &prepared, const QString &key);
    void fileWritten(Level level);

    RecordTableModel &m_model;
    Database &m_database;
    /** The active file as last read or written; none until the first read. */
    std::optional<FileStamp> m_seen;
};
