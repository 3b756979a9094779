// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/RecordLine.h"

#include <QStringView>

#include <array>

/**
 * The fields of a record, described once: the grid's columns, the edit boxes
 * and the messages that name a field take their names, headers and sizes from
 * here.
 */
namespace RecordFields {
/** A column width that makes the column as wide as the grid (Info, which puts the record date out of view). */
inline constexpr int kGridWidth = -1;

struct Description
{
    RecordLine::Field field;
    QStringView name; ///< what the label of its box and the messages call it
    QStringView header; ///< the grid's column header; the record date has none
    int columnTwips; ///< the grid column's width in twips, or kGridWidth; 0 leaves it as the grid makes it
};

/** Every field, in field order. */
inline constexpr std::array<Description, RecordLine::kFieldCount> all = { {
    { RecordLine::Service, u"Service", u"Service", 2000 },
    { RecordLine::Path, u"Path", u"Path", 3600 },
    { RecordLine::Username, u"Username", u"Username", 1200 },
    { RecordLine::Password, u"Password", u"Password", 1300 },
    { RecordLine::Info, u"Info", u"Info", kGridWidth },
    { RecordLine::RecordDate, u"Record Date", {}, 0 },
} };

constexpr bool inFieldOrder()
{
    for (size_t i = 0; i < all.size(); ++i) {
        if (all[i].field != RecordLine::Field(i))
            return false;
    }
    return true;
}
static_assert(inFieldOrder(), "RecordFields::all is indexed by field");
} // namespace RecordFields
