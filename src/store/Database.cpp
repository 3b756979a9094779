// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/Database.h"

#include "common/AppFolders.h"
#include "common/SafeFile.h"
#include "common/TextLines.h"
#include "common/Windows1252.h"
#include "store/FieldCipher.h"
#include "store/LineCipher.h"
#include "store/RecordLine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstring>
#include <optional>

using namespace Qt::StringLiterals;

namespace {
QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

const QString kNoTemporary = u"There is no safe temporary folder for the database."_s;
const QString kNoKey = u"There is no owner password to encipher the database with."_s;
const QString kKeyUnencodable = u"The owner password holds a character Corvane cannot store."_s;
const QString kLineUnencodable = u"A record holds a character Corvane cannot store."_s;
const QString kLineBreak = u"A record holds a line break, which would split it in two."_s;
const QString kChangePending = u"An earlier change of the protection level is not finished yet. Corvane finishes it "
                               u"at its next start: please start Corvane again first."_s;

QString cipherLineBreak(qsizetype record)
{
    const QString which = record < 0 ? u"This record"_s : u"Record %1"_s.arg(record + 1);
    return which
        + u" cannot be stored under this owner password: enciphered, two of its characters would read back as "
          u"a line break. Change a character of the record or choose another password."_s;
}

/** TextLines::isStorable, found with memchr: this runs on every line of every rewrite. */
bool storable(QByteArrayView line)
{
    const char *p = line.data();
    const char *end = p + line.size();
    while (p < end) {
        const auto *cr = static_cast<const char *>(std::memchr(p, '\r', size_t(end - p)));
        if (!cr || cr + 1 >= end)
            return true;
        if (cr[1] == '\n')
            return false;
        p = cr + 1;
    }
    return true;
}

/** The key's bytes; a failure for an empty key or one the code page cannot hold. */
std::optional<QByteArray> keyBytes(const QString &key, FileResult &why)
{
    if (key.isEmpty()) {
        why = FileResult::failure(kNoKey);
        return std::nullopt;
    }
    bool ok = false;
    QByteArray bytes = Windows1252::encode(key, &ok);
    if (!ok) {
        why = FileResult::failure(kKeyUnencodable);
        return std::nullopt;
    }
    return bytes;
}

/** Appends the file form of a plain record line (code page bytes, not yet field-enciphered). */
FileResult appendEncoded(QByteArray &out, QStringView line)
{
    // Most lines are ASCII, which is its own code page form; only the others
    // go through the full mapping. A rewrite does this for every record.
    const qsizetype start = out.size();
    out.resize(start + line.size());
    char *dst = out.data() + start;
    const QChar *src = line.data();
    qsizetype i = 0;
    for (; i < line.size() && src[i].unicode() < 0x80; ++i)
        dst[i] = char(src[i].unicode());
    if (i < line.size()) {
        bool ok = false;
        const QByteArray rest = Windows1252::encode(line.sliced(i), &ok);
        if (!ok) {
            out.truncate(start);
            return FileResult::failure(kLineUnencodable);
        }
        std::memcpy(dst + i, rest.constData(), size_t(rest.size()));
    }
    // Any CR or LF ends a line of the plain file, so a record holding one would read back as two.
    const char *added = out.constData() + start;
    const size_t length = size_t(out.size() - start);
    if (std::memchr(added, '\r', length) || std::memchr(added, '\n', length)) {
        out.truncate(start);
        return FileResult::failure(kLineBreak);
    }
    return FileResult::success();
}

/** A plain record line as the plain file holds it: field-enciphered bytes, without CR LF. */
std::optional<QByteArray> fileLine(QStringView line, FileResult &why)
{
    QByteArray bytes;
    why = appendEncoded(bytes, line);
    if (!why)
        return std::nullopt;
    FieldCipher::encipherBytes(bytes);
    return bytes;
}

/**
 * Where a line of a database file ends. The plain file and mdb.tmp hold records, which cannot hold
 * a line break, so there a lone LF or CR ends a line as CR LF does (a file whose line ends were
 * changed on another system reads the same). In the enciphered file any byte can stand for a
 * character of a record: only CR LF ends a line there.
 */
enum class LineEnds { CrLf, Any };

/**
 * Cuts content into its lines. Each CR and LF is looked for with memchr once, whatever the
 * line ends, so a file of many short lines is split at the speed of memory.
 */
class LineSplitter
{
public:
    LineSplitter(QByteArrayView content, LineEnds ends)
        : m_data(content.data())
        , m_size(content.size())
        , m_ends(ends)
    { }

    /** The next line, without its line end, in line; false when none is left. */
    bool next(QByteArrayView &line)
    {
        if (m_start >= m_size)
            return false;
        qsizetype end = m_start;
        qsizetype breakLength = 0;
        for (;;) {
            const qsizetype cr = nextOf('\r', end, m_cr);
            const qsizetype lf = m_ends == LineEnds::Any ? nextOf('\n', end, m_lf) : m_size;
            if (lf < cr) {
                end = lf;
                breakLength = 1;
                break;
            }
            if (cr == m_size) {
                end = m_size;
                break;
            }
            if (cr + 1 < m_size && m_data[cr + 1] == '\n') {
                end = cr;
                breakLength = 2;
                break;
            }
            if (m_ends == LineEnds::Any) {
                end = cr;
                breakLength = 1;
                break;
            }
            end = cr + 1; // a lone CR is a byte of the line
        }
        line = QByteArrayView(m_data + m_start, end - m_start);
        m_start = end + breakLength;
        if (breakLength == 0)
            m_start = m_size;
        return true;
    }

private:
    /** The index of the first c at or after from (m_size for none), remembered in cache. */
    qsizetype nextOf(char c, qsizetype from, qsizetype &cache) const
    {
        if (cache < from) {
            const void *found = std::memchr(m_data + from, c, size_t(m_size - from));
            cache = found ? static_cast<const char *>(found) - m_data : m_size;
        }
        return cache;
    }

    const char *m_data;
    qsizetype m_size;
    LineEnds m_ends;
    qsizetype m_start = 0;
    qsizetype m_cr = -1;
    qsizetype m_lf = -1;
};

/**
 * Calls visit with each non-empty line of content (without its line end) and its number, until
 * visit returns false.
 */
template <typename Visit> bool forEachLine(QByteArrayView content, LineEnds ends, Visit visit)
{
    LineSplitter lines(content, ends);
    qsizetype number = 0;
    for (QByteArrayView line; lines.next(line);) {
        if (line.isEmpty())
            continue;
        if (!visit(line, number))
            return false;
        ++number;
    }
    return true;
}

/**
 * Each line of content put through transform (which appends its result to
 * out) and ended by CR LF. Fails, with out incomplete, at the first result
 * that holds CR LF itself and so could not be read back as one line.
 */
template <typename Transform>
FileResult transformLines(QByteArrayView content, LineEnds ends, QByteArray &out, Transform transform)
{
    out.reserve(content.size() + 2);
    qsizetype failed = -1;
    forEachLine(content, ends, [&](QByteArrayView line, qsizetype number) {
        const qsizetype start = out.size();
        transform(line, out);
        if (!storable(QByteArrayView(out).sliced(start))) {
            failed = number;
            return false;
        }
        out.append(TextLines::kLineEnd, 2);
        return true;
    });
    return failed < 0 ? FileResult::success() : FileResult::failure(cipherLineBreak(failed));
}

struct FileContent
{
    std::optional<QByteArray> bytes; ///< nullopt when missing or unreadable
    bool missing = false;
    FileResult status;
};

FileContent readFile(const QString &path)
{
    FileContent file;
    QString why;
    file.bytes = SafeFile::readAll(path, &why);
    if (!file.bytes) {
        file.missing = !QFileInfo::exists(path);
        file.status = FileResult::failure(why);
    }
    return file;
}

/**
 * The content of the file at path. A missing file fails with whenMissing (when
 * given); any other failure with the reason the read gave.
 */
std::optional<QByteArray> contentOf(const QString &path, FileResult &why, const QString &whenMissing = {})
{
    FileContent file = readFile(path);
    if (!file.bytes)
        why = file.missing && !whenMissing.isEmpty() ? FileResult::failure(whenMissing) : file.status;
    return std::move(file.bytes);
}

QString missingEncrypted(const QString &path)
{
    return u"The enciphered database %1 does not exist."_s.arg(shown(path));
}

QString wrongKey(const QString &path)
{
    return u"The enciphered database %1 does not read back with this password."_s.arg(shown(path));
}

/**
 * Every line of content through the line cipher under key, each ended by CR LF, into out. The lines
 * of what is to be enciphered are records (ends: Any); those of an enciphered file end at CR LF only.
 */
FileResult lineCiphered(QByteArrayView content, QByteArrayView key, QByteArray &out, LineEnds ends = LineEnds::Any)
{
    return transformLines(content, ends, out, [&](QByteArrayView line, QByteArray &o) { LineCipher(line, key, o); });
}

/** The number of the first line of field-enciphered content that is not a filed record line; -1 when all are. */
qsizetype firstNotFiled(QByteArrayView fieldEnciphered)
{
    QByteArray plain = fieldEnciphered.toByteArray();
    FieldCipher::decipherBytes(plain);
    qsizetype failed = -1;
    forEachLine(plain, LineEnds::Any, [&](QByteArrayView line, qsizetype number) {
        if (RecordLine::hasFiledForm(line))
            return true;
        failed = number;
        return false;
    });
    return failed;
}

bool allFiledForm(QByteArrayView fieldEnciphered)
{
    return firstNotFiled(fieldEnciphered) < 0;
}

/**
 * Enciphered, a line that is not a record could not be told from a line under a wrong password, and
 * the file would be refused at the next start.
 */
QString notFiled(const QString &path, qsizetype line)
{
    return u"Record %1 of %2 is not in the form Corvane files records in (it may have been edited by hand), so "
           u"it cannot be enciphered. Remove it, or file it again, first."_s.arg(line + 1)
               .arg(shown(path));
}

/**
 * The enciphered content deciphered under key into out (field-enciphered lines, CR LF ended). Fails with
 * wrongKey's text when a line does not come back as a filed record line: the file was enciphered under
 * another password, and its lines must not be mixed with lines under this one.
 */
FileResult deciphered(QByteArrayView content, QByteArrayView key, QByteArray &out, const QString &path)
{
    if (lineCiphered(content, key, out, LineEnds::CrLf) && allFiledForm(out))
        return FileResult::success();
    // A file whose line ends were changed to LF or CR alone on another system. Read that way, a lone
    // byte inside an enciphered line would cut it in two pieces that are no records, so the file is
    // taken only when every piece deciphers into a record under this key.
    out.clear();
    if (lineCiphered(content, key, out, LineEnds::Any) && allFiledForm(out))
        return FileResult::success();
    return FileResult::failure(wrongKey(path));
}

/** Plain record lines from field-enciphered content. */
QStringList recordLines(QByteArray content)
{
    QStringList lines;
    // The field cipher leaves CR and LF alone, so the whole content deciphers at once.
    FieldCipher::decipherBytes(content);
    forEachLine(content, LineEnds::Any, [&](QByteArrayView line, qsizetype) {
        lines.append(Windows1252::decode(line));
        return true;
    });
    return lines;
}

/** Creates the folder of path (mode 0700) when it is missing, as after the user deleted it. */
FileResult ensureFolderOf(const QString &path)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (QFileInfo::exists(folder))
        return FileResult::success();
    return SafeFile::makePrivateFolder(folder);
}

FileResult writeWholeFile(const QString &path, QByteArrayView content)
{
    if (const FileResult folder = ensureFolderOf(path); !folder)
        return folder;
    return SafeFile::writeWhole(path, content);
}

/**
 * The field-enciphered record lines of a database file, sorted, so that two files compare equal
 * when they hold the same records in any order. A file with no lines holds no records under any
 * key. nullopt when it cannot be read, or (enciphered) does not read back under key.
 */
std::optional<QList<QByteArray>> sortedRecords(const QString &path, FileKind kind, const QString &key)
{
    FileResult why;
    std::optional<QByteArray> content = contentOf(path, why);
    if (!content)
        return std::nullopt;
    QList<QByteArray> lines;
    const auto collect = [&](QByteArrayView text, LineEnds ends) {
        forEachLine(text, ends, [&](QByteArrayView line, qsizetype) {
            lines.append(line.toByteArray());
            return true;
        });
    };
    collect(*content, kind == FileKind::Plain ? LineEnds::Any : LineEnds::CrLf);
    if (kind == FileKind::Enciphered && !lines.isEmpty()) {
        const std::optional<QByteArray> k = keyBytes(key, why);
        QByteArray out;
        if (!k || !deciphered(*content, *k, out, path))
            return std::nullopt;
        lines.clear();
        collect(out, LineEnds::CrLf);
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

/** A name for a file set aside from path that no file in its folder has: "userDB (set aside).pdb", then 2, 3... */
QString setAsideName(const QString &path)
{
    const QFileInfo info(path);
    const QString stem = info.absolutePath() + u'/' + info.completeBaseName() + u" (set aside"_s;
    const QString suffix = info.suffix().isEmpty() ? QString() : u'.' + info.suffix();
    QString name = stem + u')' + suffix;
    for (int n = 2; QFileInfo::exists(name) || QFileInfo(name).isSymLink(); ++n)
        name = stem + u' ' + QString::number(n) + u')' + suffix;
    return name;
}

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
    if (enciphers(level))
        return AppendToEncryptedDB(FieldCipher::encipher(line), key);

    FileResult why;
    const std::optional<QByteArray> bytes = fileLine(line, why);
    if (!bytes)
        return why;
    return appendLine(m_files.plain, TextLines::terminated(*bytes));
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
    qsizetype size = 0;
    for (const QString &line : lines)
        size += line.size() + 2;
    content.reserve(size);
    for (const QString &line : lines) {
        if (const FileResult encoded = appendEncoded(content, line); !encoded)
            return encoded;
        content.append(TextLines::kLineEnd, 2);
    }
    FieldCipher::encipherBytes(content);

    if (!enciphers(level))
        return writeWholeFile(m_files.plain, content);

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

    FileResult why;
    const std::optional<QByteArray> k = keyBytes(key, why);
    if (!k)
        return why;
    const std::optional<QByteArray> db = contentOf(m_files.encrypted, why, missingEncrypted(m_files.encrypted));
    if (!db)
        return why;
    QByteArray out;
    if (const FileResult read = deciphered(*db, *k, out, m_files.encrypted); !read)
        return read;
    return SafeFile::createNew(m_files.temporary, out);
}

FileResult Database::removeTemporary()
{
    if (m_files.temporary.isEmpty())
        return FileResult::success();
    return SafeFile::remove(m_files.temporary);
}

FileResult Database::EncryptPlainToDB(const QString &key, const CommitStep &commit)
{
    FileResult why;
    const std::optional<QByteArray> k = keyBytes(key, why);
    if (!k)
        return why;
    QByteArray out;
    if (QFileInfo::exists(m_files.plain) || QFileInfo::exists(m_files.encrypted)) {
        // An enciphered file without a plain one may hold the only copy of the records: never write over it.
        const std::optional<QByteArray> plain
            = contentOf(m_files.plain, why, u"There is no database %1 to encipher."_s.arg(shown(m_files.plain)));
        if (!plain)
            return why;
        if (const qsizetype line = firstNotFiled(*plain); line >= 0)
            return FileResult::failure(notFiled(m_files.plain, line));
        if (const FileResult built = lineCiphered(*plain, *k, out); !built)
            return built;
    }
    return changeLevelFile(m_files.encrypted, m_files.plain, out, commit);
}

FileResult Database::DecryptDBToPlain(const QString &key, const CommitStep &commit)
{
    if (key.isEmpty() || !QFileInfo::exists(m_files.encrypted))
        return commit ? commit() : FileResult::success();
    FileResult why;
    const std::optional<QByteArray> k = keyBytes(key, why);
    if (!k)
        return why;
    const std::optional<QByteArray> db = contentOf(m_files.encrypted, why);
    if (!db)
        return why;
    QByteArray out;
    if (const FileResult read = deciphered(*db, *k, out, m_files.encrypted); !read)
        return read;
    return changeLevelFile(m_files.plain, m_files.encrypted, out, commit);
}

FileResult Database::changeKey(const QString &oldKey, const QString &newKey, const CommitStep &commit)
{
    FileResult why;
    const std::optional<QByteArray> from = keyBytes(oldKey, why);
    if (!from)
        return why;
    const std::optional<QByteArray> to = keyBytes(newKey, why);
    if (!to)
        return why;
    const std::optional<QByteArray> db = contentOf(m_files.encrypted, why, missingEncrypted(m_files.encrypted));
    if (!db)
        return why;
    QByteArray plain;
    if (const FileResult read = deciphered(*db, *from, plain, m_files.encrypted); !read)
        return read;
    QByteArray out;
    if (const FileResult built = lineCiphered(plain, *to, out); !built)
        return built;
    return changeLevelFile(m_files.encrypted, QString(), out, commit);
}

QString Database::staged(const QString &path)
{
    return path + u".new"_s;
}

bool Database::levelChangePending() const
{
    return QFileInfo::exists(staged(m_files.plain)) || QFileInfo::exists(staged(m_files.encrypted));
}

FileResult Database::changeLevelFile(
    const QString &target, const QString &old, QByteArrayView content, const CommitStep &commit)
{
    // A staged file left by a change that could not be finished holds records that may be nowhere else.
    if (levelChangePending())
        return FileResult::failure(kChangePending);
    const QString side = staged(target);
    FileResult result = writeWholeFile(side, content);
    if (!result)
        return result;
    if (commit) {
        const FileResult committed = commit();
        if (!committed) {
            // A staged file left behind is removed by the next start, since the owner file does not name it.
            static_cast<void>(SafeFile::remove(side));
            return committed;
        }
        result.addWarning(committed);
    }
    // From here on the change has happened; what cannot be finished now is finished at the next start.
    const FileResult placed = placeStaged(target, old);
    if (!placed)
        return result.addWarning(FileResult::warned(placed.error
            + u"\nThe change is made, and Corvane finishes it at its next start; until then it does not "
              u"change the database."_s));
    return result.addWarning(placed);
}

FileResult Database::placeStaged(const QString &target, const QString &old)
{
    // The old file goes first, and the staged file waits until it has gone: whatever stops the change
    // here, the staged file still tells the next start that it is to be finished. The two database
    // files side by side without it would not tell which one holds the records.
    FileResult result;
    if (!old.isEmpty()) {
        result = SafeFile::remove(old);
        if (!result)
            return result;
    }
    const FileResult placed = SafeFile::rename(staged(target), target);
    if (!placed)
        return placed;
    return result.addWarning(placed);
}

FileResult Database::keyReads(const QString &path, const QString &key) const
{
    FileResult why;
    const std::optional<QByteArray> k = keyBytes(key, why);
    if (!k)
        return why;
    const std::optional<QByteArray> db = contentOf(path, why, missingEncrypted(path));
    if (!db)
        return why;
    QByteArray out;
    return deciphered(*db, *k, out, path);
}

FileResult Database::settleFiles(Level level, const QString &key)
{
    const QString &plain = m_files.plain;
    const QString &encrypted = m_files.encrypted;
    FileResult result;
    // A file that could not be removed is a warning: the records are where the level says all the same.
    const auto removeExtra = [&](const QString &path) {
        const FileResult removed = SafeFile::remove(path);
        result.addWarning(removed ? removed : FileResult::warned(removed.error));
    };
    const auto finish = [&](const FileResult &done) -> FileResult {
        if (!done)
            return done;
        if (levelChangePending())
            return FileResult::failure(
                u"A change of the protection level could not be finished: %1"_s.arg(done.warning));
        return result.addWarning(done);
    };

    // A level change cut off after its new file was written: the owner file tells whether it took effect.
    if (QFileInfo::exists(staged(encrypted))) {
        // One that cannot be read now may still be the records: it stays until it can be.
        FileResult why;
        if (!contentOf(staged(encrypted), why))
            return why;
        if (enciphers(level) && keyReads(staged(encrypted), key)) {
            const FileResult placed = placeStagedAtStart(encrypted, plain);
            if (!placed)
                return placed;
            result.addWarning(placed);
        } else {
            removeExtra(staged(encrypted));
        }
    }
    if (QFileInfo::exists(staged(plain))) {
        if (!enciphers(level)) {
            const FileResult placed = placeStagedAtStart(plain, encrypted);
            if (!placed)
                return placed;
            result.addWarning(placed);
        } else {
            removeExtra(staged(plain));
        }
    }

    const bool hasPlain = QFileInfo::exists(plain);
    const bool hasEncrypted = QFileInfo::exists(encrypted);
    if (enciphers(level)) {
        if (!hasPlain || key.isEmpty())
            return result;
        // No deciphered copy of the records stays beside the enciphered file; a plain file alone was
        // left by a change to this level that was cut off, and is enciphered now.
        if (!hasEncrypted)
            return finish(EncryptPlainToDB(key));
        return settleFileBeside(level, key, result);
    }

    if (!hasEncrypted)
        return result;
    FileResult why;
    const std::optional<QByteArray> db = contentOf(encrypted, why);
    if (!db)
        return hasPlain ? result : why;
    // An empty enciphered file holds no records to keep.
    if (db->isEmpty()) {
        removeExtra(encrypted);
        return result;
    }
    if (!hasPlain) {
        // A change away from Level::ProgramAndDatabase that was cut off before the plain file was there.
        QByteArray lines;
        const std::optional<QByteArray> k = keyBytes(key, why);
        if (k && deciphered(*db, *k, lines, encrypted))
            return finish(DecryptDBToPlain(key));
        return FileResult::failure(
            u"The records are in the enciphered database %1, which Corvane cannot read at this protection level. "
            u"To see them, choose \"Program and DBase\" in Set Password with the password they were "
            u"enciphered with."_s.arg(shown(encrypted)));
    }
    return settleFileBeside(level, key, result);
}

FileResult Database::placeStagedAtStart(const QString &target, const QString &old)
{
    // As in the change itself the old file goes first. One that cannot be removed no longer keeps
    // the records from showing: it holds the records the staged file holds, and is settled below as
    // any file beside the database is, removed at this start or the next.
    FileResult result;
    if (!old.isEmpty()) {
        if (const FileResult removed = SafeFile::remove(old); removed)
            result.addWarning(removed);
    }
    const FileResult placed = SafeFile::rename(staged(target), target);
    if (!placed)
        return placed;
    return result.addWarning(placed);
}

FileResult Database::settleFileBeside(Level level, const QString &key, FileResult result)
{
    const bool enciphered = enciphers(level);
    const QString &other = enciphered ? m_files.plain : m_files.encrypted;
    const std::optional<QList<QByteArray>> theirs
        = sortedRecords(other, enciphered ? FileKind::Plain : FileKind::Enciphered, key);
    const auto same = [&] {
        if (!theirs || theirs->isEmpty())
            return bool(theirs);
        const std::optional<QList<QByteArray>> mine
            = sortedRecords(activeFile(level), enciphered ? FileKind::Enciphered : FileKind::Plain, key);
        return mine && *mine == *theirs;
    };
    if (same())
        return removeCopyBeside(other, enciphered, result);
    return setAside(other, enciphered, result);
}

FileResult Database::removeCopyBeside(const QString &path, bool plainCopy, FileResult result)
{
    const FileResult removed = SafeFile::remove(path);
    if (removed)
        return result.addWarning(removed);
    if (!plainCopy)
        return result.addWarning(FileResult::warned(
            removed.error + u"\nIt is a copy of the records shown; Corvane deletes it at its next start."_s));
    // A copy of the records without the owner password's protection must go before they change: changed,
    // the records would no longer tell it for a copy of theirs.
    return FileResult::failure(removed.error
        + u"\nIt is a copy of your records without the protection of the owner password. Corvane deletes it at "
          u"its next start."_s)
        .addWarning(result);
}

FileResult Database::setAside(const QString &path, bool plainCopy, FileResult result)
{
    const QString name = setAsideName(path);
    const FileResult moved = SafeFile::rename(path, name);
    const QString found = plainCopy
        ? u"The database file %1 lay beside the enciphered database, holding other records than the ones shown."_s
        : u"The enciphered database file %1 lay beside the database in use, holding other records than the ones "
          u"shown, or records under another password."_s;
    // Left in place, it could be written over by the next change of the protection level.
    if (!moved)
        return FileResult::failure(found.arg(shown(path)) + u" Corvane could not set it aside: "_s + moved.error)
            .addWarning(result);
    QString told = found.arg(shown(path)) + u" Corvane has not deleted it: it is now %1."_s.arg(shown(name));
    if (plainCopy)
        told += u" Its records are not enciphered; delete it once you no longer need them."_s;
    return result.addWarning(FileResult::warned(told)).addWarning(moved);
}

FileResult Database::checkStorable(Level level, const QString &line, const QString &key) const
{
    FileResult why;
    const std::optional<QByteArray> bytes = fileLine(line, why);
    if (!bytes)
        return why;
    if (!enciphers(level))
        return FileResult::success();
    const std::optional<QByteArray> k = keyBytes(key, why);
    if (!k)
        return why;
    if (!storable(LineCipher(*bytes, *k)))
        return FileResult::failure(cipherLineBreak(-1));
    return FileResult::success();
}

FileResult Database::checkKey(const QString &key) const
{
    return keyReads(m_files.encrypted, key);
}
