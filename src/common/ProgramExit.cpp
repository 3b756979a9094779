// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ProgramExit.h"

#include <QCoreApplication>

ProgramExit &ProgramExit::instance()
{
    static ProgramExit exit;
    return exit;
}

void ProgramExit::request()
{
    ProgramExit &self = instance();
    self.m_requested = true;
    Q_EMIT self.requested();
    if (self.m_handler)
        self.m_handler();
    else
        QCoreApplication::exit(0);
}

bool ProgramExit::isRequested()
{
    return instance().m_requested;
}

void ProgramExit::setHandler(std::function<void()> handler)
{
    ProgramExit &self = instance();
    if (!handler)
        self.m_requested = false;
    self.m_handler = std::move(handler);
}
