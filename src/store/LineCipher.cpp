// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/LineCipher.h"

void LineCipher(QByteArrayView text, QByteArrayView key, QByteArray &out)
{
    if (key.isEmpty() || text.isEmpty())
        return;
    const qsizetype start = out.size();
    out.resize(start + text.size());
    auto *dst = reinterpret_cast<unsigned char *>(out.data()) + start;
    const auto *src = reinterpret_cast<const unsigned char *>(text.data());
    const auto *k = reinterpret_cast<const unsigned char *>(key.data());
    const qsizetype n = text.size();
    const qsizetype keyLength = key.size();
    qsizetype kpos = 0;
    for (qsizetype i = 0; i < n; ++i) {
        // 255 - x is x XOR 255 for every byte, so this is its own inverse.
        dst[i] = static_cast<unsigned char>(~(k[kpos] ^ src[i]));
        if (++kpos == keyLength)
            kpos = 0;
    }
}

QByteArray LineCipher(QByteArrayView text, QByteArrayView key)
{
    QByteArray out;
    LineCipher(text, key, out);
    return out;
}
