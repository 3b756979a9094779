// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/EditBoxes.h"

#include "mainwindow/InfoEdit.h"

#include <QLineEdit>

QLineEdit *EditBoxes::lineBox(RecordLine::Field field) const
{
    return field == RecordLine::Info ? nullptr : static_cast<QLineEdit *>(Text1[field]);
}

InfoEdit *EditBoxes::infoBox() const
{
    return static_cast<InfoEdit *>(Text1[RecordLine::Info]);
}

QString EditBoxes::text(RecordLine::Field field) const
{
    return field == RecordLine::Info ? infoBox()->text() : lineBox(field)->text();
}

void EditBoxes::setText(RecordLine::Field field, const QString &text) const
{
    if (field == RecordLine::Info)
        infoBox()->setText(text);
    else
        lineBox(field)->setText(text);
}

RecordLine::Texts EditBoxes::texts() const
{
    RecordLine::Texts texts;
    for (int field = RecordLine::Service; field <= RecordLine::Info; ++field)
        texts[field] = text(RecordLine::Field(field));
    return texts;
}

void EditBoxes::setTexts(const RecordLine::Texts &texts) const
{
    for (int field = RecordLine::Service; field <= RecordLine::Info; ++field)
        setText(RecordLine::Field(field), texts[field]);
}

void EditBoxes::caretToEnd(RecordLine::Field field) const
{
    if (field == RecordLine::Info)
        infoBox()->end();
    else
        lineBox(field)->end(false);
}

std::optional<RecordLine::Field> EditBoxes::fieldOf(const QObject *box) const
{
    if (box == infoBox()->viewport())
        return RecordLine::Info;
    for (int field = RecordLine::Service; field <= RecordLine::Info; ++field) {
        if (Text1[field] == box)
            return RecordLine::Field(field);
    }
    return std::nullopt;
}
