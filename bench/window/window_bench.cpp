// SPDX-License-Identifier: GPL-3.0-or-later
// Prints one figure a line, "name: value unit", each the median of several runs, for the
// main window's load and its record commands on a database of 32,767 records.
#include "Fakes.h"
#include "RandomRecords.h"
#include "TestFolders.h"
#include "mainwindow/EditBoxes.h"
#include "mainwindow/RecordCommands.h"
#include "mainwindow/mainScr.h"
#include "store/Database.h"
#include "store/RecordLine.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTableView>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

using namespace Qt::StringLiterals;

namespace {
constexpr int kRecords = 32767;
constexpr int kRuns = 7;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double timeMs(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1e6;
}

void print(const char *name, double value, const char *unit)
{
    std::printf("%s: %.2f %s\n", name, value, unit);
    std::fflush(stdout);
}

/** A control of window, found by its object name. */
template <typename T> T *control(const QWidget &window, const QString &name)
{
    return window.findChild<T *>(name);
}

void fill(const mainScr &window, const RecordLine::Texts &texts)
{
    EditBoxes boxes;
    for (int field = RecordLine::Service; field <= RecordLine::Info; ++field)
        boxes.Text1[field] = control<QWidget>(window, u"Text1_%1"_s.arg(field));
    boxes.setTexts(texts);
}

std::unique_ptr<mainScr> loadedWindow()
{
    auto window = std::make_unique<mainScr>();
    window->Form_Load();
    window->show();
    QCoreApplication::processEvents();
    return window;
}
} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QFont font = QApplication::font();
    font.setPointSize(8);
    QApplication::setFont(font);

    TestFolders folders;
    FakeMessages messages;
    FakeExit exit;
    QRandomGenerator random(20021705);
    QStringList lines;
    for (int i = 0; i < kRecords; ++i)
        lines.append(RecordLine::build(RandomRecords::texts(random), u"05-17-2002 14:03:59"_s));
    QDir().mkpath(folders.data());
    Database database;
    if (!database.RewriteDatabase(Level::None, lines, {})) {
        std::fprintf(stderr, "could not write the benchmark database\n");
        return 1;
    }

    std::vector<double> loads;
    for (int run = 0; run < kRuns; ++run) {
        std::unique_ptr<mainScr> window;
        loads.push_back(timeMs([&] { window = loadedWindow(); }));
        if (window->records().rowCount() != kRecords) {
            std::fprintf(stderr, "the window loaded %d records\n", window->records().rowCount());
            return 1;
        }
    }
    print("window_load_32767_ms", median(loads), "ms");

    std::unique_ptr<mainScr> window = loadedWindow();
    RecordCommands &commands = window->commands();
    QAction *mnuAdd = control<QAction>(*window, u"mnuAdd"_s);
    QAction *mnuReplace = control<QAction>(*window, u"mnuReplace"_s);
    QAction *mnuRemove = control<QAction>(*window, u"mnuRemove"_s);
    QLineEdit *password = control<QLineEdit>(*window, u"Text1_3"_s);
    std::vector<double> adds, replaces, removes, selects;
    for (int run = 0; run < kRuns; ++run) {
        fill(*window, RandomRecords::texts(random));
        adds.push_back(timeMs([&] { mnuAdd->trigger(); }));

        const int row = window->records().rowCount() - 100 - run;
        QTableView *grid = control<QTableView>(*window, u"Grid1"_s);
        grid->scrollTo(window->records().index(row, 0));
        QCoreApplication::processEvents();
        const QPoint at = grid->visualRect(window->records().index(row, 0)).center();
        selects.push_back(timeMs([&] { QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at); }));
        if (commands.selectedRow() != row) {
            std::fprintf(stderr, "the click selected row %d, not %d\n", commands.selectedRow(), row);
            return 1;
        }

        password->setText(RandomRecords::text(random, 8, 20));
        replaces.push_back(timeMs([&] { mnuReplace->trigger(); }));

        commands.select(row);
        removes.push_back(timeMs([&] { mnuRemove->trigger(); }));
    }
    if (!messages.shown.isEmpty()) {
        std::fprintf(stderr, "unexpected message: %s\n", qPrintable(messages.shown.first().text));
        return 1;
    }
    print("add_32767_ms", median(adds), "ms");
    print("replace_32767_ms", median(replaces), "ms");
    print("remove_32767_ms", median(removes), "ms");
    print("select_32767_ms", median(selects), "ms");
    return 0;
}
