// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class BrowserFactory;

/**
 * The built-in browser window lives in a library of its own beside the program, which links the
 * web engine, so that a start that never opens the browser never pays for the engine. The
 * library is loaded the first time the browser is asked for, from the program's own folder
 * only, and stays loaded.
 */
namespace BrowserLibrary {
/** The library's full path: beside the program file. */
QString path();

/**
 * The library's entry, loading the library the first time. nullptr when it cannot be loaded
 * (missing, broken, or not Corvane's browser) or must not be (as root, the web engine would end
 * the program unless its sandbox is switched off), with the reason and its remedy in error; the
 * next call tries again.
 */
BrowserFactory *factory(QString *error = nullptr);

/**
 * Uses factory instead of loading the library, for programs that link the library themselves
 * (tests, benchmarks); nullptr goes back to loading it.
 */
void provide(BrowserFactory *factory);
} // namespace BrowserLibrary
