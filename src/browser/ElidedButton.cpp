// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/ElidedButton.h"

#include <QHelpEvent>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QToolTip>

using namespace Qt::StringLiterals;

namespace {
/** Room the style keeps between a caption and the button's edge, on both sides together. */
constexpr int kSidePadding = 6;
} // namespace

QString ElidedButton::shownText() const
{
    QStyleOptionButton option;
    initStyleOption(&option);
    return shownText(option);
}

QString ElidedButton::shownText(const QStyleOptionButton &option) const
{
    const QRect contents = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    return fontMetrics().elidedText(text(), Qt::ElideRight, contents.width() - kSidePadding, Qt::TextShowMnemonic);
}

bool ElidedButton::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip && toolTip().isEmpty()) {
        // A cut caption shows whole (an "&&" in it is one "&").
        const QString shown = shownText();
        if (shown != text()) {
            QToolTip::showText(
                static_cast<QHelpEvent *>(event)->globalPos(), QString(text()).replace(u"&&"_s, u"&"_s), this);
            return true;
        }
    }
    return QPushButton::event(event);
}

void ElidedButton::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text = shownText(option);
    painter.drawControl(QStyle::CE_PushButton, option);
}
