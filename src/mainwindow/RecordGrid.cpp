// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/RecordGrid.h"

#include "store/RecordFinder.h"

#include <QApplication>

RecordGrid::RecordGrid(QWidget *parent)
    : QTableView(parent)
{ }

void RecordGrid::keyboardSearch(const QString &search)
{
    const int count = model() ? model()->rowCount() : 0;
    if (!m_finder || count == 0)
        return;
    // The rules of QAbstractItemView::keyboardSearch, with the Service column searched whichever
    // column is current, and the record list's own search in place of the model's.
    const bool current = currentIndex().isValid();
    bool skipCurrent = false;
    const bool continues = m_lastTyped.isValid() && m_lastTyped.elapsed() <= QApplication::keyboardInputInterval();
    m_lastTyped.start();
    if (search.isEmpty() || !continues) {
        m_typed = search;
        skipCurrent = current;
    } else {
        m_typed += search;
    }
    if (m_typed.isEmpty())
        return;
    // The same letter again and again steps through the Services that begin with it.
    const bool sameLetter = m_typed.count(m_typed.back()) == m_typed.size();
    if (m_typed.size() > 1 && sameLetter)
        skipCurrent = true;
    const int start = current ? currentIndex().row() + (skipCurrent ? 1 : 0) : 0;
    const int row = m_finder->findService(sameLetter ? m_typed.first(1) : m_typed, start);
    if (row >= 0)
        Q_EMIT rowTyped(row);
}
