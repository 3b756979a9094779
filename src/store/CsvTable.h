// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

/**
 * Comma-separated values as RFC 4180 writes them: fields separated by commas,
 * rows by line breaks, a field in double quotes may hold commas, line breaks
 * and doubled double quotes. Parsed and written with libcsv.
 */
namespace CsvTable {
struct Row
{
    int line = 0; ///< the line of the file the row starts on, counted from 1
    QList<QByteArray> fields; ///< as the file holds them, unquoted
};

struct [[nodiscard]] Parsed
{
    QList<Row> rows; ///< every row that holds a field; blank lines are none
    QString error; ///< empty when the whole content is well-formed
};

/**
 * The rows of content, which must be well-formed throughout: a double quote
 * out of place, or a quoted field that never ends, fails the whole content
 * with the line it was found on. Spaces belong to the fields. Line breaks
 * may be CR LF, LF or CR alone.
 */
Parsed parse(QByteArrayView content);

/** Appends field to out in double quotes, each double quote in it doubled. */
void appendField(QByteArray &out, QByteArrayView field);
} // namespace CsvTable
