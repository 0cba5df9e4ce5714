#pragma once

#include "ExcelSheet.h"

#include <QString>

// Writes an in-memory sheet to an .xlsx file through libxlsxwriter.
class XlsxWriter {
public:
    // Returns why the file could not be written, or "" when it was.
    static QString Write(const ExcelSheet &sheet, const QString &path);
    // The longest text a cell holds; longer text is cut there rather than losing the workbook.
    static constexpr int kMaxText = 32767;
};
