// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

/**
 * What the desktop lets Corvane do with its windows. On native Wayland the
 * compositor alone places windows and keeps them above others, and a program
 * sees the clipboard only while one of its windows is active; as an X11
 * program (on X or through XWayland) Corvane does all of that itself.
 */
namespace WindowSystem {

/** Whether Corvane runs on Qt's native Wayland platform. */
bool isNativeWayland();

/** Tests: act as on native Wayland (true) or elsewhere (false); nullopt asks the platform again. */
void pretendNativeWayland(std::optional<bool> nativeWayland);

} // namespace WindowSystem
