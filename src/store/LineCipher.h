// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

/**
 * The keyed line cipher of the enciphered database and the owner password
 * file. Each byte t of text becomes 255 - (k XOR t), with k the key's bytes
 * in turn, starting again at the key's first byte on every call (every
 * line). Applying it twice with the same key gives the text back. The result
 * is appended to out; an empty key appends nothing (callers treat an empty
 * key as a failure before they get here).
 */
void LineCipher(QByteArrayView text, QByteArrayView key, QByteArray &out);

/** LineCipher into a new array. */
QByteArray LineCipher(QByteArrayView text, QByteArrayView key);
