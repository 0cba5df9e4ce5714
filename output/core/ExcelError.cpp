#include "ExcelError.h"

ExcelError::ExcelError(std::uint32_t code, const QString &description)
    : std::runtime_error(description.toStdString()), m_code(code), m_description(description) {}

QString ExcelError::MessageFor(std::uint32_t code) {
    switch (code) {
        case kInvalidArgument:
            return QStringLiteral("Параметр задан неверно.");
        case kCannotMake:
            return QStringLiteral("Не удается создать файл или папку.");
        case kWriteFault:
            return QStringLiteral("Системе не удается произвести запись на указанное устройство.");
    }
    const std::uint32_t low = code & 0xFFFF;
    const bool dispatch = (code & 0x80000000u) && ((code >> 16) & 0x1FFF) == 4;
    if (dispatch && low > 0x200) return QStringLiteral("IDispatch error #%1").arg(low - 0x200);
    return QStringLiteral("Unknown error 0x%1").arg(QString::number(code, 16).toUpper());
}

QString ExcelError::Report() const {
    return QStringLiteral(
               "_com_error:\nError       : %1\nErrorMessage: %2\nDescription : %3\nSource      : %4\n")
        .arg(QStringLiteral("%1").arg(m_code, 8, 16, QChar(u'0')).toUpper(), MessageFor(m_code),
             m_description, QStringLiteral("Trellvark"));
}
