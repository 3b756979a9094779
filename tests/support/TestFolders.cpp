// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestFolders.h"

#include "common/AppFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

TestFolders::TestFolders()
{
    QStandardPaths::setTestModeEnabled(true);
    m_oldRuntime = qgetenv("XDG_RUNTIME_DIR");
    QDir(root()).mkpath(u"app"_s);
    QDir(root()).mkpath(u"shipped/intl"_s);
    QDir(root()).mkpath(u"runtime"_s);
    QFile::setPermissions(root() + u"/runtime"_s, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(root() + u"/runtime"_s));
    AppFolders::setForTesting(app(), shipped());
}

TestFolders::~TestFolders()
{
    AppFolders::setForTesting({}, {});
    if (m_oldRuntime.isNull())
        qunsetenv("XDG_RUNTIME_DIR");
    else
        qputenv("XDG_RUNTIME_DIR", m_oldRuntime);
}

QString TestFolders::app() const
{
    return root() + u"/app"_s;
}

QString TestFolders::shipped() const
{
    return root() + u"/shipped"_s;
}

QString TestFolders::data() const
{
    return app() + u"/Data"_s;
}

void TestFolders::write(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}

QByteArray TestFolders::read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
