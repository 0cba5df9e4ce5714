#pragma once

#include <QString>
#include <optional>

// A rectangle of worksheet cells as A1-style text names it: "B4", "A1:G2", "C:C" (whole columns) or
// "3:5" (whole rows). Rows and columns count from 0, bounds inclusive, corners in order.
struct CellRange {
    static constexpr int kRows = 1048576;   // the largest sheet a spreadsheet file may hold
    static constexpr int kColumns = 16384;  // A to XFD

    int firstRow = 0, firstColumn = 0, lastRow = 0, lastColumn = 0;

    // Refuses anything that is not a range on the sheet (empty, "A0", "XFE1", "A1:C", "1A", ...).
    // Lower case and "$" are accepted; corners may be given in either order.
    static std::optional<CellRange> Parse(const QString &text);
    // "A", "Z", "AA", ... for a column counted from 0.
    static QString ColumnName(int column);
    // "C5" for a cell counted from 0.
    static QString CellName(int row, int column);

    int Rows() const { return lastRow - firstRow + 1; }
    int Columns() const { return lastColumn - firstColumn + 1; }
    bool WholeColumns() const { return firstRow == 0 && lastRow == kRows - 1; }
    bool WholeRows() const { return firstColumn == 0 && lastColumn == kColumns - 1; }
    bool IsCell() const { return firstRow == lastRow && firstColumn == lastColumn; }
    bool Contains(int row, int column) const {
        return row >= firstRow && row <= lastRow && column >= firstColumn && column <= lastColumn;
    }
    bool Overlaps(const CellRange &o) const {
        return firstRow <= o.lastRow && o.firstRow <= lastRow && firstColumn <= o.lastColumn &&
               o.firstColumn <= lastColumn;
    }
    QString Name() const;  // back to "A1:G2" form
    bool operator==(const CellRange &) const = default;
};
