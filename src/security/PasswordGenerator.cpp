// SPDX-License-Identifier: GPL-3.0-or-later
#include "PasswordGenerator.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace PasswordGenerator {

int lengthOf(Strength strength, int higherLength)
{
    switch (strength) {
    case Strength::Normal:
        return 6;
    case Strength::High:
        return 8;
    case Strength::Higher:
        break;
    }
    return std::clamp(higherLength, 0, kMaxLength);
}

bool canDraw(Strength strength, int code)
{
    if ((code >= 49 && code <= 57) || (code >= 65 && code <= 90))
        return true;
    return strength == Strength::Higher && code >= 97 && code <= 122;
}

QString generate(Strength strength, int length, QRandomGenerator &random)
{
    QString password;
    password.reserve(length);
    for (int i = 0; i < length; ++i) {
        int code = 0;
        do {
            code = int(random.generateDouble() * 255) + 1;
        } while (!canDraw(strength, code));
        password.append(QChar(char16_t(code)));
    }
    return password;
}

QString pieces(QStringView password)
{
    QString text;
    text.reserve(password.size() + (password.size() / kPieceLength + 1) * 2);
    for (qsizetype at = 0; at < password.size(); at += kPieceLength)
        text.append(password.sliced(at, std::min<qsizetype>(kPieceLength, password.size() - at))).append(u"\r\n");
    return text;
}

Kept keepOnly(QStringView text, bool (*keep)(QChar))
{
    // Removing the first refused character and looking again from the start
    // removes them all from left to right; the caret follows the last one.
    Kept kept;
    kept.text.reserve(text.size());
    for (QChar c : text) {
        if (keep(c)) {
            kept.text.append(c);
        } else {
            const int position = int(kept.text.size()) + 1;
            kept.caret = position;
        }
    }
    if (kept.caret > kept.text.size())
        kept.caret = int(kept.text.size());
    return kept;
}

bool inAlphabet(QChar c)
{
    return kAlphabet.contains(c);
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

QString lengthLabel(QStringView text)
{
    QString label = u"Length: "_s;
    const qsizetype space = text.indexOf(u' ');
    if (space >= 0)
        label += u' ' + QString::number(space);
    return label;
}

int lengthValue(QStringView digits)
{
    // At most five digits reach the box; anything above the largest count is brought down to it.
    if (digits.size() > 5)
        return kMaxLength;
    return std::min(digits.toInt(), kMaxLength);
}

} // namespace PasswordGenerator
