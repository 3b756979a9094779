// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Clock.h"

namespace {
class SystemClock final : public Clock
{
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

const SystemClock systemClock;
const Clock *installed = nullptr;
} // namespace

const Clock &Clock::instance()
{
    return installed ? *installed : systemClock;
}

void Clock::install(const Clock *clock)
{
    installed = clock;
}
