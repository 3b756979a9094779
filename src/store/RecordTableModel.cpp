// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/RecordTableModel.h"

#include "store/RecordFields.h"
#include "store/RecordLine.h"

using namespace Qt::StringLiterals;

RecordTableModel::RecordTableModel(QObject *parent)
    : QAbstractTableModel(parent)
{ }

void RecordTableModel::setLines(QStringList lines)
{
    beginResetModel();
    m_list.assign(std::move(lines));
    endResetModel();
}

int RecordTableModel::insertLine(const QString &line)
{
    const int row = int(m_list.insertionIndex(line));
    beginInsertRows({}, row, row);
    m_list.insert(line);
    endInsertRows();
    return row;
}

void RecordTableModel::removeLine(int row)
{
    if (row < 0 || row >= m_list.count())
        return;
    beginRemoveRows({}, row, row);
    m_list.removeAt(row);
    endRemoveRows();
}

int RecordTableModel::replaceLine(int row, const QString &line)
{
    if (row < 0 || row >= m_list.count())
        return -1;
    const int to = int(m_list.replacementIndex(row, line));
    const bool moves = to != row;
    // A move names the place before which the row lands, counted before the move.
    if (moves)
        beginMoveRows({}, row, row, {}, to > row ? to + 1 : to);
    m_list.replace(row, line);
    if (moves)
        endMoveRows();
    Q_EMIT dataChanged(index(to, 0), index(to, columnCount() - 1));
    return to;
}

int RecordTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_list.count());
}

int RecordTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : RecordLine::kFieldCount;
}

QVariant RecordTableModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const RecordLine::Values values = RecordLine::split(m_list.item(index.row()));
    const QString &value = values[size_t(index.column())];
    // The real password stays in the list; the grid shows only its length.
    if (index.column() == RecordLine::Password)
        return QString(value.size(), u'*');
    return value;
}

QVariant RecordTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < RecordLine::kFieldCount)
        return RecordFields::all[size_t(section)].header.toString();
    return QAbstractTableModel::headerData(section, orientation, role);
}
