// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

/**
 * The fixed substitution every stored record line carries: each of the 63
 * characters 0-9, a-z, A-Z and ":" is exchanged for another of them by one
 * table that never changes (files depend on it); every other character is
 * left as it is. Keyless, so it only keeps a file from being read at a glance.
 */
namespace FieldCipher {
/** The 63 characters the table exchanges, in the order the table is given. */
inline constexpr char kAlphabet[] = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ:";

/**
 * Appends the substitute of CurChar (or CurChar itself outside the alphabet) to CipherOut.
 * Only the tests call this character-at-a-time form and FieldDecipher: they are the reference
 * the fast forms are held to; the store ciphers whole lines (encipherBytes).
 */
void FieldEncipherChar(QChar CurChar, QString &CipherOut);

/** Appends the deciphered line to out and returns the line's last character (null for an empty line). */
QChar FieldDecipher(QStringView line, QString &out);

/** The whole line enciphered; as long as the line. */
QString encipher(QStringView line);
/** The whole line deciphered; as long as the line. */
QString decipher(QStringView line);

/** The same on the bytes of a file line (the alphabet is ASCII, so bytes and characters agree). */
void encipherBytes(QByteArray &line);
void decipherBytes(QByteArray &line);
} // namespace FieldCipher
