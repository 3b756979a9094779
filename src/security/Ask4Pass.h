// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "security/IntrusionReport.h"
#include "security/OwnerState.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

/**
 * "Owner Authentication": asks the owner for the owner password, three
 * attempts. Opened, it sets auth to "auth"; the right password sets auth to
 * "Ok", makes it the password in force (GoodPass) and closes the window; a
 * third wrong one, Cancel or the close control append an intrusion report
 * and end the program. Modeless; deletes itself when it closes.
 */
class Ask4Pass : public QWidget
{
    Q_OBJECT

public:
    explicit Ask4Pass(OwnerState &state, QWidget *parent = nullptr);

    /** The password the owner must type (exact, case-sensitive). */
    void setExpectedPassword(const QString &password) { Label2 = password; }
    /** Puts the keyboard focus in the password box. */
    void focusPassword();

Q_SIGNALS:
    /** The owner typed the right password; auth reads "Ok". */
    void authenticated();

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Form_Load();
    void ApplyLanguage();
    void Command2_Click();
    void Command1_Click();
    void Text1_KeyUp(int key);
    void WriteIntrusionReport();
    /** Closes the window without treating it as Cancel. */
    void unload();

    OwnerState &m_state;
    QLabel *Label1;
    QLineEdit *Text1;
    QPushButton *Command2;
    QPushButton *Command1;

    QString Label2; ///< the expected password
    int AttemptNo = 1;
    IntrusionReport::Attempts Attempts;
    bool m_unloading = false;
    bool m_enterDown = false;
};
