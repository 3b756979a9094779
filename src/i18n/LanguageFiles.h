// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/FileResult.h"

#include <QString>
#include <QStringList>

#include <optional>

/**
 * The files of the language machinery.
 *
 * A language file is intl/<name>.dat beside the program, Windows-1252 text,
 * one entry a line:
 *
 *     # comment lines and empty lines are passed over
 *     5=Dienst
 *     16=&Hinzufügen, sofort
 *
 * The number before the first "=" is the entry's index; everything after it,
 * up to the line's end, is the text, commas, quotes, spaces and "&" included.
 * Lines may end in CR LF or LF. Indices not given read as empty; a line that
 * does not start with a number and "=" is passed over.
 *
 * The language choice file lang.dat holds one line, the name of the language
 * last confirmed.
 */
namespace LanguageFiles {
/** The language file of name: AppFolders::languageFolder() + "/" + name + ".dat". */
QString languageFile(const QString &name);

/** The entries of a language file, indexed from 0; empty when the file cannot be read. */
QStringList readTable(const QString &path);
/** The entries of language file content. */
QStringList parseTable(QByteArrayView content);

/** The languages offered by the files of a folder, as the language dialog lists them. */
struct Listing
{
    QStringList names; ///< the part before the first ".dat" of each file name, in order
    bool complete = false; ///< false when the listing stopped: no folder, or a file without ".dat"
};
/**
 * Lists the files of folder in alphabetical order. A file whose name holds
 * no ".dat" (compared exactly) ends the listing there; the names found
 * before it are kept.
 */
Listing listLanguages(const QString &folder);

/**
 * The first field of the choice file: reading ends at the first comma or line
 * end, leading spaces are passed over and double quotes around the field
 * removed. nullopt when the file cannot be read.
 */
std::optional<QString> readChoice(const QString &path);
/** Writes name as the choice file's one line. */
FileResult writeChoice(const QString &path, const QString &name);
} // namespace LanguageFiles
