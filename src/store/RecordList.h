// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
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
    QString item(qsizetype index) const { return QString::fromUtf8(m_lines.at(index)); }
    QStringList items() const;

    /** Replaces every item; the lines are put in order. */
    void assign(const QStringList &lines);
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

    /** The same items in the same order. */
    friend bool operator==(const RecordList &a, const RecordList &b) { return a.m_lines == b.m_lines; }

private:
    // As UTF-8: record lines are nearly all ASCII, which takes half the memory of a QString's
    // UTF-16 (32,767 records of 144 characters: 6.5 MB rather than 11.3 MB).
    QList<QByteArray> m_lines;
};
