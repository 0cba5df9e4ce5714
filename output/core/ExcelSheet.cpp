#include "ExcelSheet.h"

#include <algorithm>
#include <cmath>

CellFormat ExcelSheet::Inherited(int row, int column) const {
    if (const auto r = m_rowFormats.find(row); r != m_rowFormats.end()) return r->second;
    if (const auto c = m_columnFormats.find(column); c != m_columnFormats.end()) return c->second;
    return {};
}

SheetCell &ExcelSheet::Touch(int row, int column) {
    const auto [it, made] = m_cells.try_emplace({row, column});
    if (made) it->second.format = Inherited(row, column);
    return it->second;
}

const CellRange *ExcelSheet::MergeAt(int row, int column) const {
    for (const CellRange &m : m_merges)
        if (m.Contains(row, column)) return &m;
    return nullptr;
}

void ExcelSheet::SetText(const CellRange &range, const QString &text) {
    for (int r = range.firstRow; r <= range.lastRow; ++r)
        for (int c = range.firstColumn; c <= range.lastColumn; ++c) {
            // A cell hidden under a merge shows nothing, and merging would drop its value anyway.
            const CellRange *m = MergeAt(r, c);
            if (m && (m->firstRow != r || m->firstColumn != c)) continue;
            Touch(r, c).text = text;
        }
}

void ExcelSheet::ChangeFormat(const CellRange &range, const std::function<void(CellFormat &)> &change) {
    const bool columns = range.WholeColumns(), rows = range.WholeRows();
    if (!columns && !rows) {
        for (int r = range.firstRow; r <= range.lastRow; ++r)
            for (int c = range.firstColumn; c <= range.lastColumn; ++c) change(Touch(r, c).format);
        return;
    }
    // Where a formatted row crosses a formatted column the cell must exist, or it would show only one
    // of the two formats. The whole sheet changes both alike, so it needs none.
    if (columns && !rows)
        for (const auto &row : m_rowFormats)
            for (int c = range.firstColumn; c <= range.lastColumn; ++c) Touch(row.first, c);
    if (rows && !columns)
        for (const auto &column : m_columnFormats)
            for (int r = range.firstRow; r <= range.lastRow; ++r) Touch(r, column.first);
    for (auto &[key, cell] : m_cells)
        if (range.Contains(key.first, key.second)) change(cell.format);
    if (columns)
        for (int c = range.firstColumn; c <= range.lastColumn; ++c) change(m_columnFormats[c]);
    if (rows && columns)
        for (auto &row : m_rowFormats) change(row.second);
    else if (rows)
        for (int r = range.firstRow; r <= range.lastRow; ++r) change(m_rowFormats[r]);
}

void ExcelSheet::Merge(const CellRange &range) {
    if (range.IsCell()) return;
    // A merge that overlaps earlier ones swallows them, as the spreadsheet does.
    CellRange merged = range;
    for (bool grew = true; grew;) {
        grew = false;
        for (auto it = m_merges.begin(); it != m_merges.end(); ++it)
            if (it->Overlaps(merged)) {
                merged = {std::min(merged.firstRow, it->firstRow),
                          std::min(merged.firstColumn, it->firstColumn),
                          std::max(merged.lastRow, it->lastRow), std::max(merged.lastColumn, it->lastColumn)};
                m_merges.erase(it);
                grew = true;
                break;
            }
    }
    for (auto &[key, cell] : m_cells)
        if (merged.Contains(key.first, key.second) &&
            (key.first != merged.firstRow || key.second != merged.firstColumn))
            cell.text.clear();
    m_merges.push_back(merged);
}

void ExcelSheet::SetColumnWidth(const CellRange &columns, double width) {
    for (int c = columns.firstColumn; c <= columns.lastColumn; ++c) m_widths[c] = width;
}

QString ExcelSheet::Text(const QString &cell) const {
    const auto r = CellRange::Parse(cell);
    if (!r) return {};
    const auto it = m_cells.find({r->firstRow, r->firstColumn});
    return it == m_cells.end() ? QString() : it->second.text;
}

CellFormat ExcelSheet::FormatAt(const QString &cell) const {
    const auto r = CellRange::Parse(cell);
    if (!r) return {};
    const auto it = m_cells.find({r->firstRow, r->firstColumn});
    return it == m_cells.end() ? Inherited(r->firstRow, r->firstColumn) : it->second.format;
}

std::optional<double> ExcelSheet::ColumnWidth(const QString &column) const {
    const auto r = CellRange::Parse(column + u':' + column);
    if (!r) return std::nullopt;
    const auto it = m_widths.find(r->firstColumn);
    return it == m_widths.end() ? std::nullopt : std::optional(it->second);
}

int ExcelSheet::UsedWidthPixels() const {
    int last = -1;
    for (const auto &[key, cell] : m_cells) last = std::max(last, key.second);
    for (const CellRange &m : m_merges) last = std::max(last, m.lastColumn);
    constexpr double kDefaultWidth = 8.43, kDigit = 7;  // the default font's widest digit, in pixels
    int pixels = 0;
    for (int c = 0; c <= last; ++c) {
        const auto it = m_widths.find(c);
        const double width = it == m_widths.end() ? kDefaultWidth : it->second;
        // Below one character the padding shrinks with the column, as in the spreadsheet.
        pixels += int(width < 1 ? std::lround(width * (kDigit + 5)) : std::lround(width * kDigit) + 5);
    }
    return pixels;
}
