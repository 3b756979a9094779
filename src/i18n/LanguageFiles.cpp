// SPDX-License-Identifier: GPL-3.0-or-later
#include "i18n/LanguageFiles.h"

#include "common/AppFolders.h"
#include "common/SafeFile.h"
#include "common/TextLines.h"
#include "common/Windows1252.h"

#include <QDir>

using namespace Qt::StringLiterals;

namespace LanguageFiles {

QString languageFile(const QString &name)
{
    return AppFolders::languageFolder() + u'/' + name + u".dat"_s;
}

QStringList parseTable(QByteArrayView content)
{
    QStringList table;
    for (QByteArray line : TextLines::split(content)) {
        // Files written on Linux may end their lines in LF alone.
        for (QByteArray &piece : line.split('\n')) {
            if (piece.endsWith('\r'))
                piece.chop(1);
            if (piece.isEmpty() || piece.startsWith('#'))
                continue;
            const qsizetype equals = piece.indexOf('=');
            if (equals <= 0)
                continue;
            bool isNumber = false;
            const int index = piece.first(equals).toInt(&isNumber);
            // Indices are small; a huge one would only make a huge empty table.
            if (!isNumber || index < 0 || index > 9999)
                continue;
            if (table.size() <= index)
                table.resize(index + 1);
            table[index] = Windows1252::decode(piece.sliced(equals + 1));
        }
    }
    return table;
}

QStringList readTable(const QString &path)
{
    const std::optional<QByteArray> content = SafeFile::readAll(path);
    return content ? parseTable(*content) : QStringList();
}

Listing listLanguages(const QString &folder)
{
    Listing listing;
    const QDir dir(folder);
    if (!dir.exists())
        return listing;
    const QStringList files = dir.entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QString &file : files) {
        const qsizetype dat = file.indexOf(u".dat"_s, 0, Qt::CaseSensitive);
        if (dat < 0)
            return listing;
        listing.names.append(file.left(dat));
    }
    listing.complete = true;
    return listing;
}

std::optional<QString> readChoice(const QString &path)
{
    const std::optional<QByteArray> content = SafeFile::readAll(path);
    if (!content)
        return std::nullopt;
    QString line = Windows1252::decode(TextLines::split(*content).value(0));
    const qsizetype lineFeed = line.indexOf(u'\n');
    if (lineFeed >= 0)
        line.truncate(lineFeed);

    qsizetype start = 0;
    while (start < line.size() && line.at(start) == u' ')
        ++start;
    QStringView rest = QStringView(line).sliced(start);
    if (rest.startsWith(u'"')) {
        // A quoted field runs to the closing quote, commas inside it included.
        const qsizetype close = rest.indexOf(u'"', 1);
        return (close < 0 ? rest.sliced(1) : rest.sliced(1, close - 1)).toString();
    }
    const qsizetype comma = rest.indexOf(u',');
    return (comma < 0 ? rest : rest.first(comma)).trimmed().toString();
}

FileResult writeChoice(const QString &path, const QString &name)
{
    bool ok = false;
    const QByteArray bytes = Windows1252::encode(name, &ok);
    if (!ok)
        return FileResult::failure(u"The language name cannot be stored."_s);
    return SafeFile::writeWhole(path, TextLines::terminated(bytes));
}

} // namespace LanguageFiles
