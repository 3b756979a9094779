// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QTableView>

class RecordFinder;

/**
 * The record grid Grid1. Letters typed into it quickly one after another
 * jump to the first record whose Service begins with them, from the row
 * after the current one and round the end, as Qt's item views do; the same
 * letter typed again goes on to the next Service that begins with it. The
 * grid only says which row was found: the window selects it.
 */
class RecordGrid : public QTableView
{
    Q_OBJECT

public:
    explicit RecordGrid(QWidget *parent = nullptr);

    /** Where the type-ahead looks; without one, typing finds nothing. */
    void setFinder(const RecordFinder *finder) { m_finder = finder; }

    void keyboardSearch(const QString &search) override;

Q_SIGNALS:
    /** The letters typed found the record of row. */
    void rowTyped(int row);

private:
    const RecordFinder *m_finder = nullptr;
    /** The letters typed so far, and when the last one came. */
    QString m_typed;
    QElapsedTimer m_lastTyped;
};
