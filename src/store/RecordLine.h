// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QString>

#include <array>
#include <optional>

/**
 * A record's text form: Service, Path, Username, Password, Info and the
 * record date, each followed by the separator ":!", nothing else.
 */
namespace RecordLine {
enum Field { Service = 0, Path = 1, Username = 2, Password = 3, Info = 4, RecordDate = 5 };
inline constexpr int kFieldCount = 6;
/** The fields the user types: all but the record date. */
inline constexpr int kTypedFieldCount = 5;
inline constexpr QStringView kSeparator = u":!";

/** The five texts the user types, in field order (the edit boxes Text1(0)..Text1(4)). */
using Texts = std::array<QString, kTypedFieldCount>;
/** The six values of a line, in field order; values the line does not supply are empty. */
using Values = std::array<QString, kFieldCount>;
/** The six values of a line as views into it, in field order (see split). */
using ValueViews = std::array<QStringView, kFieldCount>;

/** "mm-dd-yyyy hh:mm:ss", always 19 characters. */
QString recordDate(const QDateTime &when);

/** The line of texts filed now (the date and time from the clock seam). */
QString BuildRecordLine(const Texts &texts);
/** The line of texts with the given record date. */
QString build(const Texts &texts, const QString &recordDate);

/**
 * The values of a stored line, as the grid shows them. A line ending in ":!"
 * gives its values in order (values past the sixth are not shown). A line
 * without the final separator is the older five-field form: its values are
 * Service, Username, Password, Info and Path, and the text after the last
 * separator is not a value. A line without any separator is its Service.
 */
Values split(QStringView line);
/** The values split() gives, as views into line: nothing is copied. */
ValueViews splitViews(QStringView line);

/**
 * The value of field n (1 = Service ... 4 = Password, 6 = record date) of a
 * line, as split() gives it, so a field read from the list always matches
 * the grid's cell. For a line ending in ":!" that is the text between the
 * (n-1)-th and n-th ":!". Empty for n outside 1..6. Only the tests and the
 * fuzz target ask for one field; the program splits a line once (split).
 */
QString field(QStringView line, int n);

/**
 * Whether the texts can be filed: none may hold ":!", a line break, or a
 * character the file's code page cannot hold. nullopt when they can; the
 * message to show the user when they cannot.
 */
std::optional<QString> checkFileable(const Texts &texts);

/**
 * Whether bytes (a plain record line in the file's code page, without its
 * line end) have the form Corvane files records in: six values, each ended
 * by ":!", the last a record date "mm-dd-yyyy hh:mm:ss". A line deciphered
 * under a wrong key loses that form, so this tells a wrong key from a right one.
 */
bool hasFiledForm(QByteArrayView bytes);
} // namespace RecordLine
