// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Shell.h"

#include <QProcess>

using namespace Qt::StringLiterals;

namespace {
class XdgOpen final : public Shell
{
public:
    void open(const QString &target) override { QProcess::startDetached(u"xdg-open"_s, { target }); }
};

XdgOpen xdgOpen;
Shell *installed = nullptr;
} // namespace

Shell &Shell::instance()
{
    return installed ? *installed : xdgOpen;
}

void Shell::install(Shell *shell)
{
    installed = shell;
}
