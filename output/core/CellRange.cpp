#include "CellRange.h"

#include <QStringList>
#include <utility>

namespace {

// One side of a range: a column, a row, or both. Either part may be missing, never both.
struct Corner {
    int column = -1, row = -1;
};

std::optional<Corner> ParseCorner(QStringView text) {
    Corner corner;
    qsizetype i = 0;
    if (i < text.size() && text[i] == u'$') ++i;
    qsizetype letters = 0;
    long long column = 0;
    for (; i < text.size() && text[i].isLetter(); ++i, ++letters) {
        const char16_t c = text[i].toUpper().unicode();
        if (c < u'A' || c > u'Z' || letters >= 3) return std::nullopt;
        column = column * 26 + (c - u'A' + 1);
    }
    if (letters > 0) {
        if (column > CellRange::kColumns) return std::nullopt;
        corner.column = int(column - 1);
    }
    if (i < text.size() && text[i] == u'$') {
        if (letters == 0) return std::nullopt;
        ++i;
    }
    qsizetype digits = 0;
    long long row = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i, ++digits) {
        if (digits >= 7) return std::nullopt;
        row = row * 10 + (text[i].unicode() - u'0');
    }
    if (i != text.size() || (letters == 0 && digits == 0)) return std::nullopt;
    if (digits > 0) {
        if (row < 1 || row > CellRange::kRows) return std::nullopt;
        corner.row = int(row - 1);
    }
    return corner;
}

}  // namespace

std::optional<CellRange> CellRange::Parse(const QString &text) {
    const QStringList parts = text.trimmed().split(u':');
    if (parts.size() > 2) return std::nullopt;
    const auto a = ParseCorner(parts.front());
    const auto b = parts.size() == 2 ? ParseCorner(parts.back()) : a;
    if (!a || !b) return std::nullopt;
    const bool aCell = a->row >= 0 && a->column >= 0, bCell = b->row >= 0 && b->column >= 0;
    CellRange r;
    if (aCell && bCell) {
        r = {a->row, a->column, b->row, b->column};
    } else if (parts.size() == 2 && a->row < 0 && b->row < 0) {  // "C:E"
        r = {0, a->column, kRows - 1, b->column};
    } else if (parts.size() == 2 && a->column < 0 && b->column < 0) {  // "3:5"
        r = {a->row, 0, b->row, kColumns - 1};
    } else {
        return std::nullopt;  // "C", "3", "A1:C"
    }
    if (r.firstRow > r.lastRow) std::swap(r.firstRow, r.lastRow);
    if (r.firstColumn > r.lastColumn) std::swap(r.firstColumn, r.lastColumn);
    return r;
}

QString CellRange::ColumnName(int column) {
    QString name;
    for (int n = column + 1; n > 0; n = (n - 1) / 26) name.prepend(QChar(u'A' + (n - 1) % 26));
    return name;
}

QString CellRange::CellName(int row, int column) {
    return ColumnName(column) + QString::number(row + 1);
}

QString CellRange::Name() const {
    if (WholeColumns() && !WholeRows()) return ColumnName(firstColumn) + u':' + ColumnName(lastColumn);
    if (WholeRows() && !WholeColumns())
        return QString::number(firstRow + 1) + u':' + QString::number(lastRow + 1);
    if (IsCell()) return CellName(firstRow, firstColumn);
    return CellName(firstRow, firstColumn) + u':' + CellName(lastRow, lastColumn);
}
