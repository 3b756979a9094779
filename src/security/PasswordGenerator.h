// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRandomGenerator>
#include <QString>

/** The password the security dialog proposes, and the rules of its password and length boxes. */
namespace PasswordGenerator {
enum class Strength { Normal, High, Higher };

/** The longest password the dialog handles: the largest 16-bit count. */
inline constexpr int kMaxLength = 32767;
/** Passwords longer than this are also shown in pieces below the dialog. */
inline constexpr int kLongPassword = 16;
inline constexpr int kPieceLength = 60;

/** The characters a typed owner password may hold while the generator is off. */
inline constexpr QStringView kAlphabet = u"0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";

/** 6 for Normal, 8 for High, higherLength (brought into 0..kMaxLength) for Higher. */
int lengthOf(Strength strength, int higherLength);

/** Whether the character code can be drawn at strength: "1"-"9" and "A"-"Z", and "a"-"z" at Higher only. */
bool canDraw(Strength strength, int code);

/**
 * A password of length characters: each one is drawn as int(x * 255) + 1
 * from uniform x in [0, 1), again until the code is one strength allows.
 * The operating system's random source by default, so a password cannot be
 * foretold from the time it was made.
 */
QString generate(Strength strength, int length, QRandomGenerator &random = *QRandomGenerator::system());

/** The password cut into pieces of 60 characters, each (the last too) followed by CR LF. */
QString pieces(QStringView password);

/** A box's text with every character that keep refuses removed, and where the caret goes. */
struct Kept
{
    QString text;
    /** After the last removal: after as many characters as the removed one's position (from 1), at most the end; -1
     * when nothing was removed. */
    int caret = -1;
};
Kept keepOnly(QStringView text, bool (*keep)(QChar));

bool inAlphabet(QChar c);
/** A character the owner can type when asked for the password: none of the line breaks, tabs and other controls a paste
 * can bring. */
bool typeable(QChar c);
bool isDigit(QChar c);

/** The password box's length label: "Length: ", and when the box holds a space, a space and the count of characters
 * before it. */
QString lengthLabel(QStringView text);

/** The length box's value: its digits as a number, brought down to kMaxLength; 0 when empty. */
int lengthValue(QStringView digits);
} // namespace PasswordGenerator
