// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Fakes.h"
#include "TestFolders.h"
#include "mainwindow/mainScr.h"
#include "store/RecordLine.h"

#include <QStringList>

#include <memory>

class QLineEdit;

/**
 * A main window in its own folders, with every seam faked: messages are
 * recorded, the clock stands still, exits are counted. The records given
 * are written to the plain database before the window loads.
 */
struct MainWindowFixture
{
    explicit MainWindowFixture(const QStringList &records = {});
    ~MainWindowFixture();

    /** Runs the load and shows the window. */
    void start();

    /** The box of field (Service to Password). */
    QLineEdit *box(RecordLine::Field field) const;
    /** Types text into the box of field through the keyboard. */
    void type(RecordLine::Field field, const QString &text);
    /** Clicks on grid row (0 = first record) with button. */
    void clickRow(int row, Qt::MouseButton button = Qt::LeftButton);
    /** The plain record lines of the plain database file, in file order. */
    QStringList fileLines() const;
    /** The grid's text of row in the column of field. */
    QString cell(int row, RecordLine::Field field) const;
    int rows() const;

    TestFolders folders;
    FakeMessages messages;
    FakeClock clock { QDateTime(QDate(2026, 12, 8), QTime(9, 30, 5)) };
    FakeExit exit;
    std::unique_ptr<mainScr> window;
    /** The window's controls, found by their object names. */
    mainScrControls ui;
};

/** The controls of a main window, each found by its object name; a missing one ends the test run. */
mainScrControls controlsOf(const QWidget *window);

/** The plain record line of Service, Path, Username, Password, Info and date. */
QString recordLine(const QString &service, const QString &path, const QString &user, const QString &password,
    const QString &info = {}, const QString &date = QStringLiteral("05-17-2002 14:03:59"));
