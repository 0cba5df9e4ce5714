#include "CounterStore.h"

#include "Database.h"
#include "DynamicRecordset.h"
#include "Formats.h"
#include "Rows.h"

namespace {

const QString kRowKey = QStringLiteral("1");

const QString kSelectAll = QStringLiteral(
    "SELECT [Number].iddnum, [Number].ZakazPr, [Number].ZakazNomer, [Number].PayNomer, [Number].OutPayNomer, "
    "[Number].SalaryNomer FROM [Number] WHERE [Number].iddnum = ?");

}  // namespace

std::optional<CounterValues> CounterStore::ReadAll() {
    CDynamicRecordset rs(m_db);
    rs.Open(kSelectAll, {kRowKey});
    if (rs.IsEOF()) return std::nullopt;
    CounterValues v;
    v.zakazPr = rs.Text(QStringLiteral("ZakazPr"));
    v.zakazNomer = rs.Long(QStringLiteral("ZakazNomer"));
    v.payNomer = rs.Long(QStringLiteral("PayNomer"));
    v.outPayNomer = rs.Long(QStringLiteral("OutPayNomer"));
    v.salaryNomer = rs.Long(QStringLiteral("SalaryNomer"));
    return v;
}

void CounterStore::WriteAll(const CounterValues &v) {
    const Values values = {{QStringLiteral("ZakazPr"), v.zakazPr},
                           {QStringLiteral("ZakazNomer"), qint64(v.zakazNomer)},
                           {QStringLiteral("PayNomer"), qint64(v.payNomer)},
                           {QStringLiteral("OutPayNomer"), qint64(v.outPayNomer)},
                           {QStringLiteral("SalaryNomer"), qint64(v.salaryNomer)}};
    Rows::InsertOrUpdate(m_db, QStringLiteral("Number"), {{QStringLiteral("iddnum"), kRowKey}}, values);
}

QString CounterStore::NextOrderNumber() {
    const auto v = ReadAll();
    if (!v) return {};
    return v->zakazPr + QString::number(v->zakazNomer + 1);
}

QString CounterStore::OrderPrefix() {
    const auto v = ReadAll();
    return v ? v->zakazPr : QString();
}

void CounterStore::StoreOrderCounter(const QString &number) {
    const QString rest = number.trimmed().mid(OrderPrefix().size());
    Store("ZakazNomer", Formats::LeadingLong(rest));
}

long CounterStore::Next(const char *column) {
    CDynamicRecordset rs(m_db);
    rs.Open(QStringLiteral("SELECT [Number].%1 FROM [Number] WHERE [Number].iddnum = ?")
                .arg(QLatin1StringView(column)),
            {kRowKey});
    return rs.IsEOF() ? 0 : rs.Field(0).AsLong() + 1;
}

void CounterStore::Store(const char *column, long number) {
    const QString col = QString::fromLatin1(column);
    const Values key = {{QStringLiteral("iddnum"), kRowKey}};
    // A lost counter row is recreated rather than failing the document that is being saved.
    if (Rows::Update(m_db, QStringLiteral("Number"), key, {{col, qint64(number)}}) > 0) return;
    if (Rows::Exists(m_db, QStringLiteral("Number"), key)) return;
    Rows::Insert(m_db, QStringLiteral("Number"),
                 {{QStringLiteral("iddnum"), kRowKey},
                  {QStringLiteral("ZakazPr"), QStringLiteral("")},
                  {QStringLiteral("ZakazNomer"), qint64(col == u"ZakazNomer" ? number : 0)},
                  {QStringLiteral("PayNomer"), qint64(col == u"PayNomer" ? number : 0)},
                  {QStringLiteral("OutPayNomer"), qint64(col == u"OutPayNomer" ? number : 0)},
                  {QStringLiteral("SalaryNomer"), qint64(col == u"SalaryNomer" ? number : 0)}});
}

long CounterStore::NextPayNumber() {
    return Next("PayNomer");
}
void CounterStore::StorePayNumber(long number) {
    Store("PayNomer", number);
}
long CounterStore::NextOutPayNumber() {
    return Next("OutPayNomer");
}
void CounterStore::StoreOutPayNumber(long number) {
    Store("OutPayNomer", number);
}
long CounterStore::NextSalaryNumber() {
    return Next("SalaryNomer");
}
void CounterStore::StoreSalaryNumber(long number) {
    Store("SalaryNomer", number);
}
