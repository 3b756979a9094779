// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Windows1252.h"

#include <array>

namespace {
// Bytes 0x80 to 0x9F; all others are the Latin-1 character of the same value.
// 0x81, 0x8D, 0x8F, 0x90 and 0x9D are not assigned and stand for themselves.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC,
    0x0081,
    0x201A,
    0x0192,
    0x201E,
    0x2026,
    0x2020,
    0x2021,
    0x02C6,
    0x2030,
    0x0160,
    0x2039,
    0x0152,
    0x008D,
    0x017D,
    0x008F,
    0x0090,
    0x2018,
    0x2019,
    0x201C,
    0x201D,
    0x2022,
    0x2013,
    0x2014,
    0x02DC,
    0x2122,
    0x0161,
    0x203A,
    0x0153,
    0x009D,
    0x017E,
    0x0178,
};

std::optional<char> toByte(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return char(c);
    for (size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == c)
            return char(0x80 + i);
    }
    return std::nullopt;
}
} // namespace

namespace Windows1252 {

QString decode(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        out[i] = (b >= 0x80 && b < 0xA0) ? QChar(kHighControls[b - 0x80]) : QChar(char16_t(b));
    }
    return text;
}

QByteArray encode(QStringView text, bool *ok)
{
    QByteArray bytes(text.size(), Qt::Uninitialized);
    bool all = true;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const std::optional<char> b = toByte(text[i].unicode());
        all = all && b.has_value();
        bytes[i] = b.value_or('?');
    }
    if (ok)
        *ok = all;
    return bytes;
}

std::optional<QChar> firstUnencodable(QStringView text)
{
    for (QChar c : text) {
        if (!toByte(c.unicode()))
            return c;
    }
    return std::nullopt;
}

} // namespace Windows1252
