#include "PerformedWorksList.h"

#include "AppContext.h"
#include "DbAction.h"
#include "FlatModel.h"
#include "Formats.h"
#include "Inputs.h"
#include "KeyedView.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

QVariant SortMoney(const Money &m) {
    return QVariant(qlonglong(m.kopecks()));
}

QList<FlatModel<PerformedWork>::Column> Columns() {
    using W = const PerformedWork &;
    constexpr Qt::Alignment right = Qt::AlignRight;
    return {{QStringLiteral("Исполнен"), [](W w) { return Formats::Date(w.ZakazEndOut.date()); },
             [](W w) { return QVariant(w.ZakazEndOut); }},
            {QStringLiteral("№ заказа"), [](W w) { return w.ZakazNomer; }},
            {QStringLiteral("Дата заказа"), [](W w) { return Formats::Date(w.ZakazData.date()); },
             [](W w) { return QVariant(w.ZakazData); }},
            {QStringLiteral("Услуга"), [](W w) { return w.Name; }},
            {QStringLiteral("Сумма"), [](W w) { return w.amount.Text(); },
             [](W w) { return SortMoney(w.amount); }, right},
            {QStringLiteral("НДС"), [](W w) { return w.vat.Text(); }, [](W w) { return SortMoney(w.vat); },
             right},
            {QStringLiteral("Итого"), [](W w) { return w.Total().Text(); },
             [](W w) { return SortMoney(w.Total()); }, right},
            {QStringLiteral("Исполнитель"), [](W w) { return w.WorkFIO; }},
            {QStringLiteral("Начислено"), [](W w) { return w.pay.Text(); },
             [](W w) { return SortMoney(w.pay); }, right}};
}

}  // namespace

PerformedWorksList::PerformedWorksList(QWidget *parent) : QWidget(parent) {
    // A row is its order's line and worker.
    m_rows = new FlatModel<PerformedWork>(Columns(), [](const PerformedWork &w) {
        return w.IddZakaz + u'\n' + w.IddService + u'\n' + w.IddWork;
    });
    m_list = new KeyedView(m_rows, 3, {}, this);
    m_list->setObjectName(QStringLiteral("list"));
    m_list->SetWidths({70, 70, 70, 200, 90, 90, 90, 150, 90});
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

void PerformedWorksList::Show(const PerformedWorks &works, Rest rest) {
    m_list->SetRest({});
    m_shown = works;
    m_rows->Set(works.rows);
    m_list->FitColumns();
    m_amount->setText(works.amount.Text());
    m_vat->setText(works.vat.Text());
    m_total->setText(works.total.Text());
    m_pay->setText(works.pay.Text());
    if (!rest) return;
    // A failure reading the rest leaves the first screen as it is.
    m_list->SetRest([this, rest = std::move(rest)] {
        PerformedWorks all;
        if (rest(all)) Show(all);
    });
}

const PerformedWorks &PerformedWorksList::Whole() {
    m_list->ReadRest();
    return m_shown;
}

PerformedWorksList::Rest WholeWorks(AppContext &ctx, const WorksFilter &filter) {
    return [&ctx, filter](PerformedWorks &all) {
        return TryDb(ctx.prompter(), [&] { all = SalaryStore(ctx.db()).FillPerformedWorks(filter); });
    };
}
