// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/RecordFileForm.h"

#include "common/SafeFile.h"
#include "common/Windows1252.h"
#include "store/FieldCipher.h"
#include "store/LineCipher.h"
#include "store/RecordLine.h"

#include <QDir>
#include <QFileInfo>

#include <cstring>

using namespace Qt::StringLiterals;

namespace {
const QString kNoKey = u"There is no owner password to encipher the database with."_s;
const QString kKeyUnencodable = u"The owner password holds a character Corvane cannot store."_s;
const QString kLineUnencodable = u"A record holds a character Corvane cannot store."_s;
const QString kLineBreak = u"A record holds a line break, which would split it in two."_s;
} // namespace

namespace RecordFileForm {
QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QString cipherLineBreak(qsizetype record)
{
    const QString which = record < 0 ? u"This record"_s : u"Record %1"_s.arg(record + 1);
    return which
        + u" cannot be stored under this owner password: enciphered, two of its characters would read back as "
          u"a line break. Change a character of the record or choose another password."_s;
}

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

FileResult fileContent(const QStringList &lines, QByteArray &out)
{
    qsizetype size = 0;
    for (const QString &line : lines)
        size += line.size() + 2;
    out.reserve(size);
    for (const QString &line : lines) {
        if (const FileResult encoded = appendEncoded(out, line); !encoded)
            return encoded;
        out.append(TextLines::kLineEnd, 2);
    }
    FieldCipher::encipherBytes(out);
    return FileResult::success();
}

std::optional<QByteArray> fileLine(QStringView line, FileResult &why)
{
    QByteArray bytes;
    why = appendEncoded(bytes, line);
    if (!why)
        return std::nullopt;
    FieldCipher::encipherBytes(bytes);
    return bytes;
}

bool LineSplitter::next(QByteArrayView &line)
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

qsizetype LineSplitter::nextOf(char c, qsizetype from, qsizetype &cache) const
{
    if (cache < from) {
        const void *found = std::memchr(m_data + from, c, size_t(m_size - from));
        cache = found ? static_cast<const char *>(found) - m_data : m_size;
    }
    return cache;
}

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

std::optional<QByteArray> contentOf(const QString &path, FileResult &why, const QString &whenMissing)
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

FileResult lineCiphered(QByteArrayView content, QByteArrayView key, QByteArray &out, LineEnds ends)
{
    return transformLines(content, ends, out, [&](QByteArrayView line, QByteArray &o) { LineCipher(line, key, o); });
}

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

FileResult decipherFile(const QString &path, const QString &key, QByteArray &out, const QString &whenMissing)
{
    FileResult why;
    const std::optional<QByteArray> k = keyBytes(key, why);
    if (!k)
        return why;
    const std::optional<QByteArray> content = contentOf(path, why, whenMissing);
    if (!content)
        return why;
    return deciphered(*content, *k, out, path);
}

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
} // namespace RecordFileForm
