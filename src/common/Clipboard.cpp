// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

using namespace Qt::StringLiterals;

namespace Clipboard {

QString text()
{
    return QGuiApplication::clipboard()->text(QClipboard::Clipboard);
}

void setText(const QString &text)
{
    QGuiApplication::clipboard()->setText(text, QClipboard::Clipboard);
}

void setSecretText(const QString &text)
{
    auto *data = new QMimeData;
    data->setText(text);
    data->setData(u"x-kde-passwordManagerHint"_s, "secret");
    QGuiApplication::clipboard()->setMimeData(data, QClipboard::Clipboard);
}

void clear()
{
    QGuiApplication::clipboard()->clear(QClipboard::Clipboard);
}

} // namespace Clipboard
