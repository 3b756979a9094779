// SPDX-License-Identifier: GPL-3.0-or-later
// The floor of every start-up figure: the least a Qt Widgets program with a grid does before
// its first window is on screen. A QMainWindow holding an empty QTableView, nothing more.
#include <QApplication>
#include <QMainWindow>
#include <QTableView>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setCentralWidget(new QTableView(&window));
    window.resize(532, 420);
    window.show();
    return QApplication::exec();
}
