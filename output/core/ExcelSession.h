#pragma once

#include "ExcelError.h"
#include "ExcelSheet.h"

#include <QString>
#include <functional>

// The layer every spreadsheet report is built through: it fills one worksheet in memory, cell by cell,
// addressed by A1-style ranges ("A1", "A1:G2", "C:C"), and on Show writes it to a new .xlsx file in the
// reports folder and opens it in the desktop's spreadsheet program, or says where the file is.
//
// Every operation that cannot be done throws ExcelError (and prints its report block to standard
// output); the sheet stays as it was before that call. Screens catch it and show text().
class ExcelSession {
public:
    // Opens a finished workbook; returns "" when it did, else why it could not.
    using Opener = std::function<QString(const QString &file)>;

    // folder: where workbooks go, created when missing. opener: replaced by tests so nothing launches.
    ExcelSession(QString folder, Opener opener);

    static QString DefaultFolder();  // "reports" under the working directory

    // Begins an empty sheet; the title (if any) names the file.
    void Start(const QString &title = {});
    // Print scale in percent (10 to 400), orientation, paper and fit to width.
    void SetPage(const PageSetup &page);
    void SetText(const QString &range, const QString &value);
    // Keeps numbers, dates and leading zeros exactly as typed.
    void SetTextFormat(const QString &range);
    void SetNumberFormat(const QString &range, const QString &format);
    void Merge(const QString &text);
    void Centre(const QString &range);
    void Wrap(const QString &range);
    void Bold(const QString &range);
    void FontSize(const QString &range, int points);
    // A thin continuous line on every side of every cell of the range.
    void Border(const QString &range);
    // Width in characters (0 to 255) of every column the range touches, for example ("A:A", 12).
    void ColumnWidth(const QString &columns, double width);
    // Writes the workbook to a file no earlier report has and opens it; returns the file. A file that
    // could not be opened is still written: NotOpened then tells the user where it is.
    QString Show();
    // After Show: "" when the file was opened, else the message naming it and why it was not opened.
    const QString &NotOpened() const { return m_notOpened; }

    const ExcelSheet &Sheet() const { return m_sheet; }

    // The most cells one call may fill; a whole column formats at once and is not limited by it.
    static constexpr qint64 kMaxCells = 1'000'000;

private:
    [[noreturn]] void Fail(std::uint32_t code, const QString &description) const;
    CellRange Range(const QString &text) const;
    CellRange FillRange(const QString &text) const;  // also refuses ranges too large to fill cell by cell
    void Format(const QString &text, const std::function<void(CellFormat &)> &change);
    QString ReserveFile() const;

    QString m_folder;
    Opener m_opener;
    QString m_title;
    ExcelSheet m_sheet;
    QString m_notOpened;
};
