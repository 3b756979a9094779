// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QListWidget;
class QListWidgetItem;

/**
 * The language table as a list, for developers checking a language file:
 * item i is entry i, and clicking an item shows its index as the list's
 * tooltip. The program itself reads the table through Language::entry()
 * and never shows this window.
 */
class Dictionaryfrm : public QWidget
{
    Q_OBJECT

public:
    explicit Dictionaryfrm(QWidget *parent = nullptr);

    /** Fills List1 from the current language table. */
    void reload();

    QListWidget *List1;

private:
    void List1_Click(QListWidgetItem *item);
};
