// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

/**
 * A one-line label whose text may be longer than the room it has: it keeps
 * the whole text (text() returns it) but draws what fits, ending in "…", and
 * then shows the whole text as its tooltip.
 */
class ElidedLabel : public QLabel
{
    Q_OBJECT

public:
    explicit ElidedLabel(QWidget *parent = nullptr);

    /** Sizes the label to its text, but never past maxRight (in its parent's coordinates). */
    void fitText(int maxRight);

protected:
    void paintEvent(QPaintEvent *event) override;
};
