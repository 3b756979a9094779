// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/TextLines.h"

namespace TextLines {

QList<QByteArray> split(QByteArrayView content)
{
    QList<QByteArray> lines;
    qsizetype start = 0;
    while (start < content.size()) {
        const qsizetype end = content.indexOf(QByteArrayView(kLineEnd), start);
        if (end < 0) {
            lines.append(content.sliced(start).toByteArray());
            break;
        }
        lines.append(content.sliced(start, end - start).toByteArray());
        start = end + 2;
    }
    return lines;
}

QByteArray terminated(QByteArrayView line)
{
    QByteArray out;
    out.reserve(line.size() + 2);
    out.append(line);
    out.append(kLineEnd, 2);
    return out;
}

bool isStorable(QByteArrayView line)
{
    // A line ending in CR would read back whole ("...\r\r\n" splits at the
    // last pair), so only the pair inside the line is a problem.
    return !line.contains(QByteArrayView(kLineEnd));
}

} // namespace TextLines
