// SPDX-License-Identifier: GPL-3.0-or-later
// Drives the record store the way the program does, for the kill test and
// the sync-order check:
//
//   corvane_store_driver MODE LEVEL APPFOLDER [ITERATIONS]
//
// MODE "rewrite" moves the database between the sets A and B with
// Database::RewriteDatabase; MODE "edit" replaces, removes and adds back one
// record with RecordEditor. LEVEL is the protection level (0 or 1). The run
// starts from whatever known state the files hold (set A when they hold none),
// prints "ready", then "begin N" and "end N" around every change, forever or
// ITERATIONS times. Any failure prints "error ..." and exits with 2.
#include "AppFolders.h"
#include "Database.h"
#include "Fakes.h"
#include "KillSets.h"
#include "RecordEditor.h"
#include "RecordTableModel.h"
#include "SafeFile.h"

#include <QCoreApplication>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {
[[noreturn]] void fail(const QString &why)
{
    std::printf("error %s\n", qPrintable(why));
    std::fflush(stdout);
    std::exit(2);
}

void say(const char *what, long n = -1)
{
    if (n < 0)
        std::printf("%s\n", what);
    else
        std::printf("%s %ld\n", what, n);
    std::fflush(stdout);
}

/** One step of an editing run from state (0 A, 1 replaced, 2 removed); the state it leads to. */
int editStep(RecordEditor &editor, const RecordTableModel &model, int level, int state)
{
    const KeyProvider key = [] { return KillSets::key(); };
    const QString date = RecordLine::recordDate(KillSets::now());
    const auto rowOf = [&](const RecordLine::Texts &texts) {
        return int(model.List1().items().indexOf(RecordLine::build(texts, date)));
    };
    EditResult result;
    switch (state) {
    case 0:
        result = editor.replace(level, rowOf(KillSets::editedTexts()), KillSets::replacedTexts(), key);
        break;
    case 1:
        result = editor.remove(level, rowOf(KillSets::replacedTexts()), key);
        break;
    default:
        result = editor.add(level, KillSets::editedTexts(), key);
        break;
    }
    if (result.outcome != EditOutcome::Done)
        fail(u"edit step %1 did not complete: %2"_s.arg(state).arg(result.detail));
    return (state + 1) % 3;
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4 || (args[1] != u"rewrite"_s && args[1] != u"edit"_s)) {
        std::fprintf(stderr, "usage: %s rewrite|edit LEVEL APPFOLDER [ITERATIONS]\n", argv[0]);
        return 64;
    }
    const QString mode = args[1];
    const int level = args[2].toInt();
    const long iterations = args.size() > 4 ? args[4].toLong() : -1;
    AppFolders::setForTesting(args[3], args[3]);
    FakeClock clock(KillSets::now());

    if (const FileResult folder = SafeFile::makePrivateFolder(AppFolders::dataFolder()); !folder)
        fail(folder.error);
    Database database;
    const KeyProvider key = [] { return KillSets::key(); };
    const QList<QStringList> known = KillSets::states(mode);

    const std::optional<QStringList> loaded = KillSets::load(database, level);
    int state = loaded ? KillSets::stateOf(known, *loaded) : -1;
    if (state < 0) {
        if (const FileResult written = database.RewriteDatabase(level, KillSets::setA(), key); !written)
            fail(written.error);
        state = 0;
    }
    RecordTableModel model;
    model.setLines(state == 0 ? KillSets::setA() : known[state]);
    RecordEditor editor(model, database);
    const QStringList sets[2] = { KillSets::setA(), KillSets::setB() };
    say("ready");

    for (long n = 0; iterations < 0 || n < iterations; ++n) {
        say("begin", n);
        if (mode == u"rewrite"_s) {
            state = 1 - state;
            if (const FileResult written = database.RewriteDatabase(level, sets[state], key); !written)
                fail(written.error);
        } else {
            state = editStep(editor, model, level, state);
        }
        say("end", n);
    }
    return 0;
}
