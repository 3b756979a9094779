// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/RecordEditor.h"

#include "store/RecordTableModel.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {
EditResult outcome(EditOutcome what, QString detail = {}, int row = -1)
{
    return { what, std::move(detail), row, {} };
}

/** A change the file holds: the list and the grid take it too, with the write's warning, if any. */
EditResult done(const FileResult &written, int row = -1)
{
    EditResult result = outcome(EditOutcome::Done, {}, row);
    result.warning = written.warning;
    return result;
}

/** The key of Level::ProgramAndDatabase, asked for once; nullopt (with the failure) when there is none. */
std::optional<QString> keyFor(Level level, const KeyProvider &key, EditResult &failed)
{
    if (!enciphers(level))
        return QString();
    const QString k = key ? key() : QString();
    if (k.isEmpty()) {
        failed = outcome(EditOutcome::WriteFailed, u"There is no owner password to encipher the database with."_s);
        return std::nullopt;
    }
    return k;
}

/**
 * The checks of a new line before anything is written: the texts can be filed, the level's key
 * is there and the line can be stored under it. nullopt (with the key in key and the line as the
 * file will hold it in prepared) when all pass.
 */
std::optional<EditResult> refusal(const Database &database, Level level, const RecordLine::Texts &texts,
    const QString &line, const KeyProvider &provider, QString &key, FileLine &prepared)
{
    if (const std::optional<QString> why = RecordLine::checkFileable(texts))
        return outcome(EditOutcome::Refused, *why);
    EditResult failed;
    const std::optional<QString> k = keyFor(level, provider, failed);
    if (!k)
        return failed;
    if (const FileResult storable = database.prepareLine(level, line, *k, prepared); !storable)
        return outcome(EditOutcome::Refused, storable.error);
    key = *k;
    return std::nullopt;
}

/** Whether lines hold the same records as list, whatever their order. */
bool sameRecords(const QStringList &lines, const RecordList &list)
{
    if (lines.size() != list.count())
        return false;
    RecordList other;
    other.assign(lines);
    return other == list;
}

const QString kChangedOutside = u"The database file was changed by another program since Corvane read it."_s;
} // namespace

RecordEditor::RecordEditor(RecordTableModel &model, Database &database)
    : m_model(model)
    , m_database(database)
{ }

EditResult RecordEditor::add(Level level, const RecordLine::Texts &texts, const KeyProvider &key)
{
    const QString line = RecordLine::BuildRecordLine(texts);
    if (m_model.List1().containsIgnoringCase(line))
        return outcome(EditOutcome::Duplicate);
    QString keyText;
    FileLine prepared;
    if (const std::optional<EditResult> refused = refusal(m_database, level, texts, line, key, keyText, prepared))
        return *refused;

    if (const std::optional<EditResult> changed = changedOutside(level, keyText))
        return *changed;
    const FileResult written = append(level, line, prepared, keyText);
    if (!written)
        return outcome(EditOutcome::WriteFailed, written.error);
    fileWritten(level);
    return done(written, m_model.insertLine(line));
}

EditResult RecordEditor::replace(Level level, int row, const RecordLine::Texts &texts, const KeyProvider &key)
{
    const RecordList &list = m_model.List1();
    if (row < 0 || row >= list.count())
        return outcome(EditOutcome::NothingSelected);
    const QString line = RecordLine::BuildRecordLine(texts);
    if (list.containsExactly(line))
        return outcome(EditOutcome::NoChange);
    QString keyText;
    FileLine prepared; // the rewrite puts every line in its file form again
    if (const std::optional<EditResult> refused = refusal(m_database, level, texts, line, key, keyText, prepared))
        return *refused;

    if (const std::optional<EditResult> changed = changedOutside(level, keyText))
        return *changed;

    RecordList changed = list;
    changed.replace(row, line);
    const FileResult written = m_database.RewriteDatabase(level, changed.items(), keyText);
    if (!written)
        return outcome(EditOutcome::WriteFailed, written.error);
    fileWritten(level);
    return done(written, m_model.replaceLine(row, line));
}

EditResult RecordEditor::remove(Level level, int row, const KeyProvider &key)
{
    if (row < 0 || row >= m_model.List1().count())
        return outcome(EditOutcome::NothingSelected);
    return rewrite(
        level, key, [row](RecordList &records) { records.removeAt(row); },
        [this, row](const RecordList &) { m_model.removeLine(row); });
}

EditResult RecordEditor::importLines(Level level, const QStringList &lines, const KeyProvider &key)
{
    return rewrite(
        level, key, [&lines](RecordList &records) { records.insertAll(lines); },
        [this](const RecordList &records) { m_model.setLines(records.items()); });
}

EditResult RecordEditor::rewrite(Level level, const KeyProvider &key, const std::function<void(RecordList &)> &change,
    const std::function<void(const RecordList &)> &apply)
{
    EditResult failed;
    const std::optional<QString> k = keyFor(level, key, failed);
    if (!k)
        return failed;

    const QString keyText = *k;
    if (const std::optional<EditResult> changed = changedOutside(level, keyText))
        return *changed;

    RecordList records = m_model.List1();
    change(records);
    const FileResult written = m_database.RewriteDatabase(level, records.items(), keyText);
    if (!written)
        return outcome(EditOutcome::WriteFailed, written.error);
    fileWritten(level);
    apply(records);
    return done(written);
}

void RecordEditor::fileRead(Level level)
{
    m_seen = FileStamp::of(m_database.activeFile(level));
}

bool RecordEditor::fileChanged(Level level) const
{
    return m_seen && FileStamp::of(m_database.activeFile(level)) != *m_seen;
}

void RecordEditor::fileWritten(Level level)
{
    if (m_seen)
        m_seen = FileStamp::of(m_database.activeFile(level));
}

std::optional<EditResult> RecordEditor::changedOutside(Level level, const QString &key)
{
    if (!fileChanged(level))
        return std::nullopt;
    const FileStamp now = FileStamp::of(m_database.activeFile(level));
    // A file that went away leaves the list as the only copy of the records: the write puts them back.
    if (!now.exists)
        return std::nullopt;
    // Not every new stamp is a new content: a sync tool may have written the same bytes, and Corvane's
    // own security settings convert the file when the protection changes. Only other records count.
    const LoadResult onDisk = m_database.readActive(level, key);
    if (onDisk.status && sameRecords(onDisk.lines, m_model.List1())) {
        m_seen = now;
        return std::nullopt;
    }
    return outcome(EditOutcome::ChangedOutside, onDisk.status ? kChangedOutside : onDisk.status.error);
}

FileResult RecordEditor::append(Level level, const QString &line, const FileLine &prepared, const QString &key)
{
    // Appended to a file that went away, the new record would be all it holds: write every record.
    if (m_model.List1().count() > 0 && !QFileInfo::exists(m_database.activeFile(level))) {
        RecordList all = m_model.List1();
        all.insert(line);
        return m_database.RewriteDatabase(level, all.items(), key);
    }
    return m_database.appendPrepared(prepared);
}
