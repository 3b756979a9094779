// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/RecordLine.h"

#include <array>

/**
 * Where the main window's entry frame puts the edit box Text1(field) of each
 * typed field and its label, in twips. Kept apart from the widgets so that a
 * tool without a window (the end-to-end journeys' corvane_inspect) reads the
 * same places.
 */
namespace EntryPlaces {
struct Place
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

/** The entry frame Frame2, in the window's client area. */
inline constexpr Place kFrame { 45, 750, 7695, 1650 };

/** The edit box of each typed field, in the entry frame, by field. */
inline constexpr std::array<Place, RecordLine::kTypedFieldCount> kBoxes = { {
    { 975, 30, 2445, 360 }, // Service
    { 975, 1140, 6705, 360 }, // Path
    { 975, 390, 2445, 360 }, // Username
    { 975, 750, 2445, 360 }, // Password
    { 3675, 15, 4005, 1095 }, // Info
} };

/** The label of each typed field's box, in the entry frame; Info has none on screen. */
inline constexpr std::array<Place, RecordLine::kTypedFieldCount> kLabels = { {
    { 90, 165, 855, 225 }, // Service
    { 90, 1230, 855, 225 }, // Path
    { 90, 510, 855, 225 }, // Username
    { 90, 870, 855, 225 }, // Password
    {}, // Info
} };
} // namespace EntryPlaces
