// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/InfoEdit.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QRegularExpression>
#include <QTextDocumentFragment>

using namespace Qt::StringLiterals;

namespace {
QString oneLine(QString text)
{
    static const QRegularExpression lineBreaks(u"\r\n|[\r\n\u2028\u2029]"_s);
    return text.replace(lineBreaks, u" "_s);
}

/** A document's raw text, with its block and line separators as line feeds as toPlainText() gives them. */
QString asTyped(QString raw)
{
    return raw.replace(QChar::ParagraphSeparator, u'\n').replace(QChar::LineSeparator, u'\n');
}
} // namespace

InfoEdit::InfoEdit(QWidget *parent)
    : QPlainTextEdit(parent)
{
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setTabChangesFocus(true);
    setMouseTracking(true);
    connect(this, &QPlainTextEdit::textChanged, this, [this] { Q_EMIT contentChanged(text()); });
}

QString InfoEdit::text() const
{
    // toPlainText() turns every no-break space into a plain one; the record keeps what the user typed.
    return asTyped(document()->toRawText());
}

void InfoEdit::setText(const QString &text)
{
    const QString line = oneLine(text);
    if (line != this->text())
        setPlainText(line);
}

void InfoEdit::end()
{
    moveCursor(QTextCursor::End);
}

void InfoEdit::keyPressEvent(QKeyEvent *event)
{
    // The key itself is still seen by the window's key rules on its release.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->ignore();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

bool InfoEdit::canInsertFromMimeData(const QMimeData *source) const
{
    return source->hasText();
}

void InfoEdit::insertFromMimeData(const QMimeData *source)
{
    if (source->hasText())
        insertPlainText(oneLine(source->text()));
}

QMimeData *InfoEdit::createMimeDataFromSelection() const
{
    auto *data = new QMimeData;
    data->setText(asTyped(textCursor().selection().toRawText()));
    return data;
}
