// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ProgramExit.h"

#include <QCoreApplication>

ProgramExit &ProgramExit::instance()
{
    static ProgramExit exit;
    return exit;
}

void ProgramExit::request(ExitStatus status)
{
    ProgramExit &self = instance();
    // A later request (a window closing as the program ends) does not change why it ended.
    if (!self.m_requested)
        self.m_status = status;
    self.m_requested = true;
    Q_EMIT self.requested();
    if (self.m_handler)
        self.m_handler();
    else
        QCoreApplication::exit(ProgramExit::status());
}

bool ProgramExit::isRequested()
{
    return instance().m_requested;
}

int ProgramExit::status()
{
    return static_cast<int>(instance().m_status);
}

void ProgramExit::setHandler(std::function<void()> handler)
{
    ProgramExit &self = instance();
    if (!handler) {
        self.m_requested = false;
        self.m_status = ExitStatus::Normal;
    }
    self.m_handler = std::move(handler);
}
