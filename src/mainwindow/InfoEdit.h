// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPlainTextEdit>

/**
 * The Info box: taller than the other boxes and wrapping long text, but a
 * single line all the same, since the value is stored on one line of the
 * database. Enter inserts nothing and pasted line breaks become spaces.
 * Its text API matches QLineEdit's.
 */
class InfoEdit : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit InfoEdit(QWidget *parent = nullptr);

    /** The text as typed: unlike toPlainText(), a no-break space stays one. */
    QString text() const;
    void setText(const QString &text);
    /** Puts the caret after the last character. */
    void end();
    /** Inserts pasted or dropped text at the caret, its line breaks turned into spaces. */
    void insertFromMimeData(const QMimeData *source) override;

Q_SIGNALS:
    /** The text changed, whoever changed it. */
    void contentChanged(const QString &text);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool canInsertFromMimeData(const QMimeData *source) const override;
    /** Copy, cut and drag take the selected text as typed, no-break spaces included. */
    QMimeData *createMimeDataFromSelection() const override;
};
