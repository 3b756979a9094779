// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/RecordList.h"

#include <QAbstractTableModel>

/**
 * The record grid's model: it presents the record list itself, one row per
 * item in the list's order (model row r is list item r),
 * six columns Service, Path, Username, Password (one "*" per character),
 * Info and the record date (no header). Every change of the records goes
 * through here, so views always hear of it.
 */
class RecordTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit RecordTableModel(QObject *parent = nullptr);

    /** The record list List1, read-only; change it through the functions below. */
    const RecordList &List1() const { return m_list; }

    void setLines(QStringList lines);
    /** Inserts line at its place and returns its row. */
    int insertLine(const QString &line);
    void removeLine(int row);
    /** Replaces row's line; the record moves to its place in the order. Returns its new row. */
    int replaceLine(int row, const QString &line);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    RecordList m_list;
};
