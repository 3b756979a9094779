// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

/**
 * The record list List1: the one copy of the records while the program
 * runs, plain record lines in one order that the grid shows unchanged:
 * by Service without regard to case, then by the whole line without regard
 * to case, then by the exact line.
 */
class RecordList
{
public:
    qsizetype count() const { return m_lines.size(); }
    const QString &item(qsizetype index) const { return m_lines.at(index); }
    const QStringList &items() const { return m_lines; }

    /** Replaces every item; the lines are put in order. */
    void assign(QStringList lines);
    /** Inserts line at its place in the order and returns its index. */
    qsizetype insert(const QString &line);
    /** Inserts every line at its place, each behind the items equal to it. */
    void insertAll(QStringList lines);
    void removeAt(qsizetype index);
    /** Replaces item index by line, moves it to its place in the order and returns its new index. */
    qsizetype replace(qsizetype index, const QString &line);

    /** The index line would take if inserted now (behind any item equal to it). */
    qsizetype insertionIndex(const QString &line) const;
    /** The index item index would have after replace(index, line). */
    qsizetype replacementIndex(qsizetype index, const QString &line) const;
    /** Whether an item equals line without regard to case (the duplicate test of Add). */
    bool containsIgnoringCase(const QString &line) const;
    /** Whether an item equals line exactly (the no-change test of Replace). */
    bool containsExactly(const QString &line) const;

    /** The order of the list: true when a comes before b. */
    static bool lessThan(const QString &a, const QString &b);

private:
    QStringList m_lines;
};
