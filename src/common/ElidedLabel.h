// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

#include <optional>

/**
 * A one-line label whose text may be longer than the room it has: it keeps
 * the whole text (text() returns it) but draws what fits, ending in "…", and
 * then shows the whole text as its tooltip. Where it is allowed to, a text
 * that one line cannot hold takes two.
 */
class ElidedLabel : public QLabel
{
    Q_OBJECT

public:
    explicit ElidedLabel(QWidget *parent = nullptr);

    /** Sizes the label to its text, but never past maxRight (in its parent's coordinates). */
    void fitText(int maxRight);

    /**
     * Lets a text that one line cannot hold take two lines, from topLeft (in
     * the parent) down to the parent's inner bottom, in a print up to 1.5
     * points smaller where two lines of the usual one do not fit there. The
     * label's place now is its place for one line.
     */
    void allowTwoLines(QPoint topLeft);

    /** The lines the label shows, as it draws them. */
    QStringList shownLines() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    /** The text broken into two lines of at most width, the second ended by "…" where it is cut. */
    QStringList twoLines(const QFontMetrics &metrics, int width) const;

    QPoint m_oneLine;
    std::optional<QPoint> m_twoLines;
    bool m_wrapped = false;
};
