// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

/**
 * A label or picture that takes the mouse: the toolbar buttons, the
 * clipboard indicator and the field labels. It reports the mouse moving
 * over it (no button needed), a left press, and a click (a left press and
 * release over it).
 */
class ClickLabel : public QLabel
{
    Q_OBJECT

public:
    explicit ClickLabel(QWidget *parent = nullptr);
    explicit ClickLabel(const QString &text, QWidget *parent = nullptr);

    /** Shows the picture of an SVG resource, drawn sharp at the label's size and the screen's pixel ratio. */
    void setSvg(const QString &resource);

Q_SIGNALS:
    void clicked();
    void pressed();
    void hovered(const QPoint &position);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void renderSvg();

    QString m_svg;
    bool m_pressed = false;
};
