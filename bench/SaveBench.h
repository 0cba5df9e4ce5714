#pragma once

#include "Database.h"
#include "DbError.h"
#include "OrderStore.h"

#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>
#include <QVariantList>

// The order save and its raw limit: BEGIN, the client, the car, the counter, the order, its ten lines in
// one statement, their twenty workers in one statement, COMMIT.
class SaveBench {
public:
    SaveBench(Database &db, const Order &order)
        : m_db(db),
          m_order(order),
          m_client(db, QStringLiteral("UPDATE SClient SET ClientName = ?, ClientAdres = ?, ClientTel = ? "
                                      "WHERE IddClient = ?")),
          m_car(db,
                QStringLiteral("UPDATE SAvto SET AvtoNomer = ?, AvtoMarka = ?, AvtoColor = ?, AvtoDvig = ?, "
                               "AvtoVin = ?, AvtoPrim = ? WHERE IddAvto = ?")),
          m_counter(db, QStringLiteral("UPDATE [Number] SET ZakazNomer = ZakazNomer + 1 WHERE iddnum = ? "
                                       "RETURNING ZakazPr, ZakazNomer")),
          m_head(db, QStringLiteral(
                         "INSERT INTO TZakaz (IddZakaz, ZakazNomer, ZakazData, ZakazBegin, ZakazBeginIn, "
                         "ZakazStatus, IddAvto, IddVlad, [Delete]) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)")),
          m_lines(db, Repeat(QStringLiteral(
                                 "INSERT INTO TService (IddZakaz, IddService, IddTop, [Count], [Name], "
                                 "Price, PrNDS, [Time], PrJob, Job, [Delete]) VALUES "),
                             QStringLiteral("(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"), int(order.lines.size()))),
          m_workers(db, Repeat(QStringLiteral("INSERT INTO TWork (IddZakaz, IddService, IddWork, WorkFIO, "
                                              "[Delete]) VALUES "),
                               QStringLiteral("(?, ?, ?, ?, ?)"), WorkerCount(order))) {
        m_lastNumber = One(db, QStringLiteral("SELECT ZakazNomer FROM [Number]"));
    }
    ~SaveBench() {
        try {
            m_db.Exec(QStringLiteral("UPDATE [Number] SET ZakazNomer = ? WHERE iddnum = ?"),
                      {m_lastNumber.toInt(), QStringLiteral("1")});
        } catch (const DbError &) {
        }
    }

    size_t Program() {
        Order o = m_order;
        o.ZakazStatus = StatusStarted;
        o.ZakazData = QDateTime(QDate::currentDate(), QTime(0, 0));
        o.ZakazBegin = o.ZakazBeginIn = QDateTime(QDate::currentDate(), QTime(10, 0));
        m_saved << OrderStore(m_db).Save(o, QStringLiteral("zvbench"));
        return size_t(o.lines.size());
    }

    size_t Raw() {
        const QString key = QStringLiteral("zvbench~raw~%1").arg(++m_rawKeys);
        m_saved << key;
        const QDateTime now(QDate::currentDate(), QTime(10, 0));
        QSqlDatabase handle = m_db.handle();
        handle.transaction();
        m_client.Exec({m_order.client.ClientName, m_order.client.ClientAdres, m_order.client.ClientTel,
                       m_order.IddVlad});
        m_car.Exec({m_order.car.AvtoNomer, m_order.car.AvtoMarka, m_order.car.AvtoColor, m_order.car.AvtoDvig,
                    m_order.car.AvtoVin, m_order.car.AvtoPrim, m_order.IddAvto});
        QSqlQuery &counter = m_counter.Exec({QStringLiteral("1")});
        const QString number =
            counter.next() ? counter.value(0).toString() + counter.value(1).toString() : QString();
        counter.finish();
        m_head.Exec({key, number, QDateTime(now.date(), QTime(0, 0)), now, now, int(StatusStarted),
                     m_order.IddAvto, m_order.IddVlad, false});
        QVariantList lines, workers;
        for (const OrderLine &l : m_order.lines) {
            lines << key << l.iddService << l.iddTop << l.count << l.name << l.price.ToDouble() << l.prNds
                  << QDateTime(QDate(1899, 12, 30), l.time) << l.prJob << l.job << false;
            for (const PickedWorker &w : l.workers)
                workers << key << l.iddService << w.iddWork << w.workFio << false;
        }
        m_lines.Exec(lines);
        m_workers.Exec(workers);
        if (!handle.commit()) throw DbError(handle.lastError().text());
        return size_t(m_order.lines.size());
    }

    // Removes what the iteration stored.
    void Clean() {
        for (const QString &key : std::as_const(m_saved))
            for (const char *table : {"TWork", "TService", "TZakaz"})
                m_db.Exec(QStringLiteral("DELETE FROM %1 WHERE IddZakaz = ?").arg(QLatin1String(table)),
                          {key});
        m_saved.clear();
    }

private:
    class Statement {
    public:
        Statement(Database &db, const QString &sql) : m_db(db), m_query(db.handle()) {
            if (!m_query.prepare(db.Sql(sql))) throw DbError(m_query.lastError().text());
        }
        QSqlQuery &Exec(const QVariantList &binds) {
            for (int i = 0; i < binds.size(); ++i) m_query.bindValue(i, m_db.BindValue(binds[i]));
            if (!m_query.exec()) throw DbError(m_query.lastError().text());
            return m_query;
        }

    private:
        Database &m_db;
        QSqlQuery m_query;
    };

    static QString Repeat(const QString &head, const QString &row, int n) {
        QStringList rows;
        for (int i = 0; i < n; ++i) rows << row;
        return head + rows.join(QStringLiteral(", "));
    }
    static int WorkerCount(const Order &order) {
        int n = 0;
        for (const OrderLine &l : order.lines) n += int(l.workers.size());
        return n;
    }

    Database &m_db;
    Order m_order;
    Statement m_client, m_car, m_counter, m_head, m_lines, m_workers;
    QString m_lastNumber;
    QStringList m_saved;
    int m_rawKeys = 0;
};
