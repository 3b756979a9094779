// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Clipboard.h"

#include <QClipboard>
#include <QCryptographicHash>
#include <QGuiApplication>
#include <QMimeData>

using namespace Qt::StringLiterals;

namespace {
/**
 * The value Corvane put on the clipboard last is known by its digest, never by its text. It is kept on
 * the clipboard object, which the program and its browser library share.
 */
constexpr char kOwnValue[] = "corvaneOwnValue";

QByteArray digest(const QString &text)
{
    return QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha256);
}

void markOwn(const QString &text)
{
    QGuiApplication::clipboard()->setProperty(kOwnValue, digest(text));
}
} // namespace

namespace Clipboard {

QString text()
{
    return QGuiApplication::clipboard()->text(QClipboard::Clipboard);
}

void setText(const QString &text)
{
    QGuiApplication::clipboard()->setText(text, QClipboard::Clipboard);
    markOwn(text);
}

void setSecretText(const QString &text)
{
    auto *data = new QMimeData;
    data->setText(text);
    data->setData(u"x-kde-passwordManagerHint"_s, "secret");
    QGuiApplication::clipboard()->setMimeData(data, QClipboard::Clipboard);
    markOwn(text);
}

void clear()
{
    QGuiApplication::clipboard()->clear(QClipboard::Clipboard);
}

bool clearOwnValue()
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (clipboard->ownsClipboard()) {
        // What Corvane still serves came from Corvane (a text copied out of one of its boxes too): it serves an
        // empty text from now on. Giving the clipboard up instead would let a desktop's clipboard manager
        // (weston's, GNOME's) put the value back, and on native Wayland the desktop takes a new value only from
        // the program that has the keyboard.
        if (auto *data = const_cast<QMimeData *>(clipboard->mimeData(QClipboard::Clipboard))) {
            data->clear();
            data->setText(QString());
        }
        return true;
    }
    // A clipboard manager that took the value over holds the same text.
    const QByteArray own = clipboard->property(kOwnValue).toByteArray();
    const QString now = text();
    if (own.isEmpty() || now.isEmpty() || digest(now) != own)
        return false;
    clipboard->setText(QString(), QClipboard::Clipboard);
    return true;
}

} // namespace Clipboard
