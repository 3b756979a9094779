// SPDX-License-Identifier: GPL-3.0-or-later
// Prints one figure a line, "name: value unit", each the median of several runs.
#include "RandomRecords.h"
#include "common/TextLines.h"
#include "store/CsvTable.h"
#include "store/Database.h"
#include "store/LineCipher.h"
#include "store/LoginCsv.h"
#include "store/RecordEditor.h"
#include "store/RecordFinder.h"
#include "store/RecordLine.h"
#include "store/RecordList.h"
#include "store/RecordTableModel.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <random>
#include <unistd.h>
#include <vector>

using namespace Qt::StringLiterals;

namespace {
constexpr int kRecords = 32767;
constexpr int kLarge = 100000;
const QString kKey = u"Owner-Pass-2002"_s;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

/** The median time in ms of runs of work; prepare runs before each, untimed. */
double timeMs(int runs, const std::function<void()> &work, const std::function<void()> &prepare = {})
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        if (prepare)
            prepare();
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    return median(times);
}

void print(const char *name, double value, const char *unit)
{
    std::printf("%s: %.3f %s\n", name, value, unit);
    std::fflush(stdout);
}

void fail(const QString &what)
{
    std::fprintf(stderr, "store_bench: %s\n", qPrintable(what));
    std::exit(1);
}

void check(const FileResult &result)
{
    if (!result)
        fail(result.error);
}

/** The files of a bench run: the database on disk, mdb.tmp where the program keeps it. */
DatabaseFiles filesIn(const QTemporaryDir &app, const QTemporaryDir &temporary)
{
    return { app.filePath(u"userDB.pdb"_s), app.filePath(u"userDB.edb"_s), temporary.filePath(u"mdb.tmp"_s) };
}

QString temporaryRoot()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QFileInfo(runtime).isDir() ? runtime : QDir::tempPath();
}

/** The child run: load the records as the program does, then report the peak memory. */
int peakRss(const QString &plainFile)
{
    Database db({ plainFile, {}, {} });
    RecordTableModel model;
    LoadResult loaded = db.LoadDatabase(Level::None);
    model.setLines(std::move(loaded.lines));
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return 1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) {
            std::printf("%s %d\n", line.mid(6).trimmed().split(' ').first().constData(), int(model.rowCount()));
            return 0;
        }
    }
    return 1;
}

/** A Chrome export of count random logins (name, url, username, password, note). */
QByteArray loginExport(int count, quint32 seed)
{
    QRandomGenerator random(seed);
    QByteArray csv = "name,url,username,password,note\r\n";
    for (int i = 0; i < count; ++i) {
        const RecordLine::Texts texts = RandomRecords::texts(random);
        for (size_t field = 0; field < texts.size(); ++field) {
            if (field > 0)
                csv.append(',');
            CsvTable::appendField(csv, texts[field].toUtf8());
        }
        csv.append("\r\n");
    }
    return csv;
}

/**
 * File > Import of csv into a database of existing records at level, as the user waits for it: the file
 * read and planned (the summary), then the records written. Each run starts from the existing records.
 */
double importMs(Database &db, int level, const QStringList &existing, const QByteArray &csv)
{
    RecordTableModel model;
    RecordEditor editor(model, db);
    const KeyProvider key = [] { return kKey; };
    LoginCsv::LineCheck storable;
    if (level == 1)
        storable = [&](const QString &line) { return db.checkStorable(Level::ProgramAndDatabase, line, kKey).error; };
    return timeMs(
        5,
        [&] {
            const LoginCsv::PlanResult planned = LoginCsv::planImport(csv, model.List1(), storable);
            if (!planned.plan || planned.plan->rejected.size() > 100)
                fail(u"the import planned badly: "_s + planned.error);
            if (editor.importLines(Level(level), planned.plan->lines, key).outcome != EditOutcome::Done)
                fail(u"the import failed"_s);
        },
        [&] {
            check(db.RewriteDatabase(Level(level), existing, kKey));
            model.setLines(existing);
            editor.fileRead(Level(level));
        });
}

double loadMs(Database &db, int runs)
{
    RecordList list;
    return timeMs(runs, [&] {
        LoadResult loaded = db.LoadDatabase(Level::None);
        list.assign(std::move(loaded.lines));
    });
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--peak-rss") == 0)
        return peakRss(QString::fromLocal8Bit(argv[2]));

    QTemporaryDir appFolder;
    QTemporaryDir temporary(temporaryRoot() + u"/store_bench-XXXXXX"_s);
    if (!appFolder.isValid() || !temporary.isValid())
        fail(u"no temporary folders"_s);
    Database db(filesIn(appFolder, temporary));

    // The file as the program leaves it after a rewrite: in the list's order.
    RecordList ordered;
    ordered.assign(RandomRecords::lines(kRecords, 20020517));
    const QStringList lines = ordered.items();
    check(db.RewriteDatabase(Level::None, lines, {}));

    const double load = loadMs(db, 15);
    print("load_32767_ms", load, "ms");

    check(db.RewriteDatabase(Level::ProgramAndDatabase, lines, kKey));
    {
        RecordList list;
        print("load_level1_32767_ms",
            timeMs(15,
                [&] {
                    check(db.DecryptDBToTemp(kKey));
                    LoadResult loaded = db.LoadDatabase(Level::ProgramAndDatabase);
                    list.assign(std::move(loaded.lines));
                    check(db.removeTemporary());
                }),
            "ms");
    }

    {
        RecordTableModel model;
        model.setLines(lines);
        RecordEditor editor(model, db);
        QRandomGenerator random(7);
        print("append_one_32767_ms",
            timeMs(25,
                [&] {
                    const RecordLine::Texts texts { RandomRecords::text(random, 10, 30),
                        RandomRecords::text(random, 30, 60), RandomRecords::text(random, 8, 20),
                        RandomRecords::text(random, 8, 20), {} };
                    if (editor.add(Level::None, texts, {}).outcome != EditOutcome::Done)
                        fail(u"append failed"_s);
                }),
            "ms");
    }

    {
        // Find: what each keystroke in the Find window waits for, from the middle of the grid. A text that
        // no record holds reads every record; the slowest of several (each beginning with a common letter)
        // is the figure. No random record holds an "é".
        RecordTableModel model;
        model.setLines(lines);
        // Opening the Find window makes the search's copy of the records.
        print("find_prepare_32767_ms", timeMs(9, [&] { RecordFinder(model).prepare(); }), "ms");
        RecordFinder finder(model);
        finder.prepare();
        const QStringList absent { u"e\u00e9"_s, u"a\u00e9"_s, u"s\u00e9"_s, u"1\u00e9"_s, u"mail\u00e9"_s };
        auto slowest = [&](RecordFinder::Direction direction) {
            return timeMs(15, [&] {
                for (const QString &text : absent) {
                    if (finder.find(text, kRecords / 2, direction) != -1)
                        fail(u"a record holds a text none should"_s);
                }
            });
        };
        print("find_no_match_32767_ms", slowest(RecordFinder::Direction::Forward) / double(absent.size()), "ms");
        print("find_previous_no_match_32767_ms", slowest(RecordFinder::Direction::Backward) / double(absent.size()),
            "ms");
        // Typing a Service letter by letter: each letter searches again from the same row.
        const QString service = RecordLine::split(lines.at(kRecords / 3)).at(RecordLine::Service);
        std::vector<double> letters;
        for (qsizetype n = 1; n <= service.size(); ++n)
            letters.push_back(timeMs(15, [&] { finder.find(service.first(n), kRecords / 2); }));
        print("find_keystroke_32767_ms", *std::max_element(letters.begin(), letters.end()), "ms");
        print("typeahead_no_match_32767_ms", timeMs(15, [&] { finder.findService(u"\u00e9"_s, kRecords / 2); }), "ms");
        // What a Replace that moves its record adds to keep the search's copy of the records up to date.
        QRandomGenerator random(5);
        const double kept = timeMs(15, [&] { model.replaceLine(kRecords / 2, RandomRecords::line(random)); });
        RecordTableModel alone;
        alone.setLines(lines);
        const double bare = timeMs(15, [&] { alone.replaceLine(kRecords / 2, RandomRecords::line(random)); });
        print("find_follows_replace_32767_ms", std::max(0.0, kept - bare), "ms");
    }

    print("rewrite_32767_ms", timeMs(15, [&] { check(db.RewriteDatabase(Level::None, lines, {})); }), "ms");
    print("rewrite_level1_32767_ms",
        timeMs(9, [&] { check(db.RewriteDatabase(Level::ProgramAndDatabase, lines, kKey)); }), "ms");

    {
        const QByteArray csv = loginExport(10000, 26);
        print("import_10000_ms", importMs(db, 0, {}, csv), "ms");
        print("import_10000_level1_ms", importMs(db, 1, {}, csv), "ms");
        print("import_10000_into_32767_ms", importMs(db, 0, lines, csv), "ms");
        print("import_10000_into_32767_level1_ms", importMs(db, 1, lines, csv), "ms");
    }

    // What Accept waits for on a change of protection (the owner file aside): one of 0 to 1, 1 to 1 with a new
    // password and 1 to 0, each new file written beside the old one and put in its place.
    check(db.RewriteDatabase(Level::None, lines, {}));
    print("level_change_32767_ms",
        timeMs(5,
            [&] {
                check(db.EncryptPlainToDB(kKey));
                check(db.changeKey(kKey, u"another owner password"_s));
                check(db.DecryptDBToPlain(u"another owner password"_s));
            })
            / 3,
        "ms");

    {
        // One fsync after one appended line: what every append and rewrite pays the disk.
        const QByteArray path = QFile::encodeName(db.files().plain);
        const QByteArray line = TextLines::terminated(lines.first().toLatin1());
        std::vector<double> times;
        for (int i = 0; i < 25; ++i) {
            const int fd = ::open(path.constData(), O_WRONLY | O_APPEND | O_CLOEXEC);
            const off_t size = ::lseek(fd, 0, SEEK_END);
            if (fd < 0 || ::write(fd, line.constData(), size_t(line.size())) != line.size())
                fail(u"fsync probe could not write"_s);
            QElapsedTimer timer;
            timer.start();
            ::fsync(fd);
            times.push_back(double(timer.nsecsElapsed()) / 1e6);
            if (::ftruncate(fd, size) != 0)
                fail(u"fsync probe could not cut back"_s);
            ::fsync(fd);
            ::close(fd);
        }
        print("fsync_ms", median(times), "ms");
    }

    {
        std::vector<QByteArray> bytes;
        qsizetype total = 0;
        for (const QString &l : lines) {
            bytes.push_back(l.toLatin1());
            total += bytes.back().size();
        }
        const QByteArray key = kKey.toLatin1();
        QByteArray out;
        out.reserve(256);
        const double ms = timeMs(9, [&] {
            for (int round = 0; round < 10; ++round) {
                for (const QByteArray &b : bytes) {
                    out.clear();
                    LineCipher(b, key, out);
                }
            }
        });
        print("linecipher_mb_per_s", double(total) * 10 / 1e6 / (ms / 1e3), "MB/s");
    }

    {
        // After many appends the file is out of order and the load sorts it.
        QStringList shuffled = lines;
        std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(11));
        check(db.RewriteDatabase(Level::None, shuffled, {}));
        print("load_unsorted_32767_ms", loadMs(db, 9), "ms");
    }

    {
        RecordList large;
        large.assign(RandomRecords::lines(kLarge, 19));
        check(db.RewriteDatabase(Level::None, large.items(), {}));
        const double load100k = loadMs(db, 9);
        print("load_100000_ms", load100k, "ms");
        print("load_ratio_100000_to_32767", load100k / load, "x");
    }

    {
        check(db.RewriteDatabase(Level::None, lines, {}));
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), { u"--peak-rss"_s, db.files().plain });
        if (!child.waitForFinished(60000) || child.exitCode() != 0)
            fail(u"the peak memory run failed"_s);
        const QList<QByteArray> answer = child.readAllStandardOutput().trimmed().split(' ');
        if (answer.size() != 2 || answer[1].toInt() != kRecords)
            fail(u"the peak memory run loaded the wrong count"_s);
        print("peak_rss_kib_32767", answer[0].toDouble(), "KiB");
    }
    return 0;
}
