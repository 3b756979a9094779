// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Database.h"
#include "RecordLine.h"

class RecordTableModel;

/** What an editing command did. */
enum class EditOutcome {
    Done, ///< the record list, the grid and the active database file all changed together
    Duplicate, ///< Add: an identical record (without regard to case) is already filed
    NoChange, ///< Replace: the new line equals a filed line exactly
    Refused, ///< the texts cannot be filed (detail says why); nothing changed
    WriteFailed, ///< the file could not be written, or level 1 has no key; nothing changed (detail says why)
    NothingSelected, ///< Replace or Remove without a selected record; nothing changed
};

struct EditResult
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
 * The key provider is asked once per command, and only at level 1.
 */
class RecordEditor
{
public:
    RecordEditor(RecordTableModel &model, Database &database);

    /** AddRecord: files texts as a new record dated now. */
    EditResult add(int level, const RecordLine::Texts &texts, const KeyProvider &key);
    /** Replace: the record in row (-1 for none) gets texts and a new date. */
    EditResult replace(int level, int row, const RecordLine::Texts &texts, const KeyProvider &key);
    /** Remove: the record in row (-1 for none) is deleted. */
    EditResult remove(int level, int row, const KeyProvider &key);

private:
    RecordTableModel &m_model;
    Database &m_database;
};
