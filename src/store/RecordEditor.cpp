// SPDX-License-Identifier: GPL-3.0-or-later
#include "RecordEditor.h"

#include "RecordTableModel.h"

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

/** The key of level 1, asked for once; nullopt (with the failure) when there is none. */
std::optional<QString> keyFor(int level, const KeyProvider &key, EditResult &failed)
{
    if (level != 1)
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
 * is there and the line can be stored under it. nullopt (with the key in key) when all pass.
 */
std::optional<EditResult> refusal(const Database &database, int level, const RecordLine::Texts &texts,
    const QString &line, const KeyProvider &provider, QString &key)
{
    if (const std::optional<QString> why = RecordLine::checkFileable(texts))
        return outcome(EditOutcome::Refused, *why);
    EditResult failed;
    const std::optional<QString> k = keyFor(level, provider, failed);
    if (!k)
        return failed;
    if (const FileResult storable = database.checkStorable(level, line, *k); !storable)
        return outcome(EditOutcome::Refused, storable.error);
    key = *k;
    return std::nullopt;
}

} // namespace

RecordEditor::RecordEditor(RecordTableModel &model, Database &database)
    : m_model(model)
    , m_database(database)
{ }

EditResult RecordEditor::add(int level, const RecordLine::Texts &texts, const KeyProvider &key)
{
    const QString line = RecordLine::BuildRecordLine(texts);
    if (m_model.List1().containsIgnoringCase(line))
        return outcome(EditOutcome::Duplicate);
    QString keyText;
    if (const std::optional<EditResult> refused = refusal(m_database, level, texts, line, key, keyText))
        return *refused;

    const FileResult written = m_database.appendRecord(level, line, [keyText] { return keyText; });
    if (!written)
        return outcome(EditOutcome::WriteFailed, written.error);
    return done(written, m_model.insertLine(line));
}

EditResult RecordEditor::replace(int level, int row, const RecordLine::Texts &texts, const KeyProvider &key)
{
    const RecordList &list = m_model.List1();
    if (row < 0 || row >= list.count())
        return outcome(EditOutcome::NothingSelected);
    const QString line = RecordLine::BuildRecordLine(texts);
    if (list.containsExactly(line))
        return outcome(EditOutcome::NoChange);
    QString keyText;
    if (const std::optional<EditResult> refused = refusal(m_database, level, texts, line, key, keyText))
        return *refused;

    RecordList changed = list;
    changed.replace(row, line);
    const FileResult written = m_database.RewriteDatabase(level, changed.items(), [keyText] { return keyText; });
    if (!written)
        return outcome(EditOutcome::WriteFailed, written.error);
    return done(written, m_model.replaceLine(row, line));
}

EditResult RecordEditor::remove(int level, int row, const KeyProvider &key)
{
    const RecordList &list = m_model.List1();
    if (row < 0 || row >= list.count())
        return outcome(EditOutcome::NothingSelected);

    EditResult failed;
    const std::optional<QString> k = keyFor(level, key, failed);
    if (!k)
        return failed;

    RecordList changed = list;
    changed.removeAt(row);
    const QString keyText = *k;
    const FileResult written = m_database.RewriteDatabase(level, changed.items(), [keyText] { return keyText; });
    if (!written)
        return outcome(EditOutcome::WriteFailed, written.error);
    m_model.removeLine(row);
    return done(written);
}
