// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "browser/BrowserWindow.h"
#include "browser/MainWindowBoxes.h"

#include <QWidget>

#include <array>

class BrowserFrame;
class LoadWatcher;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QWebEngineView;

/**
 * The built-in browser "CorvoBrowser": a window without a system frame that
 * loads the record's page and offers the record's user name and password on
 * buttons that put them on the clipboard. When the first page has loaded it
 * puts the user name on the clipboard by itself. The values are taken from
 * the main window once, when the window loads (in the constructor); closing
 * the window deletes it. The frame (title bar, layouts, grip, tray) is
 * BrowserFrame's.
 */
class MiniBrowser : public QWidget, public BrowserWindow
{
    Q_OBJECT

public:
    explicit MiniBrowser(MainWindowBoxes boxes, QWidget *parent = nullptr);
    ~MiniBrowser() override;

    /** The embedded browser's busy flag: a page is loading. */
    bool isBusy() const override;
    QWidget *widget() override { return this; }
    void setPathBox(const QString &text) override;
    void whenIdleOrClosed(QObject *context, std::function<void()> done) override;
    BrowserFrame *frame() const { return m_frame; }

Q_SIGNALS:
    /** The window is closing; it is deleted right after. */
    void closed();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildBar();
    void connectHandlers();

    void Form_Load();
    void NavigateToRecordPath();
    void Command1_Click();
    void Command2_Click(int index);
    void Command3_Click(int index);
    void Command4_Click();
    void Command5_Click();
    void Text1_Click();
    void Timer1_Ready();

    void navigate(const QString &text);
    void setTransfersEnabled(bool enabled);
    /** Puts a transfer button's value on the clipboard; a password as a secret. */
    void transfer(int index);
    void showStatus(const QString &value);

    QWebEngineView *WebBrowser1 = nullptr;
    QFrame *PictureBar = nullptr;
    QPushButton *Command1 = nullptr;
    std::array<QPushButton *, 2> Command2 {};
    std::array<QPushButton *, 2> Command3 {};
    QPushButton *Command4 = nullptr;
    QPushButton *Command5 = nullptr;
    QCheckBox *Check1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QLineEdit *Text1 = nullptr;
    /** The load watcher. */
    LoadWatcher *Timer1 = nullptr;

    MainWindowBoxes m_boxes;
    BrowserFrame *m_frame = nullptr;
    QString m_userName;
    QString m_password;
};
