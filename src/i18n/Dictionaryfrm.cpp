// SPDX-License-Identifier: GPL-3.0-or-later
#include "i18n/Dictionaryfrm.h"

#include "i18n/Language.h"

#include <QListWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

Dictionaryfrm::Dictionaryfrm(QWidget *parent)
    : QWidget(parent)
    , List1(new QListWidget(this))
{
    setObjectName(u"Dictionaryfrm"_s);
    setWindowTitle(u"Dictionary"_s);
    List1->setObjectName(u"List1"_s);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(List1);
    connect(List1, &QListWidget::itemClicked, this, &Dictionaryfrm::List1_Click);
    reload();
}

void Dictionaryfrm::reload()
{
    List1->clear();
    List1->addItems(Language::entries());
}

void Dictionaryfrm::List1_Click(QListWidgetItem *item)
{
    List1->setToolTip(QString::number(List1->row(item)));
}
