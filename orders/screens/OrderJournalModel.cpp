#include "OrderJournalModel.h"

#include "Formats.h"
#include "StatusColors.h"

namespace {

QString Moment(const QDateTime &when) {
    return when.isValid() ? Formats::DateTime(when) : QString();
}

// A line's cells: name, quantity, price, amount, VAT percent, VAT, amount with VAT, performers; a package
// shows the sums of its services and neither price nor VAT percent.
enum LineColumn {
    LineName,
    LineCount,
    LinePrice,
    LineAmount,
    LineVatPercent,
    LineVat,
    LineTotal,
    LineWorkers
};

}  // namespace

OrderJournalModel::OrderJournalModel(QObject *parent)
    : KeyedModel(
          {QStringLiteral("Клиент:"), QStringLiteral("№:"), QStringLiteral("Дата:"), QStringLiteral("с:"),
           QStringLiteral("по:"), QStringLiteral("Гос.№:"), QStringLiteral("Марка:"), QStringLiteral("Тел.:"),
           QStringLiteral("Сумма:"), QStringLiteral("Долг:")},
          {{}, {}, {}, {}, {}, {}, {}, {}, Qt::AlignRight, Qt::AlignRight}, parent) {}

void OrderJournalModel::Set(QList<JournalOrder> orders) {
    BeginReset();
    m_orders = std::move(orders);
    EndReset();
}

int OrderJournalModel::SubCount(int top, int child) const {
    return int(m_orders[top].lines[child].services.size());
}

const JournalLine &OrderJournalModel::Line(const Node &node) const {
    const JournalLine &line = m_orders[node.top].lines[node.child];
    return node.sub >= 0 ? line.services[node.sub] : line;
}

QString OrderJournalModel::Text(const Node &node, int column) const {
    if (node.child >= 0) {
        const JournalLine &l = Line(node);
        switch (column) {
            case LineName:
                return l.name;
            case LineCount:
                return Formats::TwoDecimals(l.count);
            case LinePrice:
                return l.package ? QString() : l.price.Text();
            case LineAmount:
                return l.amount.Text();
            case LineVatPercent:
                return l.package ? QString() : Formats::TwoDecimals(l.prNds);
            case LineVat:
                return l.vat.Text();
            case LineTotal:
                return l.total.Text();
            case LineWorkers:
                return l.performers;
            default:
                return {};
        }
    }
    const JournalOrder &o = m_orders[node.top];
    switch (column) {
        case ColClient:
            return o.ClientName;
        case ColNumber:
            return o.ZakazNomer;
        case ColDate:
            return Formats::Date(o.ZakazData);
        case ColFrom:
            return Moment(o.From());
        case ColTo:
            return Moment(o.To());
        case ColPlate:
            return o.AvtoNomer;
        case ColCar:
            return o.Car();
        case ColTel:
            return o.ClientTel;
        case ColTotal:
            return o.total.Text();
        case ColDebt:
            return o.debt.Text();
        default:
            return {};
    }
}

QVariant OrderJournalModel::Value(const Node &node, int role) const {
    if (role != kKeyRole) return {};
    return node.child < 0 ? m_orders[node.top].IddZakaz : QString();
}

QVariant OrderJournalModel::SortValue(const Node &node, int column) const {
    if (node.child >= 0) {
        const JournalLine &l = Line(node);
        switch (column) {
            case LineCount:
                return l.count;
            case LinePrice:
                return qlonglong(l.price.kopecks());
            case LineAmount:
                return qlonglong(l.amount.kopecks());
            case LineVatPercent:
                return l.prNds;
            case LineVat:
                return qlonglong(l.vat.kopecks());
            case LineTotal:
                return qlonglong(l.total.kopecks());
            default:
                return {};
        }
    }
    const JournalOrder &o = m_orders[node.top];
    switch (column) {
        case ColDate:
            return o.ZakazData;
        case ColFrom:
            return o.From();
        case ColTo:
            return o.To();
        case ColTotal:
            return qlonglong(o.total.kopecks());
        case ColDebt:
            return qlonglong(o.debt.kopecks());
        default:
            return {};
    }
}

QVariant OrderJournalModel::Look(const Node &node, int, int role) const {
    if (node.child >= 0) return {};
    const JournalOrder &o = m_orders[node.top];
    if (role == Qt::ForegroundRole) return StatusColors::Of(o.ZakazStatus);
    if (role == Qt::BackgroundRole && o.debt.IsOutstanding()) return StatusColors::DebtBackground();
    return {};
}
