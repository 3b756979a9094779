// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/WindowSystem.h"

#include <QGuiApplication>

using namespace Qt::StringLiterals;

namespace WindowSystem {

namespace {
std::optional<bool> g_pretended;
} // namespace

bool isNativeWayland()
{
    if (g_pretended)
        return *g_pretended;
    return QGuiApplication::platformName().startsWith(u"wayland"_s);
}

void pretendNativeWayland(std::optional<bool> nativeWayland)
{
    g_pretended = nativeWayland;
}

} // namespace WindowSystem
