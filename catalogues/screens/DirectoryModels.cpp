#include "DirectoryModels.h"

CarListModel::CarListModel(QObject *parent)
    : KeyedModel({QStringLiteral("Гос. №:"), QStringLiteral("Марка:"), QStringLiteral("Цвет:"),
                  QStringLiteral("VIN:"), QStringLiteral("№ двиг.:")},
                 {}, parent) {}

void CarListModel::Set(QList<CarListRow> rows) {
    BeginReset();
    m_rows = std::move(rows);
    EndReset();
}

QString CarListModel::Text(const Node &node, int column) const {
    const int child = node.child;
    const CarListRow &row = m_rows[node.top];
    if (child >= 0) {
        const CarOwnerRow &o = row.owners[child];
        switch (column) {
            case 0:
                return o.clientName;
            case 1:
                return o.clientContact;
            case 2:
                return o.clientTel;
            case 3:
                return o.clientFaks;
            default:
                return {};
        }
    }
    const CarRecord &c = row.car;
    switch (column) {
        case 0:
            return c.avtoNomer;
        case 1:
            return c.avtoMarka;
        case 2:
            return c.avtoColor;
        case 3:
            return c.avtoVin;
        case 4:
            return c.avtoDvig;
        default:
            return {};
    }
}

QVariant CarListModel::Value(const Node &node, int role) const {
    const int child = node.child;
    const CarListRow &row = m_rows[node.top];
    switch (role) {
        case kKeyRole:
            return row.car.iddAvto;
        case kPlateRole:
            return row.car.avtoNomer;
        case kLinkRole:
            return child >= 0 ? row.owners[child].iddAvtoVlad : QString();
        default:
            return {};
    }
}

ClientListModel::ClientListModel(QObject *parent)
    : KeyedModel({QStringLiteral("ИНН/КПП:"), QStringLiteral("Название:"), QStringLiteral("Адрес:"),
                  QStringLiteral("Телефон:"), QStringLiteral("Факс:"), QStringLiteral("Контакт:"),
                  QStringLiteral("Долг:")},
                 {{}, {}, {}, {}, {}, {}, Qt::AlignRight}, parent) {}

void ClientListModel::Set(QList<ClientListRow> rows) {
    BeginReset();
    m_rows = std::move(rows);
    EndReset();
}

QString ClientListModel::Text(const Node &node, int column) const {
    const int child = node.child;
    const ClientListRow &row = m_rows[node.top];
    if (child >= 0) {
        const ClientCarRow &car = row.cars[child];
        switch (column) {
            case 0:
                return car.avtoNomer;
            case 1:
                return car.avtoMarka;
            case 2:
                return car.avtoColor;
            default:
                return {};
        }
    }
    const ClientRecord &c = row.client;
    switch (column) {
        case ColInn:
            return c.clientINN;
        case ColName:
            return c.clientName;
        case ColAdres:
            return c.clientAdres;
        case ColTel:
            return c.clientTel;
        case ColFaks:
            return c.clientFaks;
        case ColContact:
            return c.clientContact;
        case ColDebt:
            return row.debt.Text();
        default:
            return {};
    }
}

QVariant ClientListModel::Value(const Node &node, int role) const {
    const int child = node.child;
    const ClientListRow &row = m_rows[node.top];
    switch (role) {
        case kKeyRole:
            return row.client.iddClient;
        case kNameRole:
            return row.client.clientName;
        case kLinkRole:
            return child >= 0 ? row.cars[child].iddAvtoVlad : QString();
        case kCarRole:
            return child >= 0 ? row.cars[child].iddAvto : QString();
        default:
            return {};
    }
}

QVariant ClientListModel::SortValue(const Node &node, int column) const {
    if (node.child >= 0 || column != ColDebt) return {};
    return qlonglong(m_rows[node.top].debt.kopecks());
}
