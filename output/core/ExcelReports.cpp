#include "ExcelReports.h"

#include "DbError.h"
#include "Formats.h"
#include "Prompter.h"

namespace {

QString Cell(const char *column, int row) {
    return QString::fromLatin1(column) + QString::number(row);
}
QString Span(const char *first, const char *last, int row) {
    return Cell(first, row) + u':' + Cell(last, row);
}
// Unset moments (invalid, or the zero date they are stored as) stay empty cells.
bool IsSet(const QDateTime &value) {
    return value.isValid() && value.date() > Formats::ZeroDateTime().date();
}
QString DateOrEmpty(const QDateTime &value) {
    return IsSet(value) ? Formats::DateTime(value) : QString();
}
QString DayOrEmpty(const QDateTime &value) {
    return IsSet(value) ? Formats::Date(value) : QString();
}

constexpr int kTitleSize = 14;
constexpr int kProgressEvery = 200;  // rows between progress reports

}  // namespace

void ExcelReports::Title(const QString &range, const QString &text) {
    const QString first = range.section(u':', 0, 0);
    m_s.SetText(first, text);
    m_s.Merge(range);
    m_s.Centre(range);
    m_s.Bold(range);
    m_s.FontSize(range, kTitleSize);
}

void ExcelReports::Heading(const QString &cell, const QString &text) {
    const QString first = cell.section(u':', 0, 0);
    m_s.SetText(first, text);
    if (cell.contains(u':')) m_s.Merge(cell);
    m_s.Bold(cell);
    m_s.Centre(cell);
    m_s.Border(cell);
}

void ExcelReports::Data(const QString &cell, const QString &text, bool asText) {
    const QString first = cell.section(u':', 0, 0);
    if (cell.contains(u':')) m_s.Merge(cell);
    if (asText) m_s.SetTextFormat(cell);
    m_s.SetText(first, text);
    m_s.Border(cell);
}

void ExcelReports::Total(const QString &labelRange, const QString &label) {
    m_s.SetText(labelRange.section(u':', 0, 0), label);
    if (labelRange.contains(u':')) m_s.Merge(labelRange);
    m_s.Bold(labelRange);
    m_s.Border(labelRange);
}

void ExcelReports::Amount(const QString &cell, Money value, bool bold) {
    const QString first = cell.section(u':', 0, 0);
    if (cell.contains(u':')) m_s.Merge(cell);
    m_s.SetText(first, value.Text());
    if (bold) m_s.Bold(cell);
    m_s.Border(cell);
}

bool ExcelReports::Step(int done, int total) {
    if (!m_progress) return true;
    if (done != total && done % kProgressEvery != 0) return true;
    return m_progress(done, total);
}

bool ExcelReports::Finish() {
    if (m_progress && !m_progress(-1, -1)) return false;  // last chance to cancel before writing
    // Every report prints on A4 one page wide: upright when its columns fit across, else on its side
    // (the print then shrinks only as much as the widest report needs).
    PageSetup page;
    page.paper = PageSetup::kA4;
    page.fitToWidth = true;
    page.landscape = m_s.Sheet().UsedWidthPixels() > PageSetup::kA4UprightPixels;
    m_s.SetPage(page);
    if (m_show) m_s.Show();
    return true;
}

QString ExcelReports::Counterpart(const CashOperationRow &row) {
    QString text;
    if (!row.ClientName.trimmed().isEmpty()) text += row.ClientName + u' ';
    if (!row.WorkFIO.trimmed().isEmpty()) text += row.WorkFIO + u' ';
    if (!row.ZakazNomer.trimmed().isEmpty())
        text +=
            QStringLiteral("Заказ №") + row.ZakazNomer + QStringLiteral(" от ") + DayOrEmpty(row.ZakazData);
    return text.trimmed();
}

bool ExcelReports::CashOperations(const QList<CashOperationRow> &rows) {
    m_s.Start(QStringLiteral("Операции по кассе"));
    Title(QStringLiteral("A1:G2"), QStringLiteral("Отчет об операциях по кассе."));
    const char *cols[] = {"A", "B", "C", "D", "E", "F", "G"};
    const QStringList heads = {QStringLiteral("№ п/п:"),
                               QStringLiteral("Дата:"),
                               QStringLiteral("Сумма:"),
                               QStringLiteral("Назначение:"),
                               QStringLiteral("Первичный документ:"),
                               QStringLiteral("Примечание:"),
                               QStringLiteral("Клиент:")};
    for (int c = 0; c < 7; ++c) Heading(Cell(cols[c], 3), heads[c]);
    int r = 4;
    Money sum;
    for (int i = 0; i < rows.size(); ++i, ++r) {
        const CashOperationRow &p = rows[i];
        Data(Cell("A", r), p.NomerPay, true);
        Data(Cell("B", r), DayOrEmpty(p.DataPay), true);
        Amount(Cell("C", r), p.SummaPay);
        Data(Cell("D", r), p.NaznPay, true);
        Data(Cell("E", r), p.DocPay, true);
        Data(Cell("F", r), p.PrimPay, true);
        Data(Cell("G", r), Counterpart(p), true);
        sum += p.SummaPay;
        if (!Step(i + 1, int(rows.size()))) return false;
    }
    Total(Span("A", "B", r), QStringLiteral("Итого:"));
    Amount(Cell("C", r), sum, true);
    const std::pair<const char *, double> widths[] = {{"A:A", 12}, {"B:B", 12}, {"C:C", 15}, {"D:D", 20},
                                                      {"E:E", 30}, {"F:F", 30}, {"G:G", 30}};
    for (const auto &[col, w] : widths) m_s.ColumnWidth(QString::fromLatin1(col), w);
    return Finish();
}

bool ExcelReports::Turnover(const QDate &from, const QDate &to, const TurnoverData &data) {
    m_s.Start(QStringLiteral("Оборотная ведомость"));
    Title(QStringLiteral("A1:B1"), QStringLiteral("Оборотная ведомость с:") + Formats::Date(from) +
                                       QStringLiteral(" по:") + Formats::Date(to));
    Heading(QStringLiteral("A3"), QStringLiteral("Статья"));
    Heading(QStringLiteral("B3"), QStringLiteral("Сумма"));
    Data(QStringLiteral("A4"), QStringLiteral("Остаток на начало:"), true);
    Amount(QStringLiteral("B4"), data.opening);
    int r = 5;
    Money totals[2];
    const auto section = [&](const QString &caption, bool income) {
        Heading(Span("A", "B", r), caption);
        ++r;
        for (const auto &[article, sum] : data.articles) {
            // An article netting to zero belongs to neither section.
            if (income ? !(sum > Money()) : !(sum < Money())) continue;
            Data(Cell("A", r), article, true);
            Amount(Cell("B", r), sum);
            totals[income ? 0 : 1] += sum;
            ++r;
        }
        Total(Cell("A", r), QStringLiteral("Итого:"));
        Amount(Cell("B", r), totals[income ? 0 : 1], true);
        ++r;
    };
    section(QStringLiteral("Доходы:"), true);
    section(QStringLiteral("Расходы"), false);
    Total(Cell("A", r), QStringLiteral("Остаток на конец:"));
    Amount(Cell("B", r), data.opening + totals[0] + totals[1], true);
    m_s.ColumnWidth(QStringLiteral("A:A"), 50);
    m_s.ColumnWidth(QStringLiteral("B:B"), 20);
    return Finish();
}

bool ExcelReports::PerformedWorks(const QList<PerformedWorkRow> &rows, const QDate &from, const QDate &to,
                                  const QString &worker) {
    m_s.Start(QStringLiteral("Выполненные работы"));
    Title(QStringLiteral("A1:I2"), QStringLiteral("Отчет о выполненных работах") + QStringLiteral(" с:") +
                                       Formats::Date(from) + QStringLiteral(" по:") + Formats::Date(to) +
                                       QStringLiteral(" по исполнителю:") + worker + u'.');
    const char *cols[] = {"A", "B", "C", "D", "E", "F", "G", "H", "I"};
    const QStringList heads = {QStringLiteral("Исполнен:"),    QStringLiteral("№ заказа:"),
                               QStringLiteral("Дата заказа:"), QStringLiteral("Оказанная услуга:"),
                               QStringLiteral("Сумма:"),       QStringLiteral("Сумма НДС:"),
                               QStringLiteral("Итого:"),       QStringLiteral("Исполнитель:"),
                               QStringLiteral("Начислено:")};
    for (int c = 0; c < 9; ++c) Heading(Cell(cols[c], 3), heads[c]);
    int r = 4;
    Money sums[4];
    for (int i = 0; i < rows.size(); ++i, ++r) {
        const PerformedWorkRow &w = rows[i];
        Data(Cell("A", r), DayOrEmpty(w.done), true);
        Data(Cell("B", r), w.orderNumber, true);
        Data(Cell("C", r), DayOrEmpty(w.orderDate), true);
        Data(Cell("D", r), w.service, true);
        Amount(Cell("E", r), w.summa);
        Amount(Cell("F", r), w.nds);
        Amount(Cell("G", r), w.total);
        Data(Cell("H", r), w.worker, true);
        Amount(Cell("I", r), w.accrued);
        sums[0] += w.summa;
        sums[1] += w.nds;
        sums[2] += w.total;
        sums[3] += w.accrued;
        if (!Step(i + 1, int(rows.size()))) return false;
    }
    Total(Span("A", "D", r), QStringLiteral("Итого"));
    Amount(Cell("E", r), sums[0], true);
    Amount(Cell("F", r), sums[1], true);
    Amount(Cell("G", r), sums[2], true);
    m_s.Border(Cell("H", r));
    Amount(Cell("I", r), sums[3], true);
    const std::pair<const char *, double> widths[] = {{"A:A", 12}, {"B:B", 12}, {"C:C", 12},
                                                      {"D:D", 25}, {"E:E", 12}, {"F:F", 12},
                                                      {"G:G", 12}, {"H:H", 25}, {"I:I", 12}};
    for (const auto &[col, w] : widths) m_s.ColumnWidth(QString::fromLatin1(col), w);
    return Finish();
}

bool ExcelReports::PayoutSheet(const QString &number, const QDateTime &date, const QString &title,
                               const QList<PayoutSheetRow> &rows, const QString &director,
                               const QString &accountant) {
    m_s.Start(QStringLiteral("Ведомость"));
    Title(QStringLiteral("A1:D1"), QStringLiteral("Ведомость на получение ") + title + QStringLiteral(" №") +
                                       number + QStringLiteral(" от ") + DayOrEmpty(date));
    Heading(QStringLiteral("A3"), QStringLiteral("№ п/п"));
    Heading(QStringLiteral("B3"), QStringLiteral("Ф.И.О. сотрудника"));
    Heading(QStringLiteral("C3"), QStringLiteral("Сумма"));
    Heading(QStringLiteral("D3"), QStringLiteral("Подпись"));
    int r = 4;
    Money sum;
    for (int i = 0; i < rows.size(); ++i, ++r) {
        Data(Cell("A", r), QString::number(i + 1), false);
        Data(Cell("B", r), rows[i].worker, true);
        Amount(Cell("C", r), rows[i].amount);
        m_s.Border(Cell("D", r));
        sum += rows[i].amount;
        if (!Step(i + 1, int(rows.size()))) return false;
    }
    Total(Span("A", "B", r), QStringLiteral("Итого:"));
    Amount(Cell("C", r), sum, true);
    m_s.Border(Cell("D", r));
    r += 2;
    const QString line = QStringLiteral(" _____________________/ ");
    m_s.SetText(Cell("B", r), QStringLiteral("Руководитель") + line + director + QStringLiteral(" /"));
    m_s.Merge(Span("B", "D", r));
    m_s.Bold(Span("B", "D", r));
    r += 2;
    m_s.SetText(Cell("B", r), QStringLiteral("Гл. бухгалтер") + line + accountant + QStringLiteral(" /"));
    m_s.Merge(Span("B", "D", r));
    m_s.Bold(Span("B", "D", r));
    m_s.ColumnWidth(QStringLiteral("A:A"), 10);
    m_s.ColumnWidth(QStringLiteral("B:B"), 40);
    m_s.ColumnWidth(QStringLiteral("C:C"), 20);
    m_s.ColumnWidth(QStringLiteral("D:D"), 20);
    return Finish();
}

bool ExcelReports::Payouts(const QList<PayoutRow> &rows, const QDate &from, const QDate &to) {
    m_s.Start(QStringLiteral("Выплаты сотрудникам"));
    Title(QStringLiteral("A1:D1"), QStringLiteral("Отчет о выплатах сотрудникам за период с: ") +
                                       Formats::Date(from) + QStringLiteral(" по: ") + Formats::Date(to));
    Heading(QStringLiteral("A3"), QStringLiteral("№"));
    Heading(QStringLiteral("B3"), QStringLiteral("Дата"));
    Heading(QStringLiteral("C3"), QStringLiteral("Назначение:"));
    Heading(QStringLiteral("D3"), QStringLiteral("Сумма"));
    int r = 4;
    Money sum;
    for (int i = 0; i < rows.size(); ++i, ++r) {
        const PayoutRow &p = rows[i];
        Data(Cell("A", r), p.number, false);
        Data(Cell("B", r), DayOrEmpty(p.date), true);
        Data(Cell("C", r), p.purpose, true);
        Amount(Cell("D", r), p.amount);
        sum += p.amount;
        if (!Step(i + 1, int(rows.size()))) return false;
    }
    Total(Span("A", "C", r), QStringLiteral("Итого:"));
    Amount(Cell("D", r), sum, true);
    m_s.ColumnWidth(QStringLiteral("A:A"), 10);
    m_s.ColumnWidth(QStringLiteral("B:B"), 20);
    m_s.ColumnWidth(QStringLiteral("C:C"), 50);
    m_s.ColumnWidth(QStringLiteral("D:D"), 20);
    return Finish();
}

bool ExcelReports::ChangeLog(const QList<ChangeLogRow> &rows, const QString &title) {
    m_s.Start(QStringLiteral("Журнал изменений"));
    Title(QStringLiteral("A1:I1"), title);
    const char *const columns[] = {"A", "B", "C", "D", "E", "F", "G", "H", "I"};
    const QString headings[] = {
        QStringLiteral("Дата и время"), QStringLiteral("Пользователь"), QStringLiteral("Рабочее место"),
        QStringLiteral("Действие"),     QStringLiteral("Вид записи"),   QStringLiteral("Запись"),
        QStringLiteral("Заказ"),        QStringLiteral("Клиент"),       QStringLiteral("Изменения")};
    for (int c = 0; c < 9; ++c) Heading(Cell(columns[c], 3), headings[c]);
    int r = 4;
    for (int i = 0; i < rows.size(); ++i, ++r) {
        const ChangeLogRow &e = rows[i];
        const QString texts[] = {e.at.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")),
                                 e.user,
                                 e.host,
                                 e.action,
                                 e.kind,
                                 e.record,
                                 e.order,
                                 e.client,
                                 e.changes};
        for (int c = 0; c < 9; ++c) Data(Cell(columns[c], r), texts[c], true);
        if (!Step(i + 1, int(rows.size()))) return false;
    }
    const double widths[] = {19, 14, 14, 16, 16, 24, 10, 24, 70};
    for (int c = 0; c < 9; ++c)
        m_s.ColumnWidth(QStringLiteral("%1:%1").arg(QLatin1StringView(columns[c])), widths[c]);
    return Finish();
}

bool ExcelReports::WorkerBalances(const QList<WorkerBalanceRow> &rows, const QDate &date) {
    m_s.Start(QStringLiteral("Задолженность сотрудникам"));
    Title(QStringLiteral("A1:D1"),
          QStringLiteral("Отчет о платежах и задолженности сотрудникам на дату: ") + Formats::Date(date));
    Heading(QStringLiteral("A3"), QStringLiteral("Ф.И.О. сотрудника:"));
    Heading(QStringLiteral("B3"), QStringLiteral("Выполненно:"));
    Heading(QStringLiteral("C3"), QStringLiteral("Выдано:"));
    Heading(QStringLiteral("D3"), QStringLiteral("Баланс:"));
    int r = 4;
    Money sums[3];
    for (int i = 0; i < rows.size(); ++i, ++r) {
        const WorkerBalanceRow &w = rows[i];
        Data(Cell("A", r), w.worker, true);
        Amount(Cell("B", r), w.earned);
        Amount(Cell("C", r), w.paid);
        Amount(Cell("D", r), w.balance);
        sums[0] += w.earned;
        sums[1] += w.paid;
        sums[2] += w.balance;
        if (!Step(i + 1, int(rows.size()))) return false;
    }
    Total(Cell("A", r), QStringLiteral("Итого:"));
    Amount(Cell("B", r), sums[0], true);
    Amount(Cell("C", r), sums[1], true);
    Amount(Cell("D", r), sums[2], true);
    m_s.ColumnWidth(QStringLiteral("A:A"), 50);
    m_s.ColumnWidth(QStringLiteral("B:D"), 20);
    return Finish();
}

bool ExcelReports::Orders(const QList<OrderReportRow> &rows, const QDate &from, const QDate &to,
                          const QString &kind) {
    m_s.Start(QStringLiteral("Заказы"));
    Title(QStringLiteral("A1:J1"), QStringLiteral("Отчет о ") + kind + QStringLiteral(" заказах с:") +
                                       Formats::Date(from) + QStringLiteral(" по:") + Formats::Date(to));
    Heading(QStringLiteral("A2:A3"), QStringLiteral("Клиент:"));
    Heading(QStringLiteral("B2:B3"), QStringLiteral("Тел.:"));
    Heading(QStringLiteral("C2:D2"), QStringLiteral("Заказ"));
    Heading(QStringLiteral("C3"), QStringLiteral("№ зак.:"));
    Heading(QStringLiteral("D3"), QStringLiteral("Дата:"));
    Heading(QStringLiteral("E2:F2"), QStringLiteral("Выполнялся"));
    Heading(QStringLiteral("E3"), QStringLiteral("c:"));
    Heading(QStringLiteral("F3"), QStringLiteral("по:"));
    Heading(QStringLiteral("G2:H2"), QStringLiteral("Автомобиль"));
    Heading(QStringLiteral("G3"), QStringLiteral("Гос. №:"));
    Heading(QStringLiteral("H3"), QStringLiteral("Марка:"));
    Heading(QStringLiteral("I2:I3"), QStringLiteral("Сумма:"));
    Heading(QStringLiteral("J2:J3"), QStringLiteral("Долг:"));
    m_s.Border(QStringLiteral("A2:J3"));
    int r = 4;
    Money total, debt;
    for (int i = 0; i < rows.size(); ++i, ++r) {
        const OrderReportRow &o = rows[i];
        Data(Cell("A", r), o.client, true);
        Data(Cell("B", r), o.tel, true);
        Data(Cell("C", r), o.number, true);
        Data(Cell("D", r), DayOrEmpty(o.date), true);
        Data(Cell("E", r), DateOrEmpty(o.start), true);
        Data(Cell("F", r), DateOrEmpty(o.end), true);
        Data(Cell("G", r), o.plate, true);
        Data(Cell("H", r), o.make, true);
        Amount(Cell("I", r), o.total);
        Amount(Cell("J", r), o.debt);
        total += o.total;
        debt += o.debt;
        if (!Step(i + 1, int(rows.size()))) return false;
    }
    Total(Span("A", "H", r), QStringLiteral("Итого:"));
    Amount(Cell("I", r), total, true);
    Amount(Cell("J", r), debt, true);
    const std::pair<const char *, double> widths[] = {{"A:A", 30}, {"B:B", 10}, {"C:C", 10}, {"D:D", 10},
                                                      {"E:E", 15}, {"F:F", 15}, {"G:G", 10}, {"H:H", 25},
                                                      {"I:I", 12}, {"J:J", 12}};
    for (const auto &[col, w] : widths) m_s.ColumnWidth(QString::fromLatin1(col), w);
    return Finish();
}

bool ExcelReports::ClientCard(const ClientCardData &card) {
    m_s.Start(QStringLiteral("Карта клиента"));
    m_s.ColumnWidth(QStringLiteral("A:CX"), 0.5);
    Title(QStringLiteral("A1:CX2"), QStringLiteral("Карта клиента"));
    ClientDetails(card);
    int row = ClientCars(card);
    row = ClientOrders(card, row);
    ClientPayments(card, row);
    return Finish();
}

bool ExcelReports::BayPlan(const BayPlanDay &plan) {
    m_s.Start(QStringLiteral("План работ боксов ") + Formats::Date(plan.day));
    Title(QStringLiteral("A1:G1"), QStringLiteral("План работ боксов на ") + Formats::Date(plan.day));
    m_s.SetText(QStringLiteral("A2"), plan.company);
    m_s.Merge(QStringLiteral("A2:G2"));
    m_s.Centre(QStringLiteral("A2:G2"));
    m_s.Bold(QStringLiteral("A2:G2"));
    const char *const columns[] = {"A", "B", "C", "D", "E", "F", "G"};
    const QString headings[] = {QStringLiteral("Бокс"),       QStringLiteral("Время"),
                                QStringLiteral("Заказ"),      QStringLiteral("Клиент"),
                                QStringLiteral("Гос. номер"), QStringLiteral("Услуги"),
                                QStringLiteral("Телефон")};
    for (int c = 0; c < 7; ++c) Heading(Cell(columns[c], 3), headings[c]);
    const int total = plan.Orders();
    int r = 4, done = 0;
    for (const BayPlanDay::Bay &bay : plan.bays) {
        for (const BayPlanRow &o : bay.rows) {
            const QString texts[] = {bay.name, o.time, o.number, o.client, o.plate, o.services, o.phone};
            for (int c = 0; c < 7; ++c) Data(Cell(columns[c], r), texts[c], true);
            ++r;
            if (!Step(++done, total)) return false;
        }
    }
    // Wide enough for a plan over midnight with both dates: a wrapped cell would not grow its row.
    const double widths[] = {14, 22, 9, 30, 12, 50, 16};
    for (int c = 0; c < 7; ++c)
        m_s.ColumnWidth(QStringLiteral("%1:%1").arg(QLatin1StringView(columns[c])), widths[c]);
    return Finish();
}

bool ExcelReports::TyresInStorage(const TyreStorageReport &report) {
    const bool overdue = report.order == TyreReportOrder::Overdue;
    const QString day = Formats::Date(report.day);
    m_s.Start(QStringLiteral("Шины на хранении ") + day);
    QString title = QStringLiteral("Шины на хранении на ") + day;
    switch (report.order) {
        case TyreReportOrder::ByPlace:
            title += QStringLiteral(" по местам хранения");
            break;
        case TyreReportOrder::ByClient:
            title += QStringLiteral(" по клиентам");
            break;
        case TyreReportOrder::Overdue:
            title = QStringLiteral("Шины на хранении с просроченной оплатой на ") + day;
            break;
    }
    const char *const columns[] = {"A", "B", "C", "D", "E", "F", "G", "H"};
    const int used = overdue ? 8 : 7;
    const char *last = columns[used - 1];
    Title(Span("A", last, 1), title);
    m_s.SetText(QStringLiteral("A2"), report.company);
    m_s.Merge(Span("A", last, 2));
    m_s.Centre(Span("A", last, 2));
    m_s.Bold(Span("A", last, 2));
    const QString headings[] = {QStringLiteral("Место"),      QStringLiteral("Клиент"),
                                QStringLiteral("Гос. номер"), QStringLiteral("Комплект"),
                                QStringLiteral("Принят"),     QStringLiteral("Оплачено до"),
                                QStringLiteral("Код"),        QStringLiteral("Просрочено сезонов")};
    for (int c = 0; c < used; ++c) Heading(Cell(columns[c], 3), headings[c]);
    const int total = int(report.rows.size());
    int r = 4;
    for (int i = 0; i < total; ++i, ++r) {
        const TyreReportRow &t = report.rows[i];
        const QString texts[] = {t.place,
                                 t.client,
                                 t.plate,
                                 t.set,
                                 Formats::Date(t.dateIn),
                                 t.paidUntil.isValid() ? Formats::Date(t.paidUntil) : QString(),
                                 t.code};
        for (int c = 0; c < 7; ++c) Data(Cell(columns[c], r), texts[c], true);
        if (overdue) Data(Cell("H", r), QString::number(t.seasonsOverdue), false);
        if (!Step(i + 1, total)) return false;
    }
    Total(Span("A", last, r), QStringLiteral("Всего комплектов: %1").arg(total));
    // The set's description is the longest text: wide enough for a full one on one line.
    const double widths[] = {30, 30, 12, 70, 11, 13, 10, 19};
    for (int c = 0; c < used; ++c)
        m_s.ColumnWidth(QStringLiteral("%1:%1").arg(QLatin1StringView(columns[c])), widths[c]);
    return Finish();
}

void ExcelReports::Caption(int row, const QString &text) {
    const QString range = Span("A", "CX", row);
    m_s.SetText(Cell("A", row), text);
    m_s.Merge(range);
    m_s.Bold(range);
    m_s.Centre(range);
}

void ExcelReports::ClientDetails(const ClientCardData &card) {
    const auto field = [&](const char *name) { return card.client.value(QString::fromLatin1(name)); };
    m_s.SetText(QStringLiteral("A3"), field("ClientName"));
    m_s.Merge(QStringLiteral("A3:CX3"));
    m_s.Bold(QStringLiteral("A3:CX3"));
    m_s.Wrap(QStringLiteral("A3:CX3"));
    struct Pair {
        int row;
        const char *label, *labelFrom, *labelTo, *valueFrom, *valueTo, *column;
    };
    const Pair pairs[] = {
        {4, "ИНН/КПП:", "A", "K", "L", "AC", "ClientINN"},
        {4, "ОКПО:", "AD", "AK", "AL", "BG", "ClientOKPO"},
        {4, "ОКНОХ:", "BH", "BP", "BQ", "CX", "ClientOKHX"},
        {5, "Полное название:", "A", "S", "T", "CX", "ClientFullName"},
        {6, "Адрес:", "A", "H", "I", "CX", "ClientAdres"},
        {7, "Адрес факт.:", "A", "N", "O", "CX", "ClientAdresF"},
        {8, "Тел.:", "A", "G", "H", "AC", "ClientTel"},
        {8, "Факс:", "AD", "AJ", "AK", "BI", "ClientFaks"},
        {8, "E-mail:", "BJ", "BQ", "BR", "CX", "ClientEmail"},
        {9, "Руководитель:", "A", "P", "Q", "AY", "ClientDirector"},
        {9, "Гл. бухгалтер:", "AZ", "BN", "BO", "CX", "ClientByx"},
        {12, "р/счет:", "A", "H", "I", "AI", "ClientChet"},
        {12, "кор. счет:", "AJ", "AT", "AU", "BU", "ClientKorChet"},
        {12, "БИК:", "BV", "CA", "CB", "CX", "ClientBIK"},
    };
    for (const Pair &p : pairs) {
        const QString label = Span(p.labelFrom, p.labelTo, p.row);
        m_s.SetText(Cell(p.labelFrom, p.row), QString::fromUtf8(p.label));
        m_s.Merge(label);
        Data(Span(p.valueFrom, p.valueTo, p.row), field(p.column), true);
    }
    m_s.Border(QStringLiteral("A4:CX9"));
    m_s.SetText(QStringLiteral("A10"), QStringLiteral("Банковские данные:"));
    m_s.Merge(QStringLiteral("A10:CX10"));
    m_s.Centre(QStringLiteral("A10:CX10"));
    m_s.Bold(QStringLiteral("A10:CX10"));
    Data(QStringLiteral("A11:CX11"), field("ClientBank"), true);
    Data(QStringLiteral("A13:CX13"), QStringLiteral("Контактное лицо: ") + field("ClientContact"), true);
}

int ExcelReports::ClientCars(const ClientCardData &card) {
    Caption(14, QStringLiteral("Автомобили:"));
    m_s.Border(QStringLiteral("A11:CX15"));
    Heading(QStringLiteral("A15:U15"), QStringLiteral("Гос. номер"));
    Heading(QStringLiteral("V15:BJ15"), QStringLiteral("Модель:"));
    Heading(QStringLiteral("BK15:CX15"), QStringLiteral("Цвет:"));
    int r = 16;
    for (const ClientCardData::Car &car : card.cars) {
        Data(Span("A", "U", r), car.plate, true);
        Data(Span("V", "BJ", r), car.make, true);
        Data(Span("BK", "CX", r), car.colour, true);
        ++r;
    }
    return r;
}

int ExcelReports::ClientOrders(const ClientCardData &card, int r) {
    Caption(r++, QStringLiteral("Заказы:"));
    const std::pair<const char *, const char *> orderCols[] = {{"A", "M"},   {"N", "AA"},  {"AB", "AT"},
                                                               {"AU", "BM"}, {"BN", "CF"}, {"CG", "CX"}};
    const QStringList orderHeads = {QStringLiteral("№:"),     QStringLiteral("Дата:"),
                                    QStringLiteral("Начат:"), QStringLiteral("Исполнен:"),
                                    QStringLiteral("Сумма:"), QStringLiteral("Долг:")};
    for (int c = 0; c < 6; ++c) Heading(Span(orderCols[c].first, orderCols[c].second, r), orderHeads[c]);
    ++r;
    Money total, debt;
    for (const ClientCardData::Order &o : card.orders) {
        Data(Span("A", "M", r), o.number, true);
        Data(Span("N", "AA", r), DateOrEmpty(o.date), true);
        Data(Span("AB", "AT", r), DateOrEmpty(o.start), true);
        Data(Span("AU", "BM", r), DateOrEmpty(o.end), true);
        Amount(Span("BN", "CF", r), o.total);
        Amount(Span("CG", "CX", r), o.debt);
        total += o.total;
        debt += o.debt;
        ++r;
    }
    Total(Span("A", "BM", r), QStringLiteral("Итого:"));
    Amount(Span("BN", "CF", r), total, true);
    Amount(Span("CG", "CX", r), debt, true);
    ++r;
    return r;
}

void ExcelReports::ClientPayments(const ClientCardData &card, int r) {
    Caption(r++, QStringLiteral("Платежи:"));
    const std::pair<const char *, const char *> payCols[] = {{"A", "M"},   {"N", "AA"},  {"AB", "AN"},
                                                             {"AO", "BD"}, {"BE", "BY"}, {"BZ", "CX"}};
    const QStringList payHeads = {QStringLiteral("№:"),        QStringLiteral("Дата:"),
                                  QStringLiteral("Сумма:"),    QStringLiteral("Назначение:"),
                                  QStringLiteral("Документ:"), QStringLiteral("Примечание:")};
    for (int c = 0; c < 6; ++c) Heading(Span(payCols[c].first, payCols[c].second, r), payHeads[c]);
    ++r;
    Money paid;
    for (const ClientCardData::Payment &p : card.payments) {
        Data(Span("A", "M", r), p.number, true);
        Data(Span("N", "AA", r), DayOrEmpty(p.date), true);
        Amount(Span("AB", "AN", r), p.amount);
        Data(Span("AO", "BD", r), p.purpose, true);
        Data(Span("BE", "BY", r), p.document, true);
        Data(Span("BZ", "CX", r), p.note, true);
        paid += p.amount;
        ++r;
    }
    Total(Span("A", "AA", r), QStringLiteral("Итого:"));
    Amount(Span("AB", "AN", r), paid, true);
}

int BayPlanDay::Orders() const {
    int count = 0;
    for (const Bay &bay : bays) count += int(bay.rows.size());
    return count;
}

bool RunReport(Prompter &prompter, const std::function<void()> &report) {
    try {
        report();
        return true;
    } catch (const ExcelError &e) {
        prompter.Error(QStringLiteral("Отчет не сформирован:\n") + e.text());
    } catch (const DbError &e) {
        prompter.Error(QStringLiteral("Отчет не сформирован:\n") + e.text());
    }
    return false;
}
