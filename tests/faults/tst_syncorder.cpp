// SPDX-License-Identifier: GPL-3.0-or-later
// Traces the store driver with strace while it writes the database and
// checks the order in which the new file reaches the disk: its data synced
// before it is renamed or linked into place, and its folder synced after.
// Qt's QSaveFile writes an unnamed file (O_TMPFILE) and links it in, or a
// named one and renames it; both are accepted.
#include "TestFolders.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
const QString kDriver = QStringLiteral(CORVANE_STORE_DRIVER);

struct Call
{
    QString pid;
    QString name;
    QStringList args;
    long result = -1;
};

/** The arguments of a call as strace prints them; quoted paths lose their quotes. */
QStringList splitArgs(QStringView text)
{
    QStringList args;
    QString current;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'"') {
            quoted = !quoted;
        } else if (c == u',' && !quoted) {
            args.append(current.trimmed());
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.trimmed().isEmpty())
        args.append(current.trimmed());
    return args;
}

/** The calls of a trace written with strace -f -o, calls cut in two by another thread joined again. */
QList<Call> parseTrace(const QByteArray &trace)
{
    static const QRegularExpression callLine(uR"(^(\d+)\s+(\w+)\((.*)\)\s+=\s+(-?\d+))"_s);
    static const QRegularExpression unfinished(uR"(^(\d+)\s+(.*)\s+<unfinished \.\.\.>$)"_s);
    static const QRegularExpression resumed(uR"(^(\d+)\s+<\.\.\. \w+ resumed>(.*)$)"_s);
    QHash<QString, QString> pending;
    QList<Call> calls;
    for (const QByteArray &raw : trace.split('\n')) {
        QString line = QString::fromUtf8(raw).trimmed();
        if (const auto m = unfinished.match(line); m.hasMatch()) {
            pending[m.captured(1)] = m.captured(2);
            continue;
        }
        if (const auto m = resumed.match(line); m.hasMatch())
            line = m.captured(1) + u"  "_s + pending.take(m.captured(1)) + m.captured(2);
        const auto m = callLine.match(line);
        if (!m.hasMatch())
            continue;
        calls.append({ m.captured(1), m.captured(2), splitArgs(m.captured(3)), m.captured(4).toLong() });
    }
    return calls;
}

/** Where in the trace the file at target was put in place, and whether the disk saw it in the right order. */
struct Placement
{
    int at = -1; ///< the index of the rename or link that put the new file at target
    bool dataSyncedBefore = false;
    bool folderSyncedAfter = false;
    QString how;
};

Placement findPlacement(const QList<Call> &calls, const QString &target)
{
    static const QRegularExpression procFd(uR"(^/proc/self/fd/(\d+)$)"_s);
    /** A file descriptor as "pid:fd", and the index of the open that gave it. */
    struct Fd
    {
        QString key;
        int openedAt = -1;
        QString path;
    };
    QHash<QString, Fd> fds; // "pid:fd" -> the latest open that gave it
    QHash<QString, Fd> madeBy; // path -> the descriptor of the file linked or created there
    Placement placement;
    Fd newFile;
    const QString folder = QFileInfo(target).absolutePath();

    for (int i = 0; i < calls.size(); ++i) {
        const Call &call = calls[i];
        if (call.result < 0)
            continue;
        const auto keyOf = [&](const QString &fd) { return QString(call.pid + u':' + fd); };
        if (call.name == u"openat"_s && call.args.size() >= 3) {
            const Fd fd { keyOf(QString::number(call.result)), i, call.args[1] };
            fds[fd.key] = fd;
            if (call.args[2].contains(u"O_CREAT"_s))
                madeBy[call.args[1]] = fd;
        } else if (call.name == u"linkat"_s && call.args.size() >= 4) {
            const auto m = procFd.match(call.args[1]);
            const Fd source = m.hasMatch() ? fds.value(keyOf(m.captured(1))) : madeBy.value(call.args[1]);
            madeBy[call.args[3]] = source;
            if (call.args[3] == target) {
                placement = { i, false, false, u"linkat"_s };
                newFile = source;
            }
        } else if ((call.name == u"rename"_s && call.args.size() >= 2)
            || (call.name == u"renameat2"_s && call.args.size() >= 4)) {
            const bool plain = call.name == u"rename"_s;
            const QString from = plain ? call.args[0] : call.args[1];
            const QString to = plain ? call.args[1] : call.args[3];
            if (to == target) {
                placement = { i, false, false, call.name };
                newFile = madeBy.value(from);
            }
        }
    }
    if (placement.at < 0 || newFile.key.isEmpty())
        return placement;

    // Descriptor numbers are used again: a sync counts for the file opened last under that number.
    fds.clear();
    for (int i = 0; i < calls.size(); ++i) {
        const Call &call = calls[i];
        if (call.result < 0)
            continue;
        if (call.name == u"openat"_s && call.args.size() >= 3) {
            const Fd fd { call.pid + u':' + QString::number(call.result), i, call.args[1] };
            fds[fd.key] = fd;
        }
        if (call.name != u"fsync"_s && call.name != u"fdatasync"_s)
            continue;
        const Fd synced = fds.value(call.pid + u':' + call.args.value(0));
        if (i < placement.at && synced.key == newFile.key && synced.openedAt == newFile.openedAt)
            placement.dataSyncedBefore = true;
        if (i > placement.at && synced.path == folder)
            placement.folderSyncedAfter = true;
    }
    return placement;
}

/** Runs the driver; under strace when trace is given. The driver's output. */
QByteArray runDriver(const QStringList &args, const QString &trace = {})
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    if (trace.isEmpty()) {
        process.start(kDriver, args);
    } else {
        process.start(QStandardPaths::findExecutable(u"strace"_s),
            QStringList {
                u"-f"_s, u"-e"_s, u"trace=fsync,fdatasync,rename,renameat2,linkat,openat"_s, u"-o"_s, trace, kDriver }
                + args);
    }
    if (!process.waitForFinished(60000))
        process.kill();
    return process.readAll();
}
} // namespace

class tst_SyncOrder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void databaseWrite_syncsDataBeforePlacingAndFolderAfter_data();
    void databaseWrite_syncsDataBeforePlacingAndFolderAfter();
    void traceReader_tellsWrongOrderFromRight();
};

void tst_SyncOrder::initTestCase()
{
    QVERIFY2(!QStandardPaths::findExecutable(u"strace"_s).isEmpty(), "strace is needed (Debian package strace)");
}

void tst_SyncOrder::databaseWrite_syncsDataBeforePlacingAndFolderAfter_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("level");
    QTest::addColumn<bool>("existing");
    QTest::addColumn<QString>("file");
    QTest::newRow("Replace, level 0") << u"edit"_s << 0 << true << u"userDB.pdb"_s;
    QTest::newRow("Replace, level 1") << u"edit"_s << 1 << true << u"userDB.edb"_s;
    QTest::newRow("first database file, level 0") << u"rewrite"_s << 0 << false << u"userDB.pdb"_s;
    QTest::newRow("first database file, level 1") << u"rewrite"_s << 1 << false << u"userDB.edb"_s;
}

void tst_SyncOrder::databaseWrite_syncsDataBeforePlacingAndFolderAfter()
{
    QFETCH(QString, mode);
    QFETCH(int, level);
    QFETCH(bool, existing);
    QFETCH(QString, file);
    TestFolders folders;
    const QStringList args { mode, QString::number(level), folders.app() };
    if (existing)
        QVERIFY(runDriver(args + QStringList { u"0"_s }).contains("ready"));

    // Existing files: one Replace. No files yet: only the first write, which makes set A.
    const QString trace = folders.root() + u"/trace.txt"_s;
    const QByteArray output = runDriver(args + QStringList { existing ? u"1"_s : u"0"_s }, trace);
    if (output.contains("PTRACE_TRACEME") || output.contains("Operation not permitted"))
        QSKIP("this machine does not allow tracing (ptrace)");
    QVERIFY2(output.contains(existing ? "end 0" : "ready"), output.constData());

    const QString target = folders.data() + u'/' + file;
    const Placement placement = findPlacement(parseTrace(TestFolders::read(trace)), target);
    QVERIFY2(placement.at >= 0, qPrintable(u"no rename or link puts the new file at "_s + target));
    QVERIFY2(placement.dataSyncedBefore, qPrintable(u"the new file is not synced before its "_s + placement.how));
    QVERIFY2(placement.folderSyncedAfter, qPrintable(u"the folder is not synced after the "_s + placement.how));
}

void tst_SyncOrder::traceReader_tellsWrongOrderFromRight()
{
    // Hand-made traces of the two ways QSaveFile works, in the right order and in wrong ones.
    const QString target = u"/d/Data/userDB.pdb"_s;
    const QByteArray linked = "7 openat(AT_FDCWD, \"/d/Data\", O_RDWR|O_CLOEXEC|O_TMPFILE, 0600) = 4\n"
                              "7 fsync(4) = 0\n"
                              "7 linkat(AT_FDCWD, \"/proc/self/fd/4\", AT_FDCWD, \"/d/Data/userDB.pdb.x\", "
                              "AT_SYMLINK_FOLLOW) = 0\n"
                              "7 rename(\"/d/Data/userDB.pdb.x\", \"/d/Data/userDB.pdb\") = 0\n"
                              "7 openat(AT_FDCWD, \"/d/Data\", O_RDONLY|O_CLOEXEC|O_DIRECTORY) = 4\n"
                              "7 fsync(4) = 0\n";
    Placement p = findPlacement(parseTrace(linked), target);
    QVERIFY(p.at >= 0 && p.dataSyncedBefore && p.folderSyncedAfter);
    QCOMPARE(p.how, u"rename"_s);

    // The folder's fd 4 is the reused number: its fsync before the link must not count for the file.
    const QByteArray lateData = "7 openat(AT_FDCWD, \"/d/Data/userDB.pdb.y\", O_RDWR|O_CREAT|O_EXCL, 0600) = 5\n"
                                "7 openat(AT_FDCWD, \"/d/Data\", O_RDONLY|O_DIRECTORY) = 4\n"
                                "7 fsync(4) = 0\n"
                                "7 renameat2(AT_FDCWD, \"/d/Data/userDB.pdb.y\", AT_FDCWD, \"/d/Data/userDB.pdb\", 0 "
                                "<unfinished ...>\n"
                                "8 fsync(9) = 0\n"
                                "7 <... renameat2 resumed>) = 0\n"
                                "7 fsync(5) = 0\n";
    p = findPlacement(parseTrace(lateData), target);
    QCOMPARE(p.how, u"renameat2"_s);
    QVERIFY(!p.dataSyncedBefore);
    QVERIFY(!p.folderSyncedAfter);

    const QByteArray direct = "7 openat(AT_FDCWD, \"/d/Data\", O_RDWR|O_TMPFILE, 0600) = 3\n"
                              "7 fdatasync(3) = 0\n"
                              "7 linkat(AT_FDCWD, \"/proc/self/fd/3\", AT_FDCWD, \"/d/Data/userDB.pdb\", "
                              "AT_SYMLINK_FOLLOW) = 0\n"
                              "7 openat(AT_FDCWD, \"/d/Data\", O_RDONLY|O_DIRECTORY) = 3\n"
                              "7 fsync(3) = 0\n";
    p = findPlacement(parseTrace(direct), target);
    QVERIFY(p.dataSyncedBefore && p.folderSyncedAfter);
    QCOMPARE(p.how, u"linkat"_s);
}

QTEST_GUILESS_MAIN(tst_SyncOrder)
#include "tst_syncorder.moc"
