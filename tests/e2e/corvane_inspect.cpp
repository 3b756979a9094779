// SPDX-License-Identifier: GPL-3.0-or-later
// Prints what Corvane stored, so the journeys can check it from outside the program:
//
//   corvane_inspect plain FILE           the plain record lines of userDB.pdb (or a backup copy)
//   corvane_inspect enciphered FILE KEY  the plain record lines of userDB.edb, deciphered with KEY
//   corvane_inspect owner FILE           the owner record of ground.lnk
//   corvane_inspect field-encipher TEXT  TEXT as the field cipher alone stores it (to look for it in files)
//   corvane_inspect places               where the main window puts each field's edit box and label:
//                                        "box|label INDEX NAME LEFT TOP WIDTH HEIGHT", in twips in its
//                                        client area, INDEX the box's Text1 index
//
// One line of output per stored line, UTF-8, ended by LF. Exit status 2 for bad arguments or an
// unreadable file, 3 when a line does not decipher into text the program could have written.
#include "common/TextLines.h"
#include "common/Windows1252.h"
#include "mainwindow/EntryPlaces.h"
#include "security/OwnerFile.h"
#include "store/FieldCipher.h"
#include "store/LineCipher.h"
#include "store/RecordFields.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {
void printLine(const QString &line)
{
    const QByteArray utf8 = line.toUtf8();
    std::fwrite(utf8.constData(), 1, size_t(utf8.size()), stdout);
    std::fputc('\n', stdout);
}

int usage()
{
    std::fputs("usage: corvane_inspect plain FILE | enciphered FILE KEY | owner FILE | field-encipher TEXT | places\n",
        stderr);
    return 2;
}

/** A deciphered record line holds no control characters; a wrong key leaves them almost always. */
bool looksLikeText(const QString &line)
{
    for (QChar c : line) {
        if (c.unicode() < 0x20 && c != u'\t')
            return false;
    }
    return true;
}

int printDatabase(const QString &path, const QString *key)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "corvane_inspect: cannot read %s\n", qPrintable(path));
        return 2;
    }
    const QByteArray keyBytes = key ? Windows1252::encode(*key) : QByteArray();
    int status = 0;
    const QList<QByteArray> lines = TextLines::split(file.readAll());
    for (QByteArray line : lines) {
        // The program skips empty lines when it loads, so they are not records.
        if (line.isEmpty())
            continue;
        if (key)
            line = LineCipher(line, keyBytes);
        FieldCipher::decipherBytes(line);
        const QString text = Windows1252::decode(line);
        if (!looksLikeText(text))
            status = 3;
        printLine(text);
    }
    return status;
}

void printPlaces()
{
    const auto print = [](const char *what, size_t field, const EntryPlaces::Place &at) {
        if (at.width > 0)
            std::printf("%s %zu %s %d %d %d %d\n", what, field, qPrintable(RecordFields::all[field].name.toString()),
                EntryPlaces::kFrame.left + at.left, EntryPlaces::kFrame.top + at.top, at.width, at.height);
    };
    for (size_t field = 0; field < EntryPlaces::kBoxes.size(); ++field) {
        print("box", field, EntryPlaces::kBoxes[field]);
        print("label", field, EntryPlaces::kLabels[field]);
    }
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() == 2 && args[0] == u"plain"_s)
        return printDatabase(args[1], nullptr);
    if (args.size() == 3 && args[0] == u"enciphered"_s)
        return printDatabase(args[1], &args[2]);
    if (args.size() == 2 && args[0] == u"owner"_s) {
        const std::optional<QString> record = OwnerFile::read(args[1]);
        if (!record) {
            std::fprintf(stderr, "corvane_inspect: cannot read %s\n", qPrintable(args[1]));
            return 2;
        }
        printLine(*record);
        return 0;
    }
    if (args.size() == 1 && args[0] == u"places"_s) {
        printPlaces();
        return 0;
    }
    if (args.size() == 2 && args[0] == u"field-encipher"_s) {
        printLine(FieldCipher::encipher(args[1]));
        return 0;
    }
    return usage();
}
