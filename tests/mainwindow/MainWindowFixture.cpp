// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindowFixture.h"

#include "common/TextLines.h"
#include "common/Windows1252.h"
#include "store/FieldCipher.h"

#include <QLineEdit>
#include <QTableView>
#include <QTest>

using namespace Qt::StringLiterals;

MainWindowFixture::MainWindowFixture(const QStringList &records)
{
    if (!records.isEmpty()) {
        QByteArray file;
        for (const QString &line : records)
            file += TextLines::terminated(Windows1252::encode(FieldCipher::encipher(line)));
        TestFolders::write(folders.data() + u"/userDB.pdb"_s, file);
    }
    QDir().mkpath(folders.data());
    window = std::make_unique<mainScr>();
}

MainWindowFixture::~MainWindowFixture() = default;

void MainWindowFixture::start()
{
    window->Form_Load();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
}

QLineEdit *MainWindowFixture::box(RecordLine::Field field) const
{
    return window->ui.lineBox(field);
}

void MainWindowFixture::type(RecordLine::Field field, const QString &text)
{
    window->ui.Text1[field]->setFocus();
    QTest::keyClicks(window->ui.Text1[field], text);
}

void MainWindowFixture::clickRow(int row, Qt::MouseButton button)
{
    QTableView *grid = window->ui.Grid1;
    const QRect rect = grid->visualRect(grid->model()->index(row, 0));
    QTest::mouseClick(grid->viewport(), button, {}, rect.isValid() ? rect.center() : QPoint(5, 5));
}

QStringList MainWindowFixture::fileLines() const
{
    QStringList lines;
    for (const QByteArray &line : TextLines::split(TestFolders::read(folders.data() + u"/userDB.pdb"_s)))
        lines.append(FieldCipher::decipher(Windows1252::decode(line)));
    return lines;
}

QString MainWindowFixture::cell(int row, int column) const
{
    return window->records().index(row, column).data().toString();
}

int MainWindowFixture::rows() const
{
    return window->records().rowCount();
}

QString recordLine(const QString &service, const QString &path, const QString &user, const QString &password,
    const QString &info, const QString &date)
{
    return service + u":!"_s + path + u":!"_s + user + u":!"_s + password + u":!"_s + info + u":!"_s + date + u":!"_s;
}
