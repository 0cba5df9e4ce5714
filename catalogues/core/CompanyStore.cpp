#include "CompanyStore.h"

#include "ChangedMeanwhile.h"
#include "Database.h"
#include "DbError.h"
#include "DynamicRecordset.h"
#include "Rows.h"

#include <cstring>

const std::array<const char *, CompanyInfo::kFieldCount> CompanyInfo::kFields = {
    "MainName",    "MainFullName", "MainINN",      "MainAdres", "MainAdresF",  "MainTel",
    "MainFaks",    "MainEmail",    "MainOKHX",     "MainOKPO",  "MainBank",    "MainChet",
    "MainKorChet", "MainBIK",      "MainDirector", "MainByx",   "MainContact", "MainPrim"};

namespace {

const QString kRowKey = QStringLiteral("1");

int IndexOf(const char *column) {
    for (int i = 0; i < CompanyInfo::kFieldCount; ++i)
        if (std::strcmp(CompanyInfo::kFields[size_t(i)], column) == 0) return i;
    Q_ASSERT_X(false, "CompanyInfo", column);
    return 0;
}

}  // namespace

QString &CompanyInfo::Field(const char *column) {
    return values[size_t(IndexOf(column))];
}
const QString &CompanyInfo::Field(const char *column) const {
    return values[size_t(IndexOf(column))];
}

WorkingHours WorkingHours::FromText(const QString &open, const QString &close) {
    const auto read = [](const QString &text) {
        const QTime t = QTime::fromString(text.trimmed(), QStringLiteral("HH:mm"));
        return t.isValid() ? t : QTime::fromString(text.trimmed(), QStringLiteral("H:mm"));
    };
    const QTime o = read(open), c = read(close);
    WorkingHours hours;
    if (o.isValid() && c.isValid() && o < c) hours = {o, c};
    return hours;
}

WorkingHours CompanyStore::Hours() {
    CDynamicRecordset rs(m_db);
    rs.Open(QStringLiteral("SELECT MainOpen, MainClose FROM SMain WHERE IddMain = ?"), {kRowKey});
    return rs.IsEOF() ? WorkingHours() : WorkingHours::FromText(rs.Field(0).AsText(), rs.Field(1).AsText());
}

std::optional<CompanyInfo> CompanyStore::Read() {
    QString sql = QStringLiteral("SELECT SMain.MainOpen, SMain.MainClose, SMain.IddMain");
    for (const char *f : CompanyInfo::kFields) sql += QStringLiteral(", SMain.") + QLatin1StringView(f);
    sql += QStringLiteral(" FROM SMain WHERE SMain.IddMain = ?");
    CDynamicRecordset rs(m_db);
    rs.Open(sql, {kRowKey});
    if (rs.IsEOF()) return std::nullopt;
    CompanyInfo info;
    for (int i = 0; i < CompanyInfo::kFieldCount; ++i)
        info[i] = rs.Text(QLatin1StringView(CompanyInfo::kFields[size_t(i)]));
    info.hours = WorkingHours::FromText(rs.Field(0).AsText(), rs.Field(1).AsText());
    return info;
}

void CompanyStore::Save(const CompanyInfo &info) {
    Values values;
    for (int i = 0; i < CompanyInfo::kFieldCount; ++i)
        values << ColumnValue{QLatin1StringView(CompanyInfo::kFields[size_t(i)]), info[i]};
    if (!(info.hours.open.isValid() && info.hours.close.isValid() && info.hours.open < info.hours.close))
        throw DbError(QStringLiteral("Окончание рабочего дня должно быть позже его начала.\n"
                                     "Исправьте часы работы: ничего не сохранено."),
                      QStringLiteral("SMain.MainClose"));
    values << ColumnValue{QStringLiteral("MainOpen"), WorkingHours::Text(info.hours.open)}
           << ColumnValue{QStringLiteral("MainClose"), WorkingHours::Text(info.hours.close)};
    Rows::InsertOrUpdate(m_db, QStringLiteral("SMain"), {{QStringLiteral("IddMain"), kRowKey}}, values);
}

void CompanyStore::Save(const CompanyInfo &info, const std::optional<CompanyInfo> &loaded) {
    Transaction tx(m_db);
    ChangedMeanwhile::LockRow(m_db, QStringLiteral("SMain"), QStringLiteral("IddMain"), kRowKey);
    const std::optional<CompanyInfo> stored = Read();
    if (loaded)
        ChangedMeanwhile::Expect(stored, *loaded);
    else if (stored)
        throw ChangedMeanwhile(false);
    Save(info);
    tx.Commit();
}
