#include "TyreSetsPage.h"

#include "AppContext.h"
#include "DbAction.h"
#include "Formats.h"
#include "KeyedList.h"
#include "StatusColors.h"

#include <QVBoxLayout>

TyreSetsPage::TyreSetsPage(AppContext &ctx, Of of, QWidget *parent) : QWidget(parent), m_ctx(ctx), m_of(of) {
    m_list = new KeyedList({QStringLiteral("Код"), QStringLiteral("Принят"),
                            of == Of::Client ? QStringLiteral("Гос. номер") : QStringLiteral("Клиент"),
                            QStringLiteral("Комплект"), QStringLiteral("Место"),
                            QStringLiteral("Оплачено до"), QStringLiteral("Выдан")},
                           3, {}, this);
    m_list->setObjectName(QStringLiteral("tyreSets"));
    m_list->setRootIsDecorated(false);
    m_list->SetWidths({80, 80, 120, 240, 160, 90, 80});
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list);
}

void TyreSetsPage::Show(const QString &key) {
    QList<TyreSet> sets;
    if (!key.isEmpty() && !TryDb(m_ctx.prompter(), [&] {
            TyreStore store(m_ctx.db());
            sets = m_of == Of::Client ? store.OfClient(key) : store.OfCar(key);
        }))
        return;
    m_list->clear();
    const QDate today = QDate::currentDate();
    for (const TyreSet &s : std::as_const(sets)) {
        QTreeWidgetItem *row = m_list->AddRow(
            {s.code, Formats::Date(s.dateIn), m_of == Of::Client ? s.plate : s.clientName, s.Description(),
             s.placeText, Formats::Date(s.paidUntil), Formats::Date(s.dateOut)},
            s.iddTyre);
        if (s.Overdue(today))
            for (int c = 0; c < row->columnCount(); ++c) row->setForeground(c, StatusColors::Overdue());
    }
}
