// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>

/** The main window's edit boxes, as the browser window reads them. */
struct MainWindowBoxes
{
    std::function<QString()> path; // Text1(1), read at load and on every "Refresh"
    std::function<QString()> username; // Text1(2), read at load
    std::function<QString()> password; // Text1(3), read at load
};
