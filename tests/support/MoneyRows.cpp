#include "MoneyRows.h"

#include "CounterStore.h"
#include "Formats.h"
#include "Rows.h"
#include "Schema.h"

namespace MoneyRows {

void AddOrder(Database &db, const QString &iddZakaz, const QString &iddClient, const QString &nomer,
              const QDateTime &when, double total, int status) {
    Rows::Insert(db, QStringLiteral("TZakaz"),
                 {{QStringLiteral("IddZakaz"), iddZakaz},
                  {QStringLiteral("ZakazNomer"), nomer},
                  {QStringLiteral("ZakazData"), when},
                  {QStringLiteral("ZakazBegin"), when},
                  {QStringLiteral("ZakazBeginIn"), when},
                  {QStringLiteral("ZakazEndOut"), when.addSecs(3600)},
                  {QStringLiteral("IddAvto"), QString()},
                  {QStringLiteral("IddVlad"), iddClient},
                  {QStringLiteral("ZakazStatus"), status},
                  {QStringLiteral("Delete"), false}});
    Rows::Insert(db, QStringLiteral("TService"),
                 {{QStringLiteral("IddZakaz"), iddZakaz},
                  {QStringLiteral("IddService"), iddZakaz + QStringLiteral("-s")},
                  {QStringLiteral("IddTop"), QStringLiteral("top")},
                  {QStringLiteral("Count"), 1.0},
                  {QStringLiteral("Name"), QStringLiteral("Мойка")},
                  {QStringLiteral("Price"), total},
                  {QStringLiteral("PrNDS"), 0.0},
                  {QStringLiteral("Summa"), total},
                  {QStringLiteral("Time"), Formats::TimeOfDay(QTime(1, 0))},
                  {QStringLiteral("PrJob"), false},
                  {QStringLiteral("Job"), 0.0},
                  {QStringLiteral("Delete"), false}});
    Schema::RefreshOrderTotals(db, iddZakaz);
}

void AddPay(Database &db, const QString &iddPay, const QString &iddZakaz, int kind, double sum,
            const QDateTime &when, const QString &purpose, const QString &nomer) {
    Rows::Insert(db, QStringLiteral("TPay"),
                 {{QStringLiteral("IddPay"), iddPay},
                  {QStringLiteral("IddZakaz"), iddZakaz},
                  {QStringLiteral("TypePay"), kind},
                  {QStringLiteral("NaznPay"), purpose},
                  {QStringLiteral("NomerPay"), nomer},
                  {QStringLiteral("DataPay"), when},
                  {QStringLiteral("SummaPay"), sum},
                  {QStringLiteral("DocPay"), QString()},
                  {QStringLiteral("PrimPay"), QString()},
                  {QStringLiteral("Delete"), false}});
}

void AddClient(Database &db, const QString &iddClient, const QString &name) {
    Rows::Insert(db, QStringLiteral("SClient"),
                 {{QStringLiteral("IddClient"), iddClient}, {QStringLiteral("ClientName"), name}});
}

void SetCounters(Database &db, long pay, long outPay) {
    CounterStore(db).WriteAll({QString(), 0, pay, outPay, 0});
}

}  // namespace MoneyRows
