// SPDX-License-Identifier: GPL-3.0-or-later
// make_database FOLDER COUNT: writes FOLDER/Data/userDB.pdb holding COUNT records of realistic
// sizes (Service 10-30, Path 30-60, Username 8-20, Password 8-20, Info 0-40 characters).
#include "Database.h"
#include "RecordLine.h"

#include <QCoreApplication>
#include <QDir>
#include <QRandomGenerator>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {
const QString kCharacters
    = u"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 .,;?-_/@#$%&*()+=[]{}<>~'"_s;

QString randomText(QRandomGenerator &random, int from, int to)
{
    QString text;
    const int length = from + int(random.bounded(to - from + 1));
    for (int i = 0; i < length; ++i)
        text.append(kCharacters[random.bounded(int(kCharacters.size()))]);
    return text;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: make_database FOLDER COUNT\n");
        return 2;
    }
    QRandomGenerator random(20021705);
    QStringList lines;
    for (int i = 0, count = args[2].toInt(); i < count; ++i) {
        const RecordLine::Texts texts { randomText(random, 10, 30), randomText(random, 30, 60),
            randomText(random, 8, 20), randomText(random, 8, 20), randomText(random, 0, 40) };
        lines.append(RecordLine::build(texts, u"05-17-2002 14:03:59"_s));
    }
    QDir().mkpath(args[1] + u"/Data"_s);
    const FileResult written = Database({ args[1] + u"/Data/userDB.pdb"_s, {}, {} }).RewriteDatabase(0, lines, {});
    if (!written) {
        std::fprintf(stderr, "%s\n", qPrintable(written.error));
        return 1;
    }
    return 0;
}
