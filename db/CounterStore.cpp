#include "CounterStore.h"

#include "Database.h"
#include "DbError.h"
#include "DynamicRecordset.h"
#include "Rows.h"

#include <algorithm>
#include <limits>

static_assert(sizeof(long) == 8, "counters are 64-bit");

namespace {

const QString kRowKey = QStringLiteral("1");
constexpr long kMax = std::numeric_limits<long>::max();

const QString kSelectAll = QStringLiteral(
    "SELECT [Number].iddnum, [Number].ZakazPr, [Number].ZakazNomer, [Number].PayNomer, [Number].OutPayNomer, "
    "[Number].SalaryNomer FROM [Number] WHERE [Number].iddnum = ?");

const char *ColumnOf(DocCounter counter) {
    switch (counter) {
        case DocCounter::Pay:
            return "PayNomer";
        case DocCounter::OutPay:
            return "OutPayNomer";
        case DocCounter::Salary:
            return "SalaryNomer";
    }
    return "PayNomer";
}

DbError TooLarge() {
    return DbError(
        QStringLiteral("Номер документа слишком велик: счётчик номеров не может его хранить.\n"
                       "Укажите меньший номер или измените счётчик в настройках нумерации."));
}

}  // namespace

long CounterStore::ParseNumber(QStringView text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i].isSpace()) ++i;
    bool negative = false;
    if (i < n && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
    long value = 0;
    while (i < n && text[i] >= u'0' && text[i] <= u'9') {
        const long digit = text[i++].unicode() - u'0';
        if (value > (kMax - digit) / 10) throw TooLarge();
        value = value * 10 + digit;
    }
    return negative ? -value : value;
}

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

long CounterStore::NextOf(const char *column) {
    CDynamicRecordset rs(m_db);
    rs.Open(QStringLiteral("SELECT [Number].%1 FROM [Number] WHERE [Number].iddnum = ?")
                .arg(QLatin1StringView(column)),
            {kRowKey});
    if (rs.IsEOF()) return 0;
    const long last = rs.Field(0).AsLong();
    if (last == kMax) throw TooLarge();
    return last + 1;
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

std::optional<long> CounterStore::TakeOf(const char *column, QString *prefix) {
    const QString col = QString::fromLatin1(column);
    Transaction tx(m_db);
    // The UPDATE comes first: it locks the row (PostgreSQL) until the save's transaction ends, so a
    // second workstation's increment waits and then sees this one. SQLite holds the write lock already.
    const QString update = QStringLiteral(
                               "UPDATE [Number] SET %1 = COALESCE(%1, 0) + 1 WHERE iddnum = ? AND "
                               "(%1 IS NULL OR %1 < ?)")
                               .arg(col);
    const QVariantList binds = {kRowKey, qint64(kMax)};
    std::optional<long> taken;
    if (m_db.dialect() != Dialect::Odbc) {
        // It hands back the number it made (and the order prefix beside it) in the same statement.
        QSqlQuery q = m_db.Exec(update + QStringLiteral(" RETURNING %1, ZakazPr").arg(col), binds);
        if (q.next()) {
            taken = long(q.value(0).toLongLong());
            if (prefix) *prefix = q.value(1).toString();
        }
        q.finish();
    } else if (m_db.Exec(update, binds).numRowsAffected() > 0) {
        // An ODBC driver need not pass rows back from an UPDATE: the number is read after it.
        CDynamicRecordset rs(m_db);
        rs.Open(QStringLiteral("SELECT [Number].%1, [Number].ZakazPr FROM [Number] WHERE [Number].iddnum = ?")
                    .arg(col),
                {kRowKey});
        taken = rs.Field(0).AsLong();
        if (prefix) *prefix = rs.Field(1).AsText();
    }
    if (!taken) {
        if (Rows::Exists(m_db, QStringLiteral("Number"), {{QStringLiteral("iddnum"), kRowKey}}))
            throw TooLarge();
        Store(column, 0);
    }
    tx.Commit();
    return taken;
}

QString CounterStore::TakeOrderNumber() {
    Transaction tx(m_db);
    QString prefix;
    const auto taken = TakeOf("ZakazNomer", &prefix);
    const QString number = taken ? prefix + QString::number(*taken) : QString();
    tx.Commit();
    return number;
}

long CounterStore::Take(DocCounter counter) {
    return TakeOf(ColumnOf(counter)).value_or(0);
}

void CounterStore::Raise(DocCounter counter, long number) {
    RaiseOf(ColumnOf(counter), number);
}

void CounterStore::RaiseOrderNumber(const QString &number) {
    const std::optional<CounterValues> counters = ReadAll();
    const QString prefix = counters ? counters->zakazPr : QString();
    if (!number.startsWith(prefix)) return;
    const QStringView digits = QStringView(number).mid(prefix.size());
    const auto digit = [](QChar c) { return c >= u'0' && c <= u'9'; };
    if (digits.isEmpty() || !std::all_of(digits.begin(), digits.end(), digit)) return;
    RaiseOf("ZakazNomer", ParseNumber(digits));
}

void CounterStore::RaiseOf(const char *column, long number) {
    const QString col = QString::fromLatin1(column);
    Transaction tx(m_db);
    const int changed = m_db.Exec(QStringLiteral("UPDATE [Number] SET %1 = ? WHERE iddnum = ? AND "
                                                 "(%1 IS NULL OR %1 < ?)")
                                      .arg(col),
                                  {qint64(number), kRowKey, qint64(number)})
                            .numRowsAffected();
    if (changed == 0 && !Rows::Exists(m_db, QStringLiteral("Number"), {{QStringLiteral("iddnum"), kRowKey}}))
        Store(column, number);
    tx.Commit();
}

long CounterStore::Next(DocCounter counter) {
    return NextOf(ColumnOf(counter));
}

long CounterStore::NextPayNumber() {
    return NextOf("PayNomer");
}
long CounterStore::NextSalaryNumber() {
    return NextOf("SalaryNomer");
}
