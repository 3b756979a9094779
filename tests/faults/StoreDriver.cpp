// SPDX-License-Identifier: GPL-3.0-or-later
// Drives the record store the way the program does, for the kill test and
// the sync-order check:
//
//   corvane_store_driver MODE LEVEL APPFOLDER [ITERATIONS]
//
// MODE "rewrite" moves the database between the sets A and B with
// Database::RewriteDatabase; MODE "edit" replaces, removes and adds back one
// record with RecordEditor; MODE "level" changes the owner settings of set A
// through KillSets::levelStates() with SecuritySettings::save, as Accept in
// the security dialog does (LEVEL is not used). MODE "import" imports
// KillSets::importFile() as File > Import does, then writes set A back. LEVEL is the protection level
// (0 or 1). The run starts from whatever known state the files hold (set A
// when they hold none; in level mode after settling them as a start does),
// prints "ready", then "begin N" and "end N" around every change, forever or
// ITERATIONS times. A change that is made but warned about prints "warning
// ..." before its "end N". Any failure prints "error ..." and exits with 2.
#include "Fakes.h"
#include "KillSets.h"
#include "common/AppFolders.h"
#include "common/SafeFile.h"
#include "security/OwnerFile.h"
#include "security/SecuritySettings.h"
#include "store/Database.h"
#include "store/LoginCsv.h"
#include "store/RecordEditor.h"
#include "store/RecordTableModel.h"

#include <QCoreApplication>
#include <QFileInfo>

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
        result = editor.replace(Level(level), rowOf(KillSets::editedTexts()), KillSets::replacedTexts(), key);
        break;
    case 1:
        result = editor.remove(Level(level), rowOf(KillSets::replacedTexts()), key);
        break;
    default:
        result = editor.add(Level(level), KillSets::editedTexts(), key);
        break;
    }
    if (result.outcome != EditOutcome::Done)
        fail(u"edit step %1 did not complete: %2"_s.arg(state).arg(result.detail));
    if (!result.warning.isEmpty())
        say(qPrintable(u"warning "_s + result.warning));
    return (state + 1) % 3;
}

/** One step of an import run from state (0 A, 1 A with the imported logins); the state it leads to. */
int importStep(RecordEditor &editor, RecordTableModel &model, Database &database, int level, int state)
{
    const KeyProvider key = [] { return KillSets::key(); };
    if (state == 1) {
        if (const FileResult written = database.RewriteDatabase(Level(level), KillSets::setA(), KillSets::key());
            !written)
            fail(written.error);
        model.setLines(KillSets::setA());
        editor.fileRead(Level(level));
        return 0;
    }
    const LoginCsv::PlanResult planned = LoginCsv::planImport(KillSets::importFile(), model.List1(),
        [&](const QString &line) { return database.checkStorable(Level(level), line, KillSets::key()).error; });
    if (!planned.plan || !planned.plan->rejected.isEmpty() || planned.plan->alreadyThere > 0)
        fail(u"the import file does not plan as new logins: "_s + planned.error);
    const EditResult result = editor.importLines(Level(level), planned.plan->lines, key);
    if (result.outcome != EditOutcome::Done)
        fail(u"the import did not complete: "_s + result.detail);
    if (!result.warning.isEmpty())
        say(qPrintable(u"warning "_s + result.warning));
    return 1;
}

/** The level run: settles the files as a start does, then changes the owner settings round and round. */
int runLevels(Database &database, long iterations)
{
    OwnerState state;
    if (const FileResult settled = KillSets::settle(database, state); !settled)
        fail(u"the start could not settle the files: "_s + settled.error);
    int index = KillSets::levelStateOf(state);
    if (!QFileInfo::exists(AppFolders::ownerPasswordFile())) {
        if (const FileResult written = database.RewriteDatabase(Level::None, KillSets::setA(), {}); !written)
            fail(written.error);
        if (const FileResult written = OwnerFile::write(KillSets::ownerRecord({})); !written)
            fail(written.error);
        index = 0;
    }
    if (index < 0)
        fail(u"the owner file holds settings the run never makes"_s);
    QString why;
    const std::optional<QStringList> loaded = KillSets::load(database, int(state.Reach), state.GoodPass, &why);
    if (!loaded || KillSets::stateOf({ KillSets::states(u"rewrite"_s).first() }, *loaded) != 0)
        fail(u"the records are not set A: "_s + why);
    say("ready");

    const QList<KillSets::OwnerSettings> settings = KillSets::levelStates();
    for (long n = 0; iterations < 0 || n < iterations; ++n) {
        say("begin", n);
        index = (index + 1) % int(settings.size());
        const KillSets::OwnerSettings &next = settings[index];
        const QString password = next.password.isEmpty() ? u"UNSETMARK"_s : next.password;
        const SecuritySettings::SaveResult saved
            = SecuritySettings::save(state, database, KillSets::ownerRecord(next), Level(next.level), password);
        if (!saved)
            fail(u"level change %1 failed: %2"_s.arg(index).arg(saved.detail));
        if (!saved.warning.isEmpty())
            say(qPrintable(u"warning "_s + QString(saved.warning).replace(u'\n', u' ')));
        say("end", n);
    }
    return 0;
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QStringList modes { u"rewrite"_s, u"edit"_s, u"import"_s, u"level"_s };
    if (args.size() < 4 || !modes.contains(args[1])) {
        std::fprintf(stderr, "usage: %s rewrite|edit|import|level LEVEL APPFOLDER [ITERATIONS]\n", argv[0]);
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
    if (mode == u"level"_s)
        return runLevels(database, iterations);
    const QList<QStringList> known = KillSets::states(mode);

    const std::optional<QStringList> loaded = KillSets::load(database, level);
    int state = loaded ? KillSets::stateOf(known, *loaded) : -1;
    if (state < 0) {
        if (const FileResult written = database.RewriteDatabase(Level(level), KillSets::setA(), KillSets::key());
            !written)
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
            const FileResult written = database.RewriteDatabase(Level(level), sets[state], KillSets::key());
            if (!written)
                fail(written.error);
            if (!written.warning.isEmpty())
                say(qPrintable(u"warning "_s + written.warning));
        } else if (mode == u"import"_s) {
            state = importStep(editor, model, database, level, state);
        } else {
            state = editStep(editor, model, level, state);
        }
        say("end", n);
    }
    return 0;
}
