#pragma once

#include "Formats.h"
#include "Rows.h"
#include "Schema.h"

#include <QDateTime>

// Workers, finished orders, their lines and assignments written straight into the tables.
namespace SalaryRows {

inline void AddWorker(Database &db, const QString &iddWork, const QString &fio, bool workOut = false,
                      bool deleted = false) {
    Rows::Insert(db, QStringLiteral("SWork"),
                 {{QStringLiteral("IddWork"), iddWork},
                  {QStringLiteral("WorkFIO"), fio},
                  {QStringLiteral("WorkOut"), workOut},
                  {QStringLiteral("Delete"), deleted}});
}

// An order finished at `endOut` (status 2 unless given).
inline void AddOrder(Database &db, const QString &iddZakaz, const QDateTime &endOut, int status = 2,
                     const QString &nomer = QStringLiteral("1")) {
    Rows::Insert(db, QStringLiteral("TZakaz"),
                 {{QStringLiteral("IddZakaz"), iddZakaz},
                  {QStringLiteral("ZakazNomer"), nomer},
                  {QStringLiteral("ZakazData"), endOut.addDays(-1)},
                  {QStringLiteral("ZakazBegin"), endOut.addDays(-1)},
                  {QStringLiteral("ZakazBeginIn"), endOut.addDays(-1)},
                  {QStringLiteral("ZakazEndOut"), endOut},
                  {QStringLiteral("IddAvto"), QString()},
                  {QStringLiteral("IddVlad"), QStringLiteral("c1")},
                  {QStringLiteral("ZakazStatus"), status},
                  {QStringLiteral("Delete"), false}});
}

inline void AddLine(Database &db, const QString &iddZakaz, const QString &iddService, double count,
                    double price, double nds, bool prJob, double job,
                    const QString &name = QStringLiteral("Шиномонтаж"),
                    const QString &top = QStringLiteral("top")) {
    Rows::Insert(db, QStringLiteral("TService"),
                 {{QStringLiteral("IddZakaz"), iddZakaz},
                  {QStringLiteral("IddService"), iddService},
                  {QStringLiteral("IddTop"), top},
                  {QStringLiteral("Count"), count},
                  {QStringLiteral("Name"), name},
                  {QStringLiteral("Price"), price},
                  {QStringLiteral("PrNDS"), nds},
                  {QStringLiteral("Summa"), price * (1 + nds / 100)},
                  {QStringLiteral("Time"), Formats::TimeOfDay(QTime(0, 30))},
                  {QStringLiteral("PrJob"), prJob},
                  {QStringLiteral("Job"), job},
                  {QStringLiteral("Delete"), false}});
    Schema::RefreshOrderTotals(db, iddZakaz);
}

inline void Assign(Database &db, const QString &iddZakaz, const QString &iddService, const QString &iddWork,
                   const QString &fio, bool deleted = false) {
    Rows::Insert(db, QStringLiteral("TWork"),
                 {{QStringLiteral("IddZakaz"), iddZakaz},
                  {QStringLiteral("IddService"), iddService},
                  {QStringLiteral("IddWork"), iddWork},
                  {QStringLiteral("WorkFIO"), fio},
                  {QStringLiteral("Delete"), deleted}});
}

inline void AddPayoutLine(Database &db, const QString &iddWorkPay, const QString &iddPay,
                          const QString &iddWork, double sum, bool deleted = false) {
    Rows::Insert(db, QStringLiteral("TWorkPay"),
                 {{QStringLiteral("IddWorkPay"), iddWorkPay},
                  {QStringLiteral("IddPay"), iddPay},
                  {QStringLiteral("IddWork"), iddWork},
                  {QStringLiteral("SummaWorkPay"), sum},
                  {QStringLiteral("DeleteWorkPay"), deleted}});
}

}  // namespace SalaryRows
