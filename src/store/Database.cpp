// SPDX-License-Identifier: GPL-3.0-or-later
// Reading and writing the records: the active file of a level, whole or one line at a time.
#include "store/Database.h"

#include "common/AppFolders.h"
#include "common/SafeFile.h"
#include "common/TextLines.h"
#include "store/LineCipher.h"
#include "store/RecordFileForm.h"

#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;
using namespace RecordFileForm;

namespace {
/**
 * Appends one ended line to the file at path. A file whose last line has no
 * CR LF (edited by hand, or brought from elsewhere) gets one first, so the
 * new record does not run on into that last one; an extra line end costs
 * nothing, since empty lines are skipped on loading.
 */
FileResult appendLine(const QString &path, QByteArray endedLine)
{
    if (const FileResult folder = ensureFolderOf(path); !folder)
        return folder;
    QFile file(path);
    if (file.open(QIODevice::ReadOnly) && file.size() > 0) {
        const qint64 size = file.size();
        const bool ended = size >= 2 && file.seek(size - 2) && file.read(2) == QByteArrayView(TextLines::kLineEnd);
        if (!ended)
            endedLine.prepend(TextLines::kLineEnd, 2);
    }
    file.close();
    return SafeFile::append(path, endedLine);
}
} // namespace

DatabaseFiles DatabaseFiles::standard()
{
    return { AppFolders::plainDatabase(), AppFolders::encryptedDatabase(), AppFolders::temporaryDatabase() };
}

Database::Database(DatabaseFiles files)
    : m_files(std::move(files))
{ }

LoadResult Database::LoadDatabase(Level level) const
{
    LoadResult result;
    const QString &source = enciphers(level) ? m_files.temporary : m_files.plain;
    if (source.isEmpty()) {
        result.status = FileResult::failure(kNoTemporary);
        return result;
    }
    // mdb.tmp holds field-enciphered lines only, as the plain file does.
    return readRecords(source, FileKind::Plain);
}

LoadResult Database::readRecords(const QString &path, FileKind kind, const QString &key)
{
    LoadResult result;
    FileContent file = readFile(path);
    if (!file.bytes) {
        if (!file.missing)
            result.status = file.status;
        return result;
    }
    if (kind == FileKind::Plain) {
        result.lines = recordLines(std::move(*file.bytes));
        return result;
    }
    const std::optional<QByteArray> k = keyBytes(key, result.status);
    QByteArray out;
    if (k)
        result.status = deciphered(*file.bytes, *k, out, path);
    if (!result.status) {
        result.wrongKey = true;
        // An empty key, or one the code page cannot hold, cannot be the key of any file either.
        if (!k)
            result.status = FileResult::failure(wrongKey(path));
        return result;
    }
    result.lines = recordLines(std::move(out));
    return result;
}

LoadResult Database::readActive(Level level, const QString &key) const
{
    return enciphers(level) ? readRecords(m_files.encrypted, FileKind::Enciphered, key)
                            : readRecords(m_files.plain, FileKind::Plain);
}

QString Database::activeFile(Level level) const
{
    return enciphers(level) ? m_files.encrypted : m_files.plain;
}

FileResult Database::appendRecord(Level level, const QString &line, const QString &key)
{
    FileResult why;
    // Enciphered, a missing key is what a new record meets first.
    if (enciphers(level) && !keyBytes(key, why))
        return why;
    FileLine prepared;
    if (const FileResult made = prepareLine(level, line, key, prepared); !made)
        return made;
    return appendPrepared(prepared);
}

FileResult Database::appendPrepared(const FileLine &line)
{
    return appendLine(line.enciphered ? m_files.encrypted : m_files.plain, TextLines::terminated(line.bytes));
}

FileResult Database::AppendToEncryptedDB(const QString &line, const QString &key)
{
    FileResult why;
    const std::optional<QByteArray> k = keyBytes(key, why);
    if (!k)
        return why;
    QByteArray bytes;
    if (const FileResult encoded = appendEncoded(bytes, line); !encoded)
        return encoded;
    QByteArray out = LineCipher(bytes, *k);
    if (!storable(out))
        return FileResult::failure(cipherLineBreak(-1));
    out.append(TextLines::kLineEnd, 2);
    return appendLine(m_files.encrypted, std::move(out));
}

FileResult Database::RewriteDatabase(Level level, const QStringList &lines, const QString &key)
{
    if (enciphers(level)) {
        FileResult why;
        if (!keyBytes(key, why))
            return why; // before mdb.tmp exists
        if (m_files.temporary.isEmpty())
            return FileResult::failure(kNoTemporary);
    }

    QByteArray content;
    if (const FileResult encoded = fileContent(lines, content); !encoded)
        return encoded;
    if (!enciphers(level))
        return writeWholeFile(m_files.plain, content);
    return rewriteThroughTemporary(content, key);
}

FileResult Database::rewriteThroughTemporary(QByteArrayView content, const QString &key)
{
    if (const FileResult stale = SafeFile::remove(m_files.temporary); !stale)
        return stale;
    const FileResult written = SafeFile::createNew(m_files.temporary, content);
    if (!written) {
        // createNew removes what it made; a file raced into its place is not ours to keep either. The write's
        // own failure is what the caller reports; a copy that cannot be removed now goes at the next start.
        static_cast<void>(removeTemporary());
        return written;
    }
    FileResult enciphered = EncryptTempToDB(key);
    const FileResult removed = removeTemporary();
    // Once the enciphered file is in place the rewrite has happened; a copy left behind is removed at the next start.
    if (!enciphered)
        return enciphered;
    enciphered.addWarning(written);
    return enciphered.addWarning(removed ? removed : FileResult::warned(removed.error));
}

FileResult Database::EncryptTempToDB(const QString &key)
{
    FileResult why;
    const std::optional<QByteArray> k = keyBytes(key, why);
    if (!k)
        return why;
    if (m_files.temporary.isEmpty())
        return FileResult::failure(kNoTemporary);
    const std::optional<QByteArray> temp = contentOf(m_files.temporary, why);
    if (!temp)
        return why;
    QByteArray out;
    if (const FileResult built = lineCiphered(*temp, *k, out); !built)
        return built;
    return writeWholeFile(m_files.encrypted, out);
}

FileResult Database::DecryptDBToTemp(const QString &key)
{
    if (m_files.temporary.isEmpty())
        return FileResult::failure(kNoTemporary);
    // A file left by a killed run must never be loaded as if it were this one.
    if (const FileResult stale = SafeFile::remove(m_files.temporary); !stale)
        return stale;

    QByteArray out;
    if (const FileResult read = decipherFile(m_files.encrypted, key, out, missingEncrypted(m_files.encrypted)); !read)
        return read;
    return SafeFile::createNew(m_files.temporary, out);
}

FileResult Database::removeTemporary()
{
    if (m_files.temporary.isEmpty())
        return FileResult::success();
    return SafeFile::remove(m_files.temporary);
}

FileResult Database::prepareLine(Level level, const QString &line, const QString &key, FileLine &out) const
{
    FileResult why;
    std::optional<QByteArray> bytes = fileLine(line, why);
    if (!bytes)
        return why;
    out.enciphered = enciphers(level);
    if (!out.enciphered) {
        out.bytes = std::move(*bytes);
        return FileResult::success();
    }
    const std::optional<QByteArray> k = keyBytes(key, why);
    if (!k)
        return why;
    out.bytes = LineCipher(*bytes, *k);
    if (!storable(out.bytes))
        return FileResult::failure(cipherLineBreak(-1));
    return FileResult::success();
}

FileResult Database::checkStorable(Level level, const QString &line, const QString &key) const
{
    FileLine unused;
    return prepareLine(level, line, key, unused);
}

FileResult Database::checkKey(const QString &key) const
{
    return keyReads(m_files.encrypted, key);
}

FileResult Database::keyReads(const QString &path, const QString &key) const
{
    QByteArray out;
    return decipherFile(path, key, out, missingEncrypted(path));
}
