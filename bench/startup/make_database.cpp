// SPDX-License-Identifier: GPL-3.0-or-later
// make_database FOLDER COUNT: writes FOLDER/Data/userDB.pdb holding COUNT records of realistic
// sizes (Service 10-30, Path 30-60, Username 8-20, Password 8-20, Info 0-40 characters).
#include "RandomRecords.h"
#include "store/Database.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: make_database FOLDER COUNT\n");
        return 2;
    }
    const QStringList lines = RandomRecords::lines(args[2].toInt(), 20021705);
    QDir().mkpath(args[1] + u"/Data"_s);
    const FileResult written
        = Database({ args[1] + u"/Data/userDB.pdb"_s, {}, {} }).RewriteDatabase(Level::None, lines, {});
    if (!written) {
        std::fprintf(stderr, "%s\n", qPrintable(written.error));
        return 1;
    }
    return 0;
}
