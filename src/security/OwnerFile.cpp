// SPDX-License-Identifier: GPL-3.0-or-later
#include "security/OwnerFile.h"

#include "common/SafeFile.h"
#include "common/TextLines.h"
#include "common/Windows1252.h"
#include "store/LineCipher.h"

using namespace Qt::StringLiterals;

namespace {
QByteArrayView key()
{
    return QByteArrayView(OwnerFile::kKey, sizeof(OwnerFile::kKey) - 1);
}
} // namespace

namespace OwnerFile {

std::optional<QByteArray> encipher(QStringView record)
{
    bool ok = false;
    const QByteArray bytes = Windows1252::encode(record, &ok);
    if (!ok)
        return std::nullopt;
    return LineCipher(bytes, key());
}

bool isStorable(QStringView record)
{
    const std::optional<QByteArray> line = encipher(record);
    return line && TextLines::isStorable(*line);
}

std::optional<QString> read(const QString &path)
{
    const std::optional<QByteArray> content = SafeFile::readAll(path);
    if (!content)
        return std::nullopt;
    const QList<QByteArray> lines = TextLines::split(*content);
    if (lines.isEmpty())
        return QString();
    return Windows1252::decode(LineCipher(lines.first(), key()));
}

FileResult write(QStringView record, const QString &path)
{
    const std::optional<QByteArray> line = encipher(record);
    if (!line)
        return FileResult::failure(u"The owner record holds a character that cannot be stored."_s);
    if (!TextLines::isStorable(*line))
        return FileResult::failure(u"The enciphered owner record would not read back as one line."_s);
    const FileResult written = SafeFile::writeWhole(path, TextLines::terminated(*line));
    if (!written)
        return written;
    // Being listed as hidden only keeps the file out of a file manager's view; the record is saved either way.
    static_cast<void>(AppFolders::markHidden(path));
    return written;
}

} // namespace OwnerFile
