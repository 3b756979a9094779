// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

#include <optional>
#include <vector>

class RecordTableModel;

/**
 * Finds records by their text for the Find window and the grid's type-ahead,
 * in the grid's order and without changing the records or that order. The
 * Service, Path, Username and Info of each record are searched; the Password
 * never is. Letter case does not count.
 *
 * prepare() (or else the first search) makes a case-folded copy of the
 * searched fields, one block of text for all records, and every change of
 * the records that the model reports updates it in place, so that each search
 * reads that block once at most, however many records there are.
 */
class RecordFinder : public QObject
{
    Q_OBJECT

public:
    enum class Direction { Forward, Backward };

    explicit RecordFinder(const RecordTableModel &records, QObject *parent = nullptr);

    /**
     * The row of the first record that holds text in one of its searched fields, trying row from
     * first, then the rows after it (Forward) or before it (Backward), round the end of the list;
     * -1 when no record holds it or text is empty. from is taken round the list too: -1 is the
     * last row, the row count the first.
     */
    int find(QStringView text, int from, Direction direction = Direction::Forward) const;

    /**
     * The row of the first record whose Service begins with prefix, trying row from first, then
     * the rows after it, round the end of the list; -1 when none does or prefix is empty.
     */
    int findService(QStringView prefix, int from) const;

    /** Makes the copy of the records the searches read now, so that no search waits for it. */
    void prepare() const { build(); }

private:
    struct Search
    {
        QString needle; ///< the text, case-folded
        int start; ///< the row tried first
        int count; ///< the rows there are
    };
    /** A search for text from row from; nullopt when no record can hold text. */
    std::optional<Search> begin(QStringView text, int from) const;
    /** The searched text of row: each searched field case-folded and ended by a line feed. */
    QString rowText(int row) const;
    void build() const;
    /** All the records were read again: the copy is made again, if there was one. */
    void renew();
    void insertRow(int row);
    void removeRow(int row);
    /** The row whose text holds position at of the block. */
    int rowAt(qsizetype at) const;
    /** The first row of rows first to end (not included) whose text holds needle; -1 for none. */
    int firstRow(QStringView needle, int first, int end) const;
    /** The last row of rows first to end (not included) whose text holds needle; -1 for none. */
    int lastRow(QStringView needle, int first, int end) const;
    /** The text of rows first to end (not included). */
    QStringView rows(int first, int end) const;

    const RecordTableModel &m_records;
    /** The searched text of every record, in row order; made by the first search. */
    mutable QString m_text;
    /** Where each row's text begins in m_text, and its length as the last item. */
    mutable std::vector<qsizetype> m_starts;
    mutable bool m_built = false;
};
