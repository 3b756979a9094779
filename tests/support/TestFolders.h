// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

/**
 * Gives a test its own application folder, shipped folder and runtime folder
 * (for the private temporary folder), all inside one temporary folder that is
 * removed afterwards, and points the program at them. Nothing touches the
 * user's files.
 */
class TestFolders
{
public:
    TestFolders();
    ~TestFolders();
    TestFolders(const TestFolders &) = delete;
    TestFolders &operator=(const TestFolders &) = delete;

    bool isValid() const { return m_root.isValid(); }
    QString root() const { return m_root.path(); }
    QString app() const; ///< the application folder
    QString shipped() const; ///< the folder the program ships its files in
    QString data() const; ///< app() + "/Data" (not created: a first start makes it)

    /** Writes bytes to the file at path, creating its folder. */
    static void write(const QString &path, const QByteArray &bytes);
    /** The bytes of a file; empty when it does not exist. */
    static QByteArray read(const QString &path);
    QString appPath(const QString &relative) const { return app() + u'/' + relative; }

private:
    QTemporaryDir m_root;
    QByteArray m_oldRuntime;
};
