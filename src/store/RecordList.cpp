// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/RecordList.h"

#include "store/RecordLine.h"

#include <algorithm>
#include <iterator>
#include <vector>

namespace {
QStringView serviceOf(QStringView line)
{
    const qsizetype at = line.indexOf(RecordLine::kSeparator);
    return at < 0 ? line : line.first(at);
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
} // namespace

bool RecordList::lessThan(const QString &a, const QString &b)
{
    return compareLines(a, serviceOf(a), b, serviceOf(b)) < 0;
}

void RecordList::assign(QStringList lines)
{
    m_lines = std::move(lines);
    // Files are written in this order, so most loads need no sorting at all.
    if (std::is_sorted(m_lines.cbegin(), m_lines.cend(), &RecordList::lessThan))
        return;

    // Find each Service once rather than in every comparison.
    struct Keyed
    {
        QStringView service;
        qsizetype index;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(size_t(m_lines.size()));
    for (qsizetype i = 0; i < m_lines.size(); ++i)
        keyed.push_back({ serviceOf(m_lines.at(i)), i });
    std::stable_sort(keyed.begin(), keyed.end(), [this](const Keyed &a, const Keyed &b) {
        return compareLines(m_lines.at(a.index), a.service, m_lines.at(b.index), b.service) < 0;
    });
    QStringList sorted;
    sorted.reserve(m_lines.size());
    for (const Keyed &k : keyed)
        sorted.append(m_lines.at(k.index));
    m_lines = std::move(sorted);
}

qsizetype RecordList::insertionIndex(const QString &line) const
{
    const QStringView service = serviceOf(line);
    // After any equal item: a new line goes behind its exact twins.
    const auto at
        = std::upper_bound(m_lines.cbegin(), m_lines.cend(), line, [service](const QString &l, const QString &item) {
              return compareLines(l, service, item, serviceOf(item)) < 0;
          });
    return at - m_lines.cbegin();
}

qsizetype RecordList::insert(const QString &line)
{
    const qsizetype index = insertionIndex(line);
    m_lines.insert(index, line);
    return index;
}

void RecordList::insertAll(QStringList lines)
{
    RecordList added;
    added.assign(std::move(lines));
    // One pass through both orders rather than a search and a shift for every new line.
    QStringList merged;
    merged.reserve(m_lines.size() + added.count());
    std::merge(m_lines.cbegin(), m_lines.cend(), added.m_lines.cbegin(), added.m_lines.cend(),
        std::back_inserter(merged), &RecordList::lessThan);
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
        m_lines[index] = line;
    } else {
        m_lines.removeAt(index);
        m_lines.insert(to, line);
    }
    return to;
}

bool RecordList::containsIgnoringCase(const QString &line) const
{
    const QStringView service = serviceOf(line);
    const auto at
        = std::lower_bound(m_lines.cbegin(), m_lines.cend(), line, [service](const QString &item, const QString &l) {
              return compareIgnoringCase(item, serviceOf(item), l, service) < 0;
          });
    return at != m_lines.cend() && at->compare(line, Qt::CaseInsensitive) == 0;
}

bool RecordList::containsExactly(const QString &line) const
{
    const QStringView service = serviceOf(line);
    const auto at
        = std::lower_bound(m_lines.cbegin(), m_lines.cend(), line, [service](const QString &item, const QString &l) {
              return compareLines(item, serviceOf(item), l, service) < 0;
          });
    return at != m_lines.cend() && *at == line;
}
