// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPushButton>

/**
 * A button whose caption may be longer than the button is wide (a user name):
 * it draws what fits from the caption's start, ending in "…", and shows the
 * whole caption as its tooltip, where a plain button would cut the centred
 * caption off at both ends.
 */
class ElidedButton : public QPushButton
{
    Q_OBJECT

public:
    using QPushButton::QPushButton;

    /** The caption as the button draws it. */
    QString shownText() const;

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QString shownText(const QStyleOptionButton &option) const;
};
