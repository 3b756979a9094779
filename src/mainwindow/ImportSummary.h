// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/LoginCsv.h"

#include <QDialog>

/**
 * What an import will do, shown before anything is written: how many records
 * it adds, how many are there already, and every row it must leave out with
 * its line and the reason. Import goes on, Cancel (or Escape) writes nothing;
 * with nothing to add there is only Close. Ctrl+C copies the whole summary,
 * so that the rows left out can be mended in the file.
 */
class ImportSummary : public QDialog
{
    Q_OBJECT

public:
    ImportSummary(const QString &file, const LoginCsv::ImportPlan &plan, QWidget *parent = nullptr);

    /** The summary as plain text, as Ctrl+C copies it. */
    QString text() const { return m_text; }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QString m_text;
};
