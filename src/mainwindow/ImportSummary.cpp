// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/ImportSummary.h"

#include "common/AppInfo.h"
#include "common/Clipboard.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {
QString counted(qsizetype n, const QString &one, const QString &many)
{
    return (n == 1 ? one : many).arg(n);
}

QLabel *label(const QString &text, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setWordWrap(true);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
}
} // namespace

ImportSummary::ImportSummary(const QString &file, const LoginCsv::ImportPlan &plan, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(u"ImportSummary"_s);
    setWindowTitle(u"Import - "_s + AppInfo::title);
    auto *layout = new QVBoxLayout(this);

    const QString source = u"%1, an export of %2."_s.arg(QDir::toNativeSeparators(file), plan.source);
    QStringList counts { counted(plan.lines.size(), u"%1 record will be added."_s, u"%1 records will be added."_s) };
    if (plan.alreadyThere > 0)
        counts.append(counted(plan.alreadyThere,
            u"%1 is already there (the same Service, Path, Username and Password) and will be skipped."_s,
            u"%1 are already there (the same Service, Path, Username and Password) and will be skipped."_s));
    if (!plan.rejected.isEmpty())
        counts.append(counted(plan.rejected.size(), u"%1 row cannot be stored and will be left out:"_s,
            u"%1 rows cannot be stored and will be left out:"_s));
    QStringList rows;
    for (const LoginCsv::Rejected &rejected : plan.rejected)
        rows.append(u"Line %1: %2"_s.arg(rejected.line).arg(rejected.reason));
    const QString undo = u"An import cannot be taken back with Undo."_s;

    layout->addWidget(label(source, this));
    layout->addWidget(label(counts.join(u'\n'), this));
    m_text = source + u"\n\n"_s + counts.join(u'\n') + u'\n';
    if (!rows.isEmpty()) {
        auto *list = new QPlainTextEdit(rows.join(u'\n'), this);
        list->setObjectName(u"rejectedRows"_s);
        list->setReadOnly(true);
        // The keyboard stays with the buttons, so that Ctrl+C copies the whole summary.
        list->setFocusPolicy(Qt::NoFocus);
        const int shown = int(qBound(qsizetype(4), rows.size() * 2, qsizetype(12))); // room for rows that wrap
        list->setMinimumHeight(list->fontMetrics().lineSpacing() * shown + 2 * list->frameWidth() + 8);
        layout->addWidget(list, 1);
        m_text += rows.join(u'\n') + u'\n';
    }
    if (!plan.lines.isEmpty()) {
        layout->addWidget(label(undo, this));
        m_text += u'\n' + undo + u'\n';
    }

    auto *buttons = new QDialogButtonBox(this);
    if (plan.lines.isEmpty()) {
        buttons->addButton(QDialogButtonBox::Close);
    } else {
        QPushButton *import = buttons->addButton(u"&Import"_s, QDialogButtonBox::AcceptRole);
        import->setDefault(true);
        buttons->addButton(QDialogButtonBox::Cancel);
    }
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(qMax(sizeHint().width(), 560), minimumSizeHint().height());
}

void ImportSummary::keyPressEvent(QKeyEvent *event)
{
    // Where the list has not taken the key to copy a selection of its own.
    if (event->matches(QKeySequence::Copy)) {
        Clipboard::setText(m_text);
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
