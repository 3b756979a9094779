// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>

/**
 * The line format of every file the program keeps: one item per line, each
 * line ended by CR LF. Only the pair ends a line; a lone CR or LF is data
 * (the database's record files read a lone one as a line end too, since a
 * record holds no line break: see Database).
 */
namespace TextLines {
inline constexpr char kLineEnd[] = "\r\n";

/**
 * Splits file content into its lines, without their CR LF. A last line
 * without CR LF is a line too; nothing after the final CR LF adds no line.
 */
QList<QByteArray> split(QByteArrayView content);

/** The line followed by CR LF. */
QByteArray terminated(QByteArrayView line);

/** Whether a line can be written: it must not itself hold the pair CR LF. */
bool isStorable(QByteArrayView line);
} // namespace TextLines
