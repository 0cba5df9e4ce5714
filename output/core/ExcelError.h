#pragma once

#include <QString>
#include <cstdint>
#include <stdexcept>

// A spreadsheet operation that could not be done: a refused range or value, a workbook that could not be
// written or opened. Carries a result code in the style the shop's older tools printed, and a Russian
// description the screens show as it stands.
class ExcelError : public std::runtime_error {
public:
    static constexpr std::uint32_t kInvalidArgument = 0x80070057;  // a range or value refused
    static constexpr std::uint32_t kCannotMake = 0x80070052;       // folder or file not created
    static constexpr std::uint32_t kWriteFault = 0x8007001D;       // workbook not written

    ExcelError(std::uint32_t code, const QString &description);

    std::uint32_t code() const { return m_code; }
    const QString &text() const { return m_description; }
    // The system's wording for a result code.
    static QString MessageFor(std::uint32_t code);
    // The block written to standard output when a report stops on this error.
    QString Report() const;

private:
    std::uint32_t m_code;
    QString m_description;
};
