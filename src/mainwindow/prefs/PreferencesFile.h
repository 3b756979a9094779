// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/FileResult.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

/**
 * The preferences file "prefs.cfg": the main window's display modes and its
 * position (in twips) between runs. Five lines, each a key, one space and a
 * value, ended by CR LF.
 */
namespace PreferencesFile {

/** What the file keeps. */
struct State
{
    bool hideDisplay = false;
    bool autoHide = false;
    int left = 0; ///< the window's left edge, twips, frame included
    int top = 0; ///< the window's top edge, twips, frame included
    bool topMost = false;
};

enum class Key { Display, AutHide, LPos, TPos, OTop };

/** One item of the file that the window applies: a truth value for the modes, twips for the positions. */
struct Setting
{
    Key key;
    bool flag = false;
    int twips = 0;

    friend bool operator==(const Setting &, const Setting &) = default;
};

/** The five lines, exactly as the program writes them. */
QByteArray format(const State &state);

/**
 * Writes the file whole (SafeFile::writeWhole, mode 0600): on failure the
 * earlier file is left as it was and the reason is returned.
 */
FileResult write(const QString &path, const State &state);

/**
 * The items of the text, read as a list input reads a text file: an item
 * ends at a comma or at the end of a line (CR LF, LF or CR), spaces before
 * it are skipped, and a pair of double quotes round it is removed (commas
 * inside the quotes belong to the item). An empty line is an empty item.
 */
QStringList items(QStringView text);

/** A truth value: "True" or "False" in any letter case, or a number (0 is false). */
std::optional<bool> truthValue(QStringView text);

/** A position in twips: a decimal number (rounded to whole twips) that fits a 32-bit integer. */
std::optional<int> twipsValue(QStringView text);

/**
 * The settings the content holds, in file order. Each item is split at its
 * first space into key and value; keys are compared exactly and unknown keys
 * are passed over. The first malformed item (no space, or a value that is not
 * what its key needs) ends the reading: the settings before it are returned.
 */
QList<Setting> parse(QByteArrayView content);

/** The settings of the file at path; nullopt when it cannot be read (the first run has none). */
std::optional<QList<Setting>> read(const QString &path);

} // namespace PreferencesFile
