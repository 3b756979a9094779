// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/RecordLine.h"

#include <QString>

#include <array>
#include <optional>

class InfoEdit;
class QLineEdit;
class QObject;
class QWidget;

/**
 * The five edit boxes Text1(0) to Text1(4), each the box of the record field
 * of its index, and their texts by field. A copy refers to the same boxes.
 */
struct EditBoxes
{
    /** 0 Service, 1 Path, 2 Username, 3 Password (QLineEdit), 4 Info (InfoEdit). */
    std::array<QWidget *, RecordLine::kTypedFieldCount> Text1 {};

    /** The box of field as a line edit; nullptr for Info, which is no line edit. */
    QLineEdit *lineBox(RecordLine::Field field) const;
    InfoEdit *infoBox() const;
    /** The text of the box of field, whatever its kind. */
    QString text(RecordLine::Field field) const;
    void setText(RecordLine::Field field, const QString &text) const;
    /** The five texts, in field order. */
    RecordLine::Texts texts() const;
    void setTexts(const RecordLine::Texts &texts) const;
    /** Puts the caret after the last character of the box of field. */
    void caretToEnd(RecordLine::Field field) const;
    /** The field whose box is box (the Info box's viewport counts as the Info box); nullopt for any other object. */
    std::optional<RecordLine::Field> fieldOf(const QObject *box) const;
};
