#pragma once

#include "CellRange.h"

#include <QString>
#include <functional>
#include <map>
#include <optional>
#include <utility>
#include <vector>

// How one cell (or a whole column or row) looks.
struct CellFormat {
    bool bold = false;
    int fontSize = 0;  // points; 0 keeps the workbook's default
    bool wrap = false;
    bool centre = false;   // horizontal centring
    bool border = false;   // thin continuous line on all four sides
    QString numberFormat;  // "" General, "@" text kept as typed
    bool operator==(const CellFormat &) const = default;
};

struct SheetCell {
    QString text;
    CellFormat format;
    bool operator==(const SheetCell &) const = default;
};

struct PageSetup {
    static constexpr int kA4 = 9;  // the spreadsheet's paper code
    // What fits across an upright A4 sheet between the default margins of 0.7 inch, in pixels at 96 dpi.
    static constexpr int kA4UprightPixels = 659;

    int zoom = 100;  // print scale, percent; a fit to width takes its place
    bool landscape = false;
    int paper = 0;            // 0 leaves the printer's own
    bool fitToWidth = false;  // one page wide, as many pages long as it takes
    bool operator==(const PageSetup &) const = default;
};

// One worksheet held in memory while a report fills it. It behaves as the spreadsheet does: a cell made
// later in a formatted row or column takes that format, formatting a whole column formats the cells
// already in it, merging keeps only the top-left value. Operations never fail; the session checks
// ranges and sizes before it calls them.
class ExcelSheet {
public:
    using Key = std::pair<int, int>;  // row, column from 0

    void SetText(const CellRange &range, const QString &text);
    void ChangeFormat(const CellRange &range, const std::function<void(CellFormat &)> &change);
    void Merge(const CellRange &range);
    void SetColumnWidth(const CellRange &columns, double width);
    void SetPage(const PageSetup &page) { m_page = page; }

    // For the writer and for tests. Addresses that do not parse read as empty.
    const std::map<Key, SheetCell> &Cells() const { return m_cells; }
    const std::map<int, CellFormat> &ColumnFormats() const { return m_columnFormats; }
    const std::map<int, CellFormat> &RowFormats() const { return m_rowFormats; }
    const std::map<int, double> &ColumnWidths() const { return m_widths; }
    const std::vector<CellRange> &Merges() const { return m_merges; }
    const PageSetup &Page() const { return m_page; }
    QString Text(const QString &cell) const;
    CellFormat FormatAt(const QString &cell) const;                  // what the cell shows, made or not
    std::optional<double> ColumnWidth(const QString &column) const;  // "C"
    const CellRange *MergeAt(int row, int column) const;
    // How wide the columns that hold anything print, in pixels at 96 dpi as the spreadsheet draws them.
    int UsedWidthPixels() const;

private:
    CellFormat Inherited(int row, int column) const;
    SheetCell &Touch(int row, int column);

    std::map<Key, SheetCell> m_cells;
    std::map<int, CellFormat> m_columnFormats, m_rowFormats;
    std::map<int, double> m_widths;
    std::vector<CellRange> m_merges;
    PageSetup m_page;
};
