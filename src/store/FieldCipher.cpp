// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/FieldCipher.h"

#include <array>

namespace {
// The substitute of kAlphabet[i] is kSubstitutes[i]. Fixed for good: every
// stored database depends on it. No character stands for itself.
constexpr char kSubstitutes[] = "a54ky7gMXZTEPVqim1zl0F9rAvbew:YJUoISxOhCdNDK6RHpnt2Gs8WucfBL3jQ";
static_assert(sizeof(kSubstitutes) == sizeof(FieldCipher::kAlphabet));

struct Tables
{
    std::array<unsigned char, 256> forward {};
    std::array<unsigned char, 256> backward {};
};

constexpr Tables makeTables()
{
    Tables t;
    for (int b = 0; b < 256; ++b) {
        t.forward[b] = static_cast<unsigned char>(b);
        t.backward[b] = static_cast<unsigned char>(b);
    }
    for (size_t i = 0; i + 1 < sizeof(kSubstitutes); ++i) {
        const auto plain = static_cast<unsigned char>(FieldCipher::kAlphabet[i]);
        const auto cipher = static_cast<unsigned char>(kSubstitutes[i]);
        t.forward[plain] = cipher;
        t.backward[cipher] = plain;
    }
    return t;
}

constexpr Tables kTables = makeTables();

constexpr bool isPermutation()
{
    std::array<int, 256> seen {};
    for (size_t i = 0; i + 1 < sizeof(kSubstitutes); ++i)
        ++seen[static_cast<unsigned char>(kSubstitutes[i])];
    for (size_t i = 0; i + 1 < sizeof(FieldCipher::kAlphabet); ++i) {
        if (seen[static_cast<unsigned char>(FieldCipher::kAlphabet[i])] != 1)
            return false;
    }
    return true;
}
static_assert(isPermutation(), "the substitutes must be the alphabet in another order");

inline QChar mapChar(QChar c, const std::array<unsigned char, 256> &table)
{
    const char16_t u = c.unicode();
    return u < 128 ? QChar(char16_t(table[u])) : c;
}

void mapBytes(QByteArray &line, const std::array<unsigned char, 256> &table)
{
    auto *p = reinterpret_cast<unsigned char *>(line.data());
    const qsizetype n = line.size();
    for (qsizetype i = 0; i < n; ++i)
        p[i] = table[p[i]];
}

QString mapString(QStringView line, const std::array<unsigned char, 256> &table)
{
    QString out(line.size(), Qt::Uninitialized);
    QChar *dst = out.data();
    for (qsizetype i = 0; i < line.size(); ++i)
        dst[i] = mapChar(line[i], table);
    return out;
}
} // namespace

namespace FieldCipher {

void FieldEncipherChar(QChar CurChar, QString &CipherOut)
{
    CipherOut.append(mapChar(CurChar, kTables.forward));
}

QChar FieldDecipher(QStringView line, QString &out)
{
    for (QChar c : line)
        out.append(mapChar(c, kTables.backward));
    return line.isEmpty() ? QChar() : line.back();
}

QString encipher(QStringView line)
{
    return mapString(line, kTables.forward);
}

QString decipher(QStringView line)
{
    return mapString(line, kTables.backward);
}

void encipherBytes(QByteArray &line)
{
    mapBytes(line, kTables.forward);
}

void decipherBytes(QByteArray &line)
{
    mapBytes(line, kTables.backward);
}

} // namespace FieldCipher
