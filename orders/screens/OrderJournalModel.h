#pragma once

#include "KeyedModel.h"
#include "OrderJournalStore.h"

// The order journal's rows: an order (coloured by its status, tinted while in debt), under it its lines,
// under a package its services. Column 0 of an order carries its key (kKeyRole); a line carries none, so
// that a command on it acts on its order.
class OrderJournalModel : public KeyedModel {
public:
    enum Column {
        ColClient,
        ColNumber,
        ColDate,
        ColFrom,
        ColTo,
        ColPlate,
        ColCar,
        ColTel,
        ColTotal,
        ColDebt
    };

    explicit OrderJournalModel(QObject *parent = nullptr);
    void Set(QList<JournalOrder> orders);
    const QList<JournalOrder> &Orders() const { return m_orders; }

protected:
    int TopCount() const override { return int(m_orders.size()); }
    int ChildCount(int top) const override { return int(m_orders[top].lines.size()); }
    int SubCount(int top, int child) const override;
    QString Text(const Node &node, int column) const override;
    QVariant Value(const Node &node, int role) const override;
    QVariant SortValue(const Node &node, int column) const override;
    QVariant Look(const Node &node, int column, int role) const override;

private:
    const JournalLine &Line(const Node &node) const;

    QList<JournalOrder> m_orders;
};
