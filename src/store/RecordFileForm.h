// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/FileResult.h"
#include "common/TextLines.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <optional>

/**
 * The byte form of the database files, shared by the store's readers and
 * writers: record lines in the code page, their line ends, the two ciphers
 * over whole files, and the texts that say why a file could not be used.
 * Nothing here shows anything or knows the protection level.
 */
namespace RecordFileForm {
inline const QString kNoTemporary = QStringLiteral("There is no safe temporary folder for the database.");

/** path as the user's file manager writes it. */
QString shown(const QString &path);

/** Why a record (its index, or -1 for the one being filed) cannot be stored under the owner password. */
QString cipherLineBreak(qsizetype record);

/** Whether line holds no CR LF (TextLines::isStorable, found with memchr: this runs on every line of every rewrite). */
bool storable(QByteArrayView line);

/** The key's bytes; a failure for an empty key or one the code page cannot hold. */
std::optional<QByteArray> keyBytes(const QString &key, FileResult &why);

/**
 * Appends the file form of a plain record line (code page bytes, not yet field-enciphered). A
 * character the code page cannot hold, or a line break, fails and leaves out as it was.
 */
FileResult appendEncoded(QByteArray &out, QStringView line);

/** Plain record lines as the plain file holds them, into out: field-enciphered, each ended by CR LF. */
FileResult fileContent(const QStringList &lines, QByteArray &out);

/** A plain record line as the plain file holds it: field-enciphered bytes, without CR LF. */
std::optional<QByteArray> fileLine(QStringView line, FileResult &why);

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
    bool next(QByteArrayView &line);

private:
    /** The index of the first c at or after from (m_size for none), remembered in cache. */
    qsizetype nextOf(char c, qsizetype from, qsizetype &cache) const;

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

FileContent readFile(const QString &path);

/**
 * The content of the file at path. A missing file fails with whenMissing (when
 * given); any other failure with the reason the read gave.
 */
std::optional<QByteArray> contentOf(const QString &path, FileResult &why, const QString &whenMissing = {});

QString missingEncrypted(const QString &path);
QString wrongKey(const QString &path);

/**
 * Every line of content through the line cipher under key, each ended by CR LF, into out. The lines
 * of what is to be enciphered are records (ends: Any); those of an enciphered file end at CR LF only.
 */
FileResult lineCiphered(QByteArrayView content, QByteArrayView key, QByteArray &out, LineEnds ends = LineEnds::Any);

/** The number of the first line of field-enciphered content that is not a filed record line; -1 when all are. */
qsizetype firstNotFiled(QByteArrayView fieldEnciphered);
bool allFiledForm(QByteArrayView fieldEnciphered);

/**
 * The enciphered content deciphered under key into out (field-enciphered lines, CR LF ended). Fails with
 * wrongKey's text when a line does not come back as a filed record line: the file was enciphered under
 * another password, and its lines must not be mixed with lines under this one.
 */
FileResult deciphered(QByteArrayView content, QByteArrayView key, QByteArray &out, const QString &path);

/**
 * The enciphered file at path deciphered under key into out, as deciphered does. Fails for an empty
 * key or one the code page cannot hold, then for a file that cannot be read (missing: whenMissing,
 * when given).
 */
FileResult decipherFile(const QString &path, const QString &key, QByteArray &out, const QString &whenMissing = {});

/** Plain record lines from field-enciphered content. */
QStringList recordLines(QByteArray content);

/** Creates the folder of path (mode 0700) when it is missing, as after the user deleted it. */
FileResult ensureFolderOf(const QString &path);

/** Writes the file at path whole or not at all, its folder made first when it is missing. */
FileResult writeWholeFile(const QString &path, QByteArrayView content);
} // namespace RecordFileForm
