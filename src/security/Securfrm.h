// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "security/OwnerState.h"
#include "security/SecuritySettings.h"

#include <QWidget>

class Database;
class QButtonGroup;
class QCheckBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

/**
 * "Security Settings - Corvane": the owner password, its expiry, the
 * protection level and the password generator. Accept saves them and moves
 * the database to the file the level uses. Modeless; deletes itself when
 * it closes.
 */
class Securfrm : public QWidget
{
    Q_OBJECT

public:
    Securfrm(OwnerState &state, Database &database, QWidget *parent = nullptr);

    /**
     * Shows password, the one in force, in the password box with all of it
     * selected. The protection option of the level in force stays selected.
     */
    void setPassword(const QString &password);

    /** Shown the first time, the window is centred over the main window, inside its screen's free area. */
    void setVisible(bool visible) override;

    static constexpr int kNormalHeight = 4710;
    static constexpr int kTallHeight = 5865;

Q_SIGNALS:
    /** Accept saved the settings; result tells whether the records must be read again or held. */
    void settingsSaved(const SecuritySettings::SaveResult &result);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    /** Creates every control at its place and connects the handlers. */
    void buildControls();
    /** The owner password box, its length, Case and Copy. */
    void buildPasswordRow();
    /** The password generator's frame. */
    void buildGenerator();
    /** " Expiration ": Do Not Expire and the date. */
    void buildExpiration();
    /** " Protect ": the three protection levels. */
    void buildProtection();
    /** Accept, Reset, Cancel, and the box that shows a long generated password in pieces. */
    void buildButtons();
    void connectHandlers();
    void Form_Load();
    void ApplyLanguage();

    void Text1_Change();
    void Check2_Click();
    void Check3_Click();
    void Text2_Click();
    void Text2_LostFocus();
    void DTPicker1_LostFocus();
    void ShowPickedDate();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();

    void Check1_Click();
    void Option1_Click();
    void Option2_Click();
    void Option3_Click();
    void Option3_LostFocus();
    void Text3_Change();
    void Command1_Click();

    Level selectedLevel() const;
    void selectNone();
    void setText3Enabled(bool enabled);
    /** Sets the window's outer height in twips; the tall height shows Text4. */
    void setWindowHeight(int twips);
    void relayout();

    OwnerState &m_state;
    Database &m_database;

    QLabel *Label1;
    QLineEdit *Text1;
    QLabel *Label2;
    QCheckBox *Check3;
    QPushButton *Command5;
    QGroupBox *Frame2;
    QCheckBox *Check1;
    QGroupBox *Frame1;
    QRadioButton *Option1;
    QRadioButton *Option2;
    QRadioButton *Option3;
    QLabel *Label3;
    QLineEdit *Text3;
    QPushButton *Command1;
    QGroupBox *Frame3;
    QCheckBox *Check2;
    QLineEdit *Text2;
    QDateEdit *DTPicker1;
    QGroupBox *Frame4;
    QRadioButton *Option4;
    QRadioButton *Option5;
    QRadioButton *Option6;
    QPushButton *Command2;
    QPushButton *Command3;
    QPushButton *Command4;
    QPlainTextEdit *Text4;

    QButtonGroup *m_strengths;
    QButtonGroup *m_protection;
    int m_heightTwips = kNormalHeight;
    bool m_placed = false;
    bool m_filtering = false;
    bool m_filling = false;
};
