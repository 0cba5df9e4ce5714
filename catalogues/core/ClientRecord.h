#pragma once

#include "Money.h"

#include <QList>
#include <QString>
#include <QTypeInfo>
#include <utility>

// One SClient row. Every field is text; the client has no deletion flag and is removed physically.
struct ClientRecord {
    QString iddClient;
    QString clientName;
    QString clientFullName;
    QString clientINN;
    QString clientAdres;
    QString clientAdresF;
    QString clientTel;
    QString clientFaks;
    QString clientEmail;
    QString clientOKHX;
    QString clientOKPO;
    QString clientBank;
    QString clientChet;
    QString clientKorChet;
    QString clientBIK;
    QString clientDirector;
    QString clientByx;
    QString clientContact;
    QString clientPrim;

    bool operator==(const ClientRecord &) const = default;

    using Member = QString ClientRecord::*;
    // The nineteen SClient columns in table order, each with the member that holds it.
    static const QList<std::pair<QString, Member>> &Columns();
};

// A car of a client as the clients directory shows it under the client.
struct ClientCarRow {
    QString iddAvtoVlad;
    QString iddAvto;
    QString iddVlad;
    QString avtoNomer;
    QString avtoMarka;
    QString avtoColor;
};

// A row of the clients directory: the client, its debt and its cars. Of the client only what the list
// shows is read (key, name, INN, address, telephone, fax, contact person); the card loads the rest.
struct ClientListRow {
    ClientRecord client;
    Money debt{};  // TClientDolgD.Sum_SummD; 0 for a client without orders
    QList<ClientCarRow> cars;
};

// Made only of Qt's strings and lists and a whole number, which may be moved in memory as bytes: a list
// of tens of thousands grows in place instead of moving every row one by one.
Q_DECLARE_TYPEINFO(ClientRecord, Q_RELOCATABLE_TYPE);
Q_DECLARE_TYPEINFO(ClientCarRow, Q_RELOCATABLE_TYPE);
Q_DECLARE_TYPEINFO(ClientListRow, Q_RELOCATABLE_TYPE);

// What the clients directory searches by. Empty texts are filters not given.
struct ClientFilter {
    QString name;
    QString inn;
    QString plate;
    bool debtorsOnly = false;  // only clients owing at least a kopeck
};
