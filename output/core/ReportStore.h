#pragma once

#include "ExcelReports.h"

#include <QDate>

class Database;

// What the reports read from the database themselves. Every value is bound; each read is a fixed number
// of statements whatever the number of rows. Throws DbError.
class ReportStore {
public:
    explicit ReportStore(Database &db) : m_db(db) {}

    // The client, its live cars, its live orders (oldest first) with total and debt, and its payments
    // (newest first): those of its live orders and those filed under the client's own key.
    ClientCardData ClientCard(const QString &iddClient);

    // Opening balance: live payments dated before the first day. Articles: live payments from the start
    // of the first day to the end of the last, netted per purpose.
    TurnoverData Turnover(const QDate &from, const QDate &to);

    // The live lines of a stored salary statement, by worker name.
    QList<PayoutSheetRow> PayoutSheet(const QString &iddPay);

    // The orders planned on the live bays on the day, as the bay board reads them (also those running into
    // it from the day before or on past its midnight), and the shop's name.
    BayPlanDay BayPlan(const QDate &day);

    // The sets kept in tyre storage on the day (only those overdue then, for that order) in the report's
    // order, and the shop's name.
    TyreStorageReport TyresInStorage(TyreReportOrder order, const QDate &day);

    // The company's director and chief accountant for the statements' signature lines (from
    // CompanyStore; empty when the company row is missing).
    void Signatories(QString *director, QString *accountant);

private:
    Database &m_db;
};
