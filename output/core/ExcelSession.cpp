#include "ExcelSession.h"

#include "PrivateFiles.h"
#include "XlsxWriter.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <cstdio>

ExcelSession::ExcelSession(QString folder, Opener opener)
    : m_folder(std::move(folder)), m_opener(std::move(opener)) {}

QString ExcelSession::DefaultFolder() {
    return QDir::current().filePath(QStringLiteral("reports"));
}

void ExcelSession::Fail(std::uint32_t code, const QString &description) const {
    const ExcelError error(code, description);
    const QByteArray report = error.Report().toUtf8();
    std::fwrite(report.constData(), 1, size_t(report.size()), stdout);
    std::fflush(stdout);
    throw error;
}

CellRange ExcelSession::Range(const QString &text) const {
    const auto range = CellRange::Parse(text);
    if (!range) Fail(ExcelError::kInvalidArgument, QStringLiteral("Неверный адрес ячеек: «%1».").arg(text));
    return *range;
}

CellRange ExcelSession::FillRange(const QString &text) const {
    const CellRange range = Range(text);
    if (qint64(range.Rows()) * range.Columns() > kMaxCells)
        Fail(ExcelError::kInvalidArgument, QStringLiteral("Слишком большой диапазон ячеек: «%1».").arg(text));
    return range;
}

void ExcelSession::Start(const QString &title) {
    m_sheet = ExcelSheet();
    m_title = title;
}

void ExcelSession::SetPage(const PageSetup &page) {
    if (page.zoom < 10 || page.zoom > 400)
        Fail(ExcelError::kInvalidArgument,
             QStringLiteral("Масштаб страницы %1% вне пределов от 10 до 400.").arg(page.zoom));
    if (page.paper < 0 || page.paper > 255)
        Fail(ExcelError::kInvalidArgument, QStringLiteral("Неизвестный размер бумаги %1.").arg(page.paper));
    m_sheet.SetPage(page);
}

void ExcelSession::SetText(const QString &range, const QString &value) {
    m_sheet.SetText(FillRange(range), value);
}

void ExcelSession::Format(const QString &text, const std::function<void(CellFormat &)> &change) {
    const CellRange range = Range(text);
    // Whole columns are formatted as columns; whole rows keep a format each, so their count is limited.
    const qint64 size = range.WholeColumns() ? range.Columns()
                        : range.WholeRows()  ? range.Rows()
                                             : qint64(range.Rows()) * range.Columns();
    if (size > (range.WholeRows() && !range.WholeColumns() ? kMaxCells / 16 : kMaxCells))
        Fail(ExcelError::kInvalidArgument, QStringLiteral("Слишком большой диапазон ячеек: «%1».").arg(text));
    m_sheet.ChangeFormat(range, change);
}

void ExcelSession::SetTextFormat(const QString &range) {
    SetNumberFormat(range, QStringLiteral("@"));
}

void ExcelSession::SetNumberFormat(const QString &range, const QString &format) {
    Format(range, [&](CellFormat &f) { f.numberFormat = format; });
}

void ExcelSession::Merge(const QString &text) {
    const CellRange range = FillRange(text);
    m_sheet.Merge(range);
}

void ExcelSession::Centre(const QString &range) {
    Format(range, [](CellFormat &f) { f.centre = true; });
}

void ExcelSession::Wrap(const QString &range) {
    Format(range, [](CellFormat &f) { f.wrap = true; });
}

void ExcelSession::Bold(const QString &range) {
    Format(range, [](CellFormat &f) { f.bold = true; });
}

void ExcelSession::FontSize(const QString &range, int points) {
    if (points < 1 || points > 409)
        Fail(ExcelError::kInvalidArgument,
             QStringLiteral("Размер шрифта %1 вне пределов от 1 до 409.").arg(points));
    Format(range, [points](CellFormat &f) { f.fontSize = points; });
}

void ExcelSession::Border(const QString &range) {
    Format(range, [](CellFormat &f) { f.border = true; });
}

void ExcelSession::ColumnWidth(const QString &columns, double width) {
    const CellRange range = Range(columns);
    if (!(width >= 0 && width <= 255))  // also refuses NaN
        Fail(ExcelError::kInvalidArgument,
             QStringLiteral("Ширина столбца %1 вне пределов от 0 до 255.").arg(width));
    m_sheet.SetColumnWidth(range, width);
}

QString ExcelSession::ReserveFile() const {
    if (!PrivateFiles::MakeFolder(m_folder))
        Fail(ExcelError::kCannotMake,
             QStringLiteral("Не удалось создать папку для отчётов «%1».").arg(m_folder));
    // Characters other systems refuse in file names become spaces, so the report can be copied anywhere.
    QString base = m_title;
    for (QChar &c : base)
        if (c.unicode() < 32 || QStringLiteral("/\\:*?\"<>|").contains(c)) c = u' ';
    base = base.simplified().left(100);
    while (base.endsWith(u'.')) base.chop(1);
    if (base.isEmpty()) base = QStringLiteral("Отчет");
    base += QDateTime::currentDateTime().toString(QStringLiteral(" yyyy-MM-dd HH-mm-ss"));

    // Creating the file exclusively reserves the name, so two reports (or two programs) never share one.
    for (int n = 1; n <= 1000; ++n) {
        const QString name = n == 1 ? base : QStringLiteral("%1 (%2)").arg(base).arg(n);
        const QString path = QDir(m_folder).absoluteFilePath(name + QStringLiteral(".xlsx"));
        QFile file(path);
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly,
                      QFileDevice::ReadOwner | QFileDevice::WriteOwner))
            return path;
        if (!file.exists())
            Fail(ExcelError::kCannotMake,
                 QStringLiteral("Не удалось создать файл отчёта «%1»: %2").arg(path, file.errorString()));
    }
    Fail(ExcelError::kCannotMake,
         QStringLiteral("В папке «%1» нет свободного имени для отчёта.").arg(m_folder));
}

QString ExcelSession::Show() {
    m_notOpened.clear();
    const QString path = ReserveFile();
    // Written beside the reserved name and renamed onto it: never through a link put there meanwhile.
    const QString failure = PrivateFiles::Produce(
        path, [this](const QString &fresh) { return XlsxWriter::Write(m_sheet, fresh); });
    if (!failure.isEmpty()) {
        QFile::remove(path);  // no empty or broken file left behind for the user to stumble on
        Fail(ExcelError::kWriteFault,
             QStringLiteral("Не удалось записать отчёт в файл «%1»: %2").arg(path, failure));
    }
    // The report is made either way; the user is told where to find it.
    const QString notOpened = m_opener ? m_opener(path) : QStringLiteral("не задана программа для просмотра");
    if (!notOpened.isEmpty())
        m_notOpened =
            QStringLiteral("Отчёт сохранён в файл «%1», но открыть его не удалось: %2.").arg(path, notOpened);
    return path;
}
