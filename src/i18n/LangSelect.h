// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QWidget>

class QGroupBox;
class QListWidget;
class QPushButton;

/**
 * The language selection window: lists "English" and every language file
 * beside the program, selects the language last confirmed, and makes the
 * chosen one current on Ok. The main window is hidden while it is open and
 * shown again when it closes.
 */
class LangSelect : public QWidget
{
    Q_OBJECT

public:
    /** mainWindow is shown again on Cancel or when the window is closed. */
    explicit LangSelect(QWidget *mainWindow, QWidget *parent = nullptr);

    QGroupBox *Frame1;
    QListWidget *List1;
    QPushButton *Command1;
    QPushButton *Command2;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void Form_Load();
    void Command1_Click();
    void Command2_Click();
    void showMainWindow();

    QPointer<QWidget> m_mainWindow;
};
