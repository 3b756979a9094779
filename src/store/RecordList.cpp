// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/RecordList.h"

#include "store/RecordLine.h"

#include <QStringEncoder>
#include <QVarLengthArray>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

namespace {
QStringView serviceOf(QStringView line)
{
    // Found by the separator's first character, which Qt looks for many characters at a time.
    const QChar first = RecordLine::kSeparator.front();
    for (qsizetype at = line.indexOf(first); at >= 0; at = line.indexOf(first, at + 1)) {
        if (line.sliced(at).startsWith(RecordLine::kSeparator))
            return line.first(at);
    }
    return line;
}

/**
 * The order without its last tie-break: Service, then the whole line, both
 * without regard to case. Lines equal without regard to case compare equal
 * here, so they sit next to each other in the list.
 */
int compareIgnoringCase(QStringView a, QStringView serviceA, QStringView b, QStringView serviceB)
{
    if (const int c = serviceA.compare(serviceB, Qt::CaseInsensitive))
        return c;
    return a.compare(b, Qt::CaseInsensitive);
}

int compareLines(QStringView a, QStringView serviceA, QStringView b, QStringView serviceB)
{
    if (const int c = compareIgnoringCase(a, serviceA, b, serviceB))
        return c;
    return a.compare(b, Qt::CaseSensitive);
}

/**
 * Appends text to folded with each code unit folded as a comparison without
 * regard to case folds it (a low surrogate as part of its pair, a high one
 * alone), so that a plain comparison of two folded texts orders them as such
 * a comparison of the texts does.
 */
void appendFolded(std::u16string &folded, QStringView text)
{
    char16_t last = 0;
    for (const QChar c : text) {
        char32_t unit = c.unicode();
        if (QChar::isLowSurrogate(unit) && QChar::isHighSurrogate(last))
            unit = QChar::surrogateToUcs4(last, char16_t(unit));
        last = c.unicode();
        // ASCII, as nearly every Service is, folds to lower case.
        const char32_t folded32
            = unit < 0x80 ? (unit >= 'A' && unit <= 'Z' ? unit + 32 : unit) : QChar::toCaseFolded(unit);
        folded.push_back(QChar::requiresSurrogates(unit) ? QChar::lowSurrogate(folded32) : char16_t(folded32));
    }
}

/**
 * The line as UTF-8 in a block of just its size (QString::toUtf8() keeps room
 * for three bytes a character, which would take more than the UTF-16 it saves).
 */
QByteArray compactUtf8(QStringView line)
{
    QVarLengthArray<char, 1024> room(line.size() * 3);
    QStringEncoder encoder(QStringEncoder::Utf8);
    const char *end = encoder.appendToBuffer(room.data(), line);
    return QByteArray(room.constData(), end - room.constData());
}

/** The first index in [0, count) whose item is not before the place sought; before(index) says whether it is. */
template <typename Before> qsizetype partitionPoint(qsizetype count, Before before)
{
    qsizetype low = 0;
    qsizetype high = count;
    while (low < high) {
        const qsizetype middle = low + (high - low) / 2;
        if (before(middle))
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}
} // namespace

QStringList RecordList::items() const
{
    QStringList lines;
    lines.reserve(m_lines.size());
    for (const QByteArray &line : m_lines)
        lines.append(QString::fromUtf8(line));
    return lines;
}

bool RecordList::lessThan(const QString &a, const QString &b)
{
    return compareLines(a, serviceOf(a), b, serviceOf(b)) < 0;
}

void RecordList::assign(const QStringList &lines)
{
    // Each Service is folded once, so that most comparisons are plain ones of code units.
    struct Keyed
    {
        size_t start;
        size_t length;
        qsizetype index;
    };
    std::u16string folded;
    std::vector<Keyed> keyed;
    keyed.reserve(size_t(lines.size()));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const size_t start = folded.size();
        appendFolded(folded, serviceOf(lines.at(i)));
        keyed.push_back({ start, folded.size() - start, i });
    }
    const auto before = [&](const Keyed &a, const Keyed &b) {
        const std::u16string_view serviceA(folded.data() + a.start, a.length);
        const std::u16string_view serviceB(folded.data() + b.start, b.length);
        if (const int c = serviceA.compare(serviceB))
            return c < 0;
        const QString &lineA = lines.at(a.index);
        const QString &lineB = lines.at(b.index);
        return compareLines(lineA, serviceOf(lineA), lineB, serviceOf(lineB)) < 0;
    };
    // Files are written in this order, so most loads need no sorting at all.
    if (!std::is_sorted(keyed.cbegin(), keyed.cend(), before))
        std::stable_sort(keyed.begin(), keyed.end(), before);

    m_lines.clear();
    m_lines.reserve(lines.size());
    for (const Keyed &k : keyed)
        m_lines.append(compactUtf8(lines.at(k.index)));
}

qsizetype RecordList::insertionIndex(const QString &line) const
{
    const QStringView service = serviceOf(line);
    // After any equal item: a new line goes behind its exact twins.
    return partitionPoint(count(), [&](qsizetype i) {
        const QString at = item(i);
        return compareLines(line, service, at, serviceOf(at)) >= 0;
    });
}

qsizetype RecordList::insert(const QString &line)
{
    const qsizetype index = insertionIndex(line);
    m_lines.insert(index, compactUtf8(line));
    return index;
}

void RecordList::insertAll(QStringList lines)
{
    RecordList added;
    added.assign(std::move(lines));
    // One pass through both orders rather than a search and a shift for every new line.
    QList<QByteArray> merged;
    merged.reserve(m_lines.size() + added.count());
    std::merge(m_lines.cbegin(), m_lines.cend(), added.m_lines.cbegin(), added.m_lines.cend(),
        std::back_inserter(merged),
        [](const QByteArray &a, const QByteArray &b) { return lessThan(QString::fromUtf8(a), QString::fromUtf8(b)); });
    m_lines = std::move(merged);
}

void RecordList::removeAt(qsizetype index)
{
    m_lines.removeAt(index);
}

qsizetype RecordList::replacementIndex(qsizetype index, const QString &line) const
{
    const qsizetype at = insertionIndex(line);
    // The item being replaced counts among those before the place when it
    // lies before it; it is gone once the line takes its place.
    return at > index ? at - 1 : at;
}

qsizetype RecordList::replace(qsizetype index, const QString &line)
{
    const qsizetype to = replacementIndex(index, line);
    if (to == index) {
        m_lines[index] = compactUtf8(line);
    } else {
        m_lines.removeAt(index);
        m_lines.insert(to, compactUtf8(line));
    }
    return to;
}

bool RecordList::containsIgnoringCase(const QString &line) const
{
    const QStringView service = serviceOf(line);
    const qsizetype at = partitionPoint(count(), [&](qsizetype i) {
        const QString candidate = item(i);
        return compareIgnoringCase(candidate, serviceOf(candidate), line, service) < 0;
    });
    return at < count() && item(at).compare(line, Qt::CaseInsensitive) == 0;
}

bool RecordList::containsExactly(const QString &line) const
{
    const QStringView service = serviceOf(line);
    const qsizetype at = partitionPoint(count(), [&](qsizetype i) {
        const QString candidate = item(i);
        return compareLines(candidate, serviceOf(candidate), line, service) < 0;
    });
    return at < count() && item(at) == line;
}
