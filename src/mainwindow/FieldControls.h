// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "mainwindow/EditBoxes.h"

class ClickLabel;

/**
 * The edit boxes with the four field labels above them: what both the
 * clipboard traffic (a label copies its box) and the toolbar's look (the
 * underline under the label under the mouse) work on.
 */
struct FieldControls
{
    EditBoxes boxes;
    ClickLabel *Label4; ///< "Service"
    ClickLabel *Label1; ///< "Username"
    ClickLabel *Label2; ///< "Password"
    ClickLabel *Label5; ///< "Path"
};
