// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ElidedLabel.h"

#include <QPainter>
#include <QStyle>
#include <QTextLayout>

namespace {
/** How much smaller the print of two lines may be. */
constexpr qreal kSmallerBy = 1.5;
} // namespace

ElidedLabel::ElidedLabel(QWidget *parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
}

void ElidedLabel::allowTwoLines(QPoint topLeft)
{
    m_oneLine = pos();
    m_twoLines = topLeft;
}

void ElidedLabel::fitText(int maxRight)
{
    if (m_wrapped) {
        m_wrapped = false;
        setFont(QFont());
        move(m_oneLine);
    }
    adjustSize();
    const int room = qMax(0, maxRight - x());
    const bool cut = width() > room;
    if (cut && m_twoLines && parentWidget()) {
        const QRect area(*m_twoLines, QPoint(maxRight, parentWidget()->contentsRect().bottom()));
        QFont print = font();
        const qreal usual = print.pointSizeF();
        // The largest print in which two lines fit the area, the text whole where one does.
        for (qreal size = usual; size >= usual - kSmallerBy; size -= 0.5) {
            print.setPointSizeF(size);
            const QFontMetrics metrics(print);
            if (2 * metrics.lineSpacing() > area.height())
                continue;
            setFont(print);
            if (!twoLines(metrics, area.width()).constLast().endsWith(u'\u2026'))
                break;
        }
        setGeometry(area);
        m_wrapped = true;
    } else if (cut) {
        resize(room, height());
    }
    setToolTip(cut ? text() : QString());
}

QStringList ElidedLabel::twoLines(const QFontMetrics &metrics, int width) const
{
    const QString all = text();
    QTextLayout layout(all, font());
    layout.beginLayout();
    QTextLine first = layout.createLine();
    first.setLineWidth(width);
    layout.endLayout();
    const int taken = first.isValid() ? first.textLength() : 0;
    return { all.left(taken).trimmed(), metrics.elidedText(all.mid(taken).trimmed(), Qt::ElideRight, width) };
}

QStringList ElidedLabel::shownLines() const
{
    const int width = contentsRect().width();
    if (m_wrapped)
        return twoLines(fontMetrics(), width);
    return { fontMetrics().elidedText(text(), Qt::ElideRight, width) };
}

void ElidedLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QRect area = contentsRect();
    const int flags = m_wrapped ? int(Qt::AlignLeft | Qt::AlignTop) : int(alignment());
    for (const QString &line : shownLines()) {
        style()->drawItemText(&painter, area, flags, palette(), isEnabled(), line, foregroundRole());
        area.setTop(area.top() + fontMetrics().lineSpacing());
    }
}
