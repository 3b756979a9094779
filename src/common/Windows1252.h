// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

/**
 * The single-byte code page of every file the program keeps: each character
 * is one byte. The mapping is Windows-1252's as Qt's "windows-1252" codec
 * gives it (the five bytes the code page leaves open map to the control
 * characters of the same value), so every byte value reads back as itself.
 */
namespace Windows1252 {
QString decode(QByteArrayView bytes);

/**
 * The bytes of text. A character the code page cannot hold makes ok false
 * and is written as "?"; callers refuse such text before anything is stored.
 */
QByteArray encode(QStringView text, bool *ok = nullptr);

/** The first character of text that the code page cannot hold, if any. */
std::optional<QChar> firstUnencodable(QStringView text);

inline bool canEncode(QStringView text)
{
    return !firstUnencodable(text).has_value();
}
} // namespace Windows1252
