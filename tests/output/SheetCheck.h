#pragma once
// Compact checks of a sheet a report built: texts and looks of cells and merges, each as one text; and
// the moments reports are built from; and a session to build them in.
#include "ExcelSession.h"
#include "ExcelSheet.h"

#include <gtest/gtest.h>
#include <QDateTime>
#include <QStringList>
#include <QTemporaryDir>
#include <string>

// A session writing into a temporary folder whose opener records what it was asked to open; nothing is
// launched.
struct SessionFixture : ::testing::Test {
    QTemporaryDir dir;
    QStringList opened;
    QString refuse;  // what the opener answers
    ExcelSession session{dir.filePath("reports/new"), [this](const QString &file) {
                             opened << file;
                             return refuse;
                         }};
};

inline QDateTime At(int y, int m, int d, int h = 0, int min = 0, int s = 0) {
    return QDateTime(QDate(y, m, d), QTime(h, min, s));
}

inline std::string S(const QString &s) {
    return s.toStdString();
}

// The texts of the cells named ("A1 C4"), joined by "|".
inline std::string Texts(const ExcelSheet &sheet, const QString &cells) {
    QStringList all;
    for (const QString &c : cells.split(u' ')) all << sheet.Text(c);
    return S(all.join(u'|'));
}

// How the cells named look, joined by " ": b bold, c centred, r bordered, w wrapped, @ kept as text, then
// the font size; "-" for a plain cell.
inline std::string LooksAt(const ExcelSheet &sheet, const QString &cells) {
    QStringList all;
    for (const QString &c : cells.split(u' ')) {
        const CellFormat f = sheet.FormatAt(c);
        QString s = QString(f.bold ? "b" : "") + (f.centre ? "c" : "") + (f.border ? "r" : "") +
                    (f.wrap ? "w" : "") + (f.numberFormat == u"@" ? "@" : "") +
                    (f.fontSize ? QString::number(f.fontSize) : "");
        all << (s.isEmpty() ? "-" : s);
    }
    return S(all.join(u' '));
}

// The texts of a range, a row a line, cells joined by "|".
inline std::string Table(const ExcelSheet &sheet, const char *range) {
    const CellRange r = *CellRange::Parse(QString::fromLatin1(range));
    QStringList rows;
    for (int row = r.firstRow; row <= r.lastRow; ++row) {
        QStringList cells;
        for (int column = r.firstColumn; column <= r.lastColumn; ++column)
            cells << sheet.Text(CellRange::CellName(row, column));
        rows << cells.join(u'|');
    }
    return S(rows.join(u'\n'));
}

// Every merge, as "A1:G2 A8:B8".
inline std::string Merges(const ExcelSheet &sheet) {
    QStringList all;
    for (const CellRange &m : sheet.Merges()) all << m.Name();
    return S(all.join(u' '));
}
