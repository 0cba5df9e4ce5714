#include "PerformedWorksList.h"

#include "Formats.h"
#include "Inputs.h"
#include "KeyedList.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

// Keys behind a row beyond the order's (column 0's key role).
constexpr int kServiceRole = Qt::UserRole + 1;
constexpr int kWorkRole = Qt::UserRole + 2;
constexpr int kClientRole = Qt::UserRole + 3;

}  // namespace

PerformedWorksList::PerformedWorksList(QWidget *parent) : QWidget(parent) {
    const QStringList headings = {
        QStringLiteral("Исполнен"), QStringLiteral("№ заказа"),    QStringLiteral("Дата заказа"),
        QStringLiteral("Услуга"),   QStringLiteral("Сумма"),       QStringLiteral("НДС"),
        QStringLiteral("Итого"),    QStringLiteral("Исполнитель"), QStringLiteral("Начислено")};
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    m_list = new KeyedList(this);
    m_list->setObjectName(QStringLiteral("list"));
    m_list->SetColumns(headings, {70, 70, 70, 200, 90, 90, 90, 150, 90},
                       {Qt::AlignLeft, Qt::AlignLeft, Qt::AlignLeft, Qt::AlignLeft, right, right, right,
                        Qt::AlignLeft, right});
    m_list->SetStretchColumn(3);
    m_list->setRootIsDecorated(false);
    m_list->SetSortable(true);

    auto *totals = new QHBoxLayout;
    totals->addStretch();
    const auto figure = [&](const char *name, const QString &caption) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setAlignment(Qt::AlignRight);
        edit->setMaximumWidth(120);
        Inputs::ReadOnlyFigure(edit);
        totals->addWidget(new QLabel(caption, this));
        totals->addWidget(edit);
        return edit;
    };
    m_amount = figure("totalAmount", QStringLiteral("Выполнено:"));
    m_vat = figure("totalVat", QStringLiteral("НДС:"));
    m_total = figure("totalSum", QStringLiteral("ИТОГО:"));
    m_pay = figure("totalPay", QStringLiteral("Исполнителям:"));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list, 1);
    layout->addLayout(totals);
    Show({});
}

void PerformedWorksList::Show(const PerformedWorks &works) {
    m_list->clear();
    for (const PerformedWork &w : works.rows) {
        QTreeWidgetItem *item = m_list->AddRow(
            {Formats::Date(w.ZakazEndOut.date()), w.ZakazNomer, Formats::Date(w.ZakazData.date()), w.Name,
             w.amount.Text(), w.vat.Text(), w.Total().Text(), w.WorkFIO, w.pay.Text()},
            w.IddZakaz);
        item->setData(0, kServiceRole, w.IddService);
        item->setData(0, kWorkRole, w.IddWork);
        item->setData(0, kClientRole, w.IddVlad);
        KeyedList::SetSortValue(item, 0, w.ZakazEndOut);
        KeyedList::SetSortValue(item, 2, w.ZakazData);
        KeyedList::SetSortValue(item, 4, w.amount);
        KeyedList::SetSortValue(item, 5, w.vat);
        KeyedList::SetSortValue(item, 6, w.Total());
        KeyedList::SetSortValue(item, 8, w.pay);
    }
    m_list->FitColumns();
    m_amount->setText(works.amount.Text());
    m_vat->setText(works.vat.Text());
    m_total->setText(works.total.Text());
    m_pay->setText(works.pay.Text());
}
