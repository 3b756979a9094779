// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QMenu>
#include <QWidget>

using namespace Qt::StringLiterals;

namespace {
/** A top-level window of ours, with the pop-up menus it owns after its controls. */
class WindowAccessible : public QAccessibleWidget
{
public:
    WindowAccessible(QWidget *window, QAccessible::Role role)
        : QAccessibleWidget(window, role)
    { }

    int childCount() const override { return QAccessibleWidget::childCount() + int(menus().size()); }

    QAccessibleInterface *child(int index) const override
    {
        const int controls = QAccessibleWidget::childCount();
        if (index < controls)
            return QAccessibleWidget::child(index);
        const QList<QMenu *> own = menus();
        return index - controls < own.size() ? QAccessible::queryAccessibleInterface(own.at(index - controls))
                                             : nullptr;
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        if (auto *menu = child ? qobject_cast<QMenu *>(child->object()) : nullptr) {
            if (const qsizetype at = menus().indexOf(menu); at >= 0)
                return QAccessibleWidget::childCount() + int(at);
        }
        return QAccessibleWidget::indexOfChild(child);
    }

private:
    // A menu is a window of its own, which Qt lists under no other window.
    QList<QMenu *> menus() const { return widget()->findChildren<QMenu *>(Qt::FindDirectChildrenOnly); }
};

QAccessibleInterface *windowInterface(const QString &className, QObject *object)
{
    // Asked for each class of the object in turn, most derived first: reaching QWidget means that nothing knew
    // the window better (a dialog, a main window or a menu is known by its own class before).
    if (className != u"QWidget"_s || !object || !object->isWidgetType())
        return nullptr;
    auto *widget = static_cast<QWidget *>(object);
    if (!widget->isWindow())
        return nullptr;
    return new WindowAccessible(widget, widget->windowType() == Qt::Dialog ? QAccessible::Dialog : QAccessible::Window);
}
} // namespace

namespace Accessibility {

void install()
{
    QAccessible::installFactory(windowInterface);
}

} // namespace Accessibility
