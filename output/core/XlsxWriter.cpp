#include "XlsxWriter.h"

#include <xlsxwriter.h>
#include <QFile>
#include <QRegularExpression>

#include <utility>
#include <vector>

namespace {

// Text a non-text cell turns into a number, as typed into a spreadsheet. Leading zeros and more digits
// than a double keeps stay text, so codes and long numbers come out as written.
bool LooksNumeric(const QString &text, int *decimals) {
    static const QRegularExpression number(QStringLiteral("^-?(0|[1-9][0-9]{0,14})(\\.([0-9]{1,15}))?$"));
    const auto m = number.match(text);
    if (!m.hasMatch()) return false;
    *decimals = int(m.capturedLength(3));
    return true;
}

class Writer {
public:
    Writer(lxw_workbook *book, lxw_worksheet *sheet) : m_book(book), m_sheet(sheet) {}

    lxw_format *Format(const CellFormat &f) {
        if (f == CellFormat{}) return nullptr;
        for (const auto &[known, format] : m_formats)
            if (known == f) return format;
        lxw_format *format = workbook_add_format(m_book);
        if (f.bold) format_set_bold(format);
        if (f.fontSize > 0) format_set_font_size(format, f.fontSize);
        if (f.wrap) format_set_text_wrap(format);
        if (f.centre) format_set_align(format, LXW_ALIGN_CENTER);
        if (f.border) format_set_border(format, LXW_BORDER_THIN);
        if (!f.numberFormat.isEmpty()) format_set_num_format(format, f.numberFormat.toUtf8().constData());
        m_formats.emplace_back(f, format);
        return format;
    }

    void Cell(int row, int column, const SheetCell &cell) {
        const lxw_row_t r = lxw_row_t(row);
        const lxw_col_t c = lxw_col_t(column);
        int decimals = 0;
        if (cell.text.isEmpty()) {
            Check(worksheet_write_blank(m_sheet, r, c, Format(cell.format)));
        } else if (cell.format.numberFormat != u"@" && LooksNumeric(cell.text, &decimals)) {
            CellFormat f = cell.format;
            // Amounts keep the decimals they were written with ("12.50" stays "12.50").
            if (f.numberFormat.isEmpty() && decimals > 0)
                f.numberFormat = QStringLiteral("0.") + QString(decimals, u'0');
            Check(worksheet_write_number(m_sheet, r, c, cell.text.toDouble(), Format(f)));
        } else {
            // Never written as a formula: a note starting with "=" is shown as the user typed it.
            const QByteArray utf8 = cell.text.left(XlsxWriter::kMaxText).toUtf8();
            Check(worksheet_write_string(m_sheet, r, c, utf8.constData(), Format(cell.format)));
        }
    }

    void Check(lxw_error e) {
        if (e != LXW_NO_ERROR && m_error == LXW_NO_ERROR) m_error = e;
    }
    lxw_error Error() const { return m_error; }

private:
    lxw_workbook *m_book;
    lxw_worksheet *m_sheet;
    std::vector<std::pair<CellFormat, lxw_format *>> m_formats;
    lxw_error m_error = LXW_NO_ERROR;
};

}  // namespace

QString XlsxWriter::Write(const ExcelSheet &sheet, const QString &path) {
    lxw_workbook *book = workbook_new(QFile::encodeName(path).constData());
    if (!book) return QStringLiteral("не удалось начать книгу");
    lxw_worksheet *ws = workbook_add_worksheet(book, "Лист1");
    Writer w(book, ws);
    if (!ws) w.Check(LXW_ERROR_MEMORY_MALLOC_FAILED);

    if (ws) {
        for (int c = 0; c < CellRange::kColumns; ++c) {
            const auto width = sheet.ColumnWidths().find(c);
            const auto format = sheet.ColumnFormats().find(c);
            const bool hasWidth = width != sheet.ColumnWidths().end();
            const bool hasFormat = format != sheet.ColumnFormats().end();
            if (hasWidth || hasFormat)
                w.Check(worksheet_set_column(ws, lxw_col_t(c), lxw_col_t(c),
                                             hasWidth ? width->second : LXW_DEF_COL_WIDTH,
                                             hasFormat ? w.Format(format->second) : nullptr));
        }
        for (const auto &[row, format] : sheet.RowFormats())
            w.Check(worksheet_set_row(ws, lxw_row_t(row), LXW_DEF_ROW_HEIGHT, w.Format(format)));
        // The merge marks its area (and fills it with blanks); the cells' own contents and formats are
        // written over it next.
        for (const CellRange &m : sheet.Merges())
            w.Check(worksheet_merge_range(ws, lxw_row_t(m.firstRow), lxw_col_t(m.firstColumn),
                                          lxw_row_t(m.lastRow), lxw_col_t(m.lastColumn), "", nullptr));
        for (const auto &[key, cell] : sheet.Cells()) w.Cell(key.first, key.second, cell);
        const PageSetup &page = sheet.Page();
        if (page.landscape)
            worksheet_set_landscape(ws);
        else
            worksheet_set_portrait(ws);
        if (page.paper > 0) worksheet_set_paper(ws, uint8_t(page.paper));
        if (page.zoom != 100) worksheet_set_print_scale(ws, uint16_t(page.zoom));
        if (page.fitToWidth) worksheet_fit_to_pages(ws, 1, 0);
    }
    const lxw_error closed = workbook_close(book);  // frees the workbook whatever happened before
    const lxw_error e = w.Error() != LXW_NO_ERROR ? w.Error() : closed;
    return e == LXW_NO_ERROR ? QString() : QString::fromUtf8(lxw_strerror(e));
}
