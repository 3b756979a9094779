// SPDX-License-Identifier: GPL-3.0-or-later
#include "security/PasswordGenerator.h"

#include <algorithm>
#include <array>
#include <limits>

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

namespace {
/**
 * Uniform numbers in [0, 1) as QRandomGenerator::generateDouble() makes
 * them (53 bits of a 64-bit draw), read from the source in batches: the
 * system source costs a system call per read.
 */
class Draws
{
public:
    explicit Draws(QRandomGenerator &random)
        : m_random(random)
    { }
    ~Draws() { m_buffer.fill(0); }
    Draws(const Draws &) = delete;
    Draws &operator=(const Draws &) = delete;

    double next()
    {
        if (m_next == m_buffer.size()) {
            m_random.fillRange(m_buffer.data(), qsizetype(m_buffer.size()));
            m_next = 0;
        }
        constexpr int kBits = std::numeric_limits<double>::digits;
        return double(m_buffer[m_next++] >> (64 - kBits)) / double(quint64(1) << kBits);
    }

private:
    QRandomGenerator &m_random;
    std::array<quint64, 256> m_buffer {};
    size_t m_next = m_buffer.size();
};
} // namespace

QString generate(Strength strength, int length, QRandomGenerator &random)
{
    QString password;
    password.reserve(length);
    Draws draws(random);
    for (int i = 0; i < length; ++i) {
        int code = 0;
        do {
            code = int(draws.next() * 255) + 1;
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

bool typeable(QChar c)
{
    return c.isPrint() && c.category() != QChar::Separator_Line && c.category() != QChar::Separator_Paragraph;
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
