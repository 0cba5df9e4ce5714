#pragma once

#include "CarRecord.h"
#include "ClientRecord.h"
#include "KeyedModel.h"

// The cars directory's rows: a car, and under it its current owners. Column 0 of either carries the car
// (kKeyRole), its plate (kPlateRole); an owner row also its link (kLinkRole).
class CarListModel : public KeyedModel {
public:
    static constexpr int kLinkRole = Qt::UserRole + 1;
    static constexpr int kPlateRole = Qt::UserRole + 2;

    explicit CarListModel(QObject *parent = nullptr);
    void Set(QList<CarListRow> rows);

protected:
    int TopCount() const override { return int(m_rows.size()); }
    int ChildCount(int top) const override { return int(m_rows[top].owners.size()); }
    QString Text(const Node &node, int column) const override;
    QVariant Value(const Node &node, int role) const override;

private:
    QList<CarListRow> m_rows;
};

// The clients directory's rows: a client with its debt, and under it its current cars. Column 0 of either
// carries the client (kKeyRole) and its name (kNameRole); a car row also its link and car.
class ClientListModel : public KeyedModel {
public:
    static constexpr int kLinkRole = Qt::UserRole + 1;
    static constexpr int kCarRole = Qt::UserRole + 2;
    static constexpr int kNameRole = Qt::UserRole + 3;
    enum Column { ColInn, ColName, ColAdres, ColTel, ColFaks, ColContact, ColDebt };

    explicit ClientListModel(QObject *parent = nullptr);
    void Set(QList<ClientListRow> rows);
    const QList<ClientListRow> &Rows() const { return m_rows; }

protected:
    int TopCount() const override { return int(m_rows.size()); }
    int ChildCount(int top) const override { return int(m_rows[top].cars.size()); }
    QString Text(const Node &node, int column) const override;
    QVariant Value(const Node &node, int role) const override;
    QVariant SortValue(const Node &node, int column) const override;

private:
    QList<ClientListRow> m_rows;
};
