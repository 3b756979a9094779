// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/RecordFinder.h"

#include "store/RecordLine.h"
#include "store/RecordTableModel.h"

#include <algorithm>
#include <array>
#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {
/** Ends each field in the block: no record line holds one, so no match runs from one field into the next. */
constexpr char16_t kFieldEnd = u'\n';

constexpr std::array<RecordLine::Field, 4> kSearched
    = { RecordLine::Service, RecordLine::Path, RecordLine::Username, RecordLine::Info };

char16_t fold(char16_t c)
{
    if (c < 0x80)
        return c >= u'A' && c <= u'Z' ? char16_t(c + (u'a' - u'A')) : c;
    return char16_t(QChar::toCaseFolded(char32_t(c)));
}

void appendFolded(QString &to, QStringView text)
{
    const qsizetype at = to.size();
    to.resize(at + text.size());
    char16_t *out = reinterpret_cast<char16_t *>(to.data()) + at;
    for (const QChar c : text)
        *out++ = fold(c.unicode());
}

/** Appends the searched fields of line, each folded and ended by kFieldEnd. */
void appendSearched(QString &to, QStringView line)
{
    const RecordLine::ValueViews values = RecordLine::splitViews(line);
    for (const RecordLine::Field field : kSearched) {
        appendFolded(to, values[field]);
        to.append(QChar(kFieldEnd));
    }
}

QString folded(QStringView text)
{
    QString result;
    appendFolded(result, text);
    return result;
}

/** Where needle first stands in haystack from position from on; -1 when it does not. */
qsizetype indexIn(QStringView haystack, QStringView needle, qsizetype from)
{
    if (needle.size() == 1)
        return haystack.indexOf(needle.front(), from);
    // The places where the needle's first two characters stand are few even in a text of the
    // commonest letters; only there is the rest compared.
    const char16_t *text = haystack.utf16();
    const char16_t first = needle[0].unicode();
    const char16_t second = needle[1].unicode();
    const QStringView rest = needle.sliced(2);
    const qsizetype last = haystack.size() - needle.size();
    auto restAt = [&](qsizetype at) { return haystack.sliced(at + 2, rest.size()) == rest; };
    qsizetype at = from;
#if defined(__SSE2__)
    // Eight places at a time.
    const __m128i firsts = _mm_set1_epi16(short(first));
    const __m128i seconds = _mm_set1_epi16(short(second));
    for (; at + 9 <= haystack.size(); at += 8) {
        const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i *>(text + at));
        const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i *>(text + at + 1));
        // Two bits for each place where both characters stand.
        auto places
            = unsigned(_mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi16(here, firsts), _mm_cmpeq_epi16(next, seconds))));
        while (places) {
            const int bit = std::countr_zero(places);
            const qsizetype place = at + bit / 2;
            if (place > last)
                return -1;
            if (restAt(place))
                return place;
            places &= ~(3U << bit);
        }
    }
#endif
    for (; at <= last; ++at) {
        if (text[at] == first && text[at + 1] == second && restAt(at))
            return at;
    }
    return -1;
}

/** Text no field can hold, so nothing can match it. */
bool unmatchable(QStringView text)
{
    return text.isEmpty() || text.contains(QChar(kFieldEnd));
}
} // namespace

RecordFinder::RecordFinder(const RecordTableModel &records, QObject *parent)
    : QObject(parent)
    , m_records(records)
{
    // Every change the model reports is made to the block at once, so a search never waits for
    // the whole block to be made again after a record is filed.
    connect(&records, &QAbstractItemModel::modelReset, this, &RecordFinder::renew);
    connect(&records, &QAbstractItemModel::layoutChanged, this, &RecordFinder::renew);
    connect(&records, &QAbstractItemModel::rowsInserted, this, [this](const QModelIndex &, int first, int last) {
        for (int row = first; row <= last; ++row)
            insertRow(row);
    });
    connect(&records, &QAbstractItemModel::rowsRemoved, this, [this](const QModelIndex &, int first, int last) {
        for (int row = last; row >= first; --row)
            removeRow(row);
    });
    connect(&records, &QAbstractItemModel::rowsMoved, this,
        [this](const QModelIndex &, int first, int last, const QModelIndex &, int before) {
            if (first != last) {
                renew();
                return;
            }
            removeRow(first);
            insertRow(before > first ? before - 1 : before);
        });
    connect(&records, &QAbstractItemModel::dataChanged, this, [this](const QModelIndex &from, const QModelIndex &to) {
        for (int row = from.row(); row <= to.row(); ++row) {
            removeRow(row);
            insertRow(row);
        }
    });
}

std::optional<RecordFinder::Search> RecordFinder::begin(QStringView text, int from) const
{
    const int count = m_records.rowCount();
    if (unmatchable(text) || count == 0)
        return std::nullopt;
    build();
    return Search { folded(text), (from % count + count) % count, count };
}

int RecordFinder::find(QStringView text, int from, Direction direction) const
{
    const std::optional<Search> search = begin(text, from);
    if (!search)
        return -1;
    const auto &[needle, start, count] = *search;
    if (direction == Direction::Forward) {
        const int row = firstRow(needle, start, count);
        return row >= 0 ? row : firstRow(needle, 0, start);
    }
    const int row = lastRow(needle, 0, start + 1);
    return row >= 0 ? row : lastRow(needle, start + 1, count);
}

int RecordFinder::findService(QStringView prefix, int from) const
{
    const std::optional<Search> search = begin(prefix, from);
    if (!search)
        return -1;
    for (int i = 0; i < search->count; ++i) {
        const int row = (search->start + i) % search->count;
        // The Service comes first and ends at a line feed, which no prefix holds.
        if (rows(row, row + 1).startsWith(search->needle))
            return row;
    }
    return -1;
}

QString RecordFinder::rowText(int row) const
{
    QString text;
    appendSearched(text, m_records.List1().item(row));
    return text;
}

void RecordFinder::build() const
{
    const int count = m_records.rowCount();
    if (m_built && qsizetype(m_starts.size()) == qsizetype(count) + 1)
        return;
    // The list keeps its lines as UTF-8: each is turned into text once, here.
    const QStringList lines = m_records.List1().items();
    qsizetype size = 0;
    for (const QString &line : lines)
        size += line.size();
    m_text.clear();
    m_text.reserve(size);
    m_starts.clear();
    m_starts.reserve(size_t(count) + 1);
    for (const QString &line : lines) {
        m_starts.push_back(m_text.size());
        appendSearched(m_text, line);
    }
    m_starts.push_back(m_text.size());
    m_built = true;
}

void RecordFinder::renew()
{
    if (!m_built)
        return;
    m_built = false;
    build();
}

void RecordFinder::insertRow(int row)
{
    if (!m_built)
        return;
    const QString text = rowText(row);
    const qsizetype at = m_starts[size_t(row)];
    m_text.insert(at, text);
    m_starts.insert(m_starts.begin() + row, at);
    for (auto start = m_starts.begin() + row + 1; start != m_starts.end(); ++start)
        *start += text.size();
}

void RecordFinder::removeRow(int row)
{
    if (!m_built)
        return;
    const qsizetype at = m_starts[size_t(row)];
    const qsizetype length = m_starts[size_t(row) + 1] - at;
    m_text.remove(at, length);
    m_starts.erase(m_starts.begin() + row);
    for (auto start = m_starts.begin() + row; start != m_starts.end(); ++start)
        *start -= length;
}

int RecordFinder::rowAt(qsizetype at) const
{
    return int(std::upper_bound(m_starts.cbegin(), m_starts.cend(), at) - m_starts.cbegin()) - 1;
}

QStringView RecordFinder::rows(int first, int end) const
{
    const qsizetype from = m_starts[size_t(first)];
    return QStringView(m_text).sliced(from, m_starts[size_t(end)] - from);
}

int RecordFinder::firstRow(QStringView needle, int first, int end) const
{
    if (first >= end)
        return -1;
    const qsizetype at = indexIn(rows(first, end), needle, 0);
    return at < 0 ? -1 : rowAt(m_starts[size_t(first)] + at);
}

int RecordFinder::lastRow(QStringView needle, int first, int end) const
{
    if (first >= end)
        return -1;
    const QStringView text = rows(first, end);
    const qsizetype base = m_starts[size_t(first)];
    int found = -1;
    // Forward through the rows, one match each: the block is read once, as in a forward search.
    for (qsizetype at = indexIn(text, needle, 0); at >= 0;) {
        found = rowAt(base + at);
        at = indexIn(text, needle, m_starts[size_t(found) + 1] - base);
    }
    return found;
}
