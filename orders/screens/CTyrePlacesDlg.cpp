#include "CTyrePlacesDlg.h"

#include "AppContext.h"
#include "CardButtons.h"
#include "DbAction.h"
#include "DialogRunner.h"
#include "Inputs.h"
#include "KeyedList.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

// One place's card.
class PlaceCard : public QDialog {
public:
    PlaceCard(AppContext &ctx, StoragePlace place, QWidget *parent)
        : QDialog(parent), m_ctx(ctx), m_place(std::move(place)) {
        setWindowTitle(QStringLiteral("Место хранения"));
        auto *form = new QFormLayout;
        for (auto [edit, caption, column, value] : {std::tuple{&m_rack, "&Стеллаж:", "Rack", m_place.rack},
                                                    {&m_shelf, "&Полка:", "Shelf", m_place.shelf},
                                                    {&m_cell, "&Ячейка:", "Cell", m_place.cell},
                                                    {&m_note, "Пр&имечание:", "PrimPlace", m_place.note}}) {
            *edit = new QLineEdit(value, this);
            (*edit)->setObjectName(QLatin1StringView(column));
            Inputs::LimitTo(*edit, QStringLiteral("SPlace"), QLatin1StringView(column));
            form->addRow(QString::fromUtf8(caption), *edit);
            if (edit == &m_cell) {
                m_capacity = new QSpinBox(this);
                m_capacity->setObjectName(QStringLiteral("Capacity"));
                m_capacity->setRange(1, 99);
                m_capacity->setValue(m_place.capacity);
                Inputs::MarkField(m_capacity, QStringLiteral("SPlace"), QStringLiteral("Capacity"));
                form->addRow(QStringLiteral("&Вместимость, комплектов:"), m_capacity);
            }
        }
        QPushButton *ok = nullptr, *cancel = nullptr;
        QHBoxLayout *buttons = MakeCardButtons(this, &ok, &cancel, QStringLiteral("Сохранить"),
                                               QStringLiteral("Сохранить место хранения и закрыть окно."));
        auto *layout = new QVBoxLayout(this);
        layout->addLayout(form);
        layout->addLayout(buttons);
    }
    void accept() override {
        m_place.rack = m_rack->text(), m_place.shelf = m_shelf->text(), m_place.cell = m_cell->text();
        m_place.note = m_note->text(), m_place.capacity = m_capacity->value();
        if (TrySave(this, m_ctx.prompter(), [&] { TyreStore(m_ctx.db()).SavePlace(m_place, m_ctx.login()); }))
            QDialog::accept();
    }

private:
    AppContext &m_ctx;
    StoragePlace m_place;
    QLineEdit *m_rack = nullptr, *m_shelf = nullptr, *m_cell = nullptr, *m_note = nullptr;
    QSpinBox *m_capacity = nullptr;
};

}  // namespace

CTyrePlacesDlg::CTyrePlacesDlg(AppContext &ctx, QWidget *parent) : QDialog(parent), m_ctx(ctx) {
    setWindowTitle(QStringLiteral("Места хранения"));
    m_list = new KeyedList({QStringLiteral("Место"), QStringLiteral("Вместимость"), QStringLiteral("Занято"),
                            QStringLiteral("Свободно")},
                           0, {[this] { Add(); }, [this] { Edit(); }, nullptr}, this);
    m_list->setObjectName(QStringLiteral("places"));
    m_list->SetWidths({260, 90, 70, 70});
    m_list->SetMenuTexts(QStringLiteral("Добавить место"), QStringLiteral("Изменить место"), QString());
    auto *add = new QPushButton(QStringLiteral("&Добавить"), this);
    auto *edit = new QPushButton(QStringLiteral("&Изменить"), this);
    auto *close = new QPushButton(QStringLiteral("&Закрыть"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(edit);
    buttons->addStretch();
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);
    resize(560, 480);
    connect(add, &QPushButton::clicked, this, &CTyrePlacesDlg::Add);
    connect(edit, &QPushButton::clicked, this, &CTyrePlacesDlg::Edit);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    Fill();
}

void CTyrePlacesDlg::Fill() {
    const QString current = m_list->CurrentKey();
    if (!TryDb(m_ctx.prompter(), [&] { m_places = TyreStore(m_ctx.db()).Places(); })) return;
    m_list->clear();
    // Each rack with its totals, its places beneath it.
    QMap<QString, QList<const StoragePlace *>> racks;
    for (const StoragePlace &p : std::as_const(m_places)) racks[p.rack].append(&p);
    for (auto it = racks.cbegin(); it != racks.cend(); ++it) {
        int capacity = 0, occupied = 0;
        for (const StoragePlace *p : it.value()) capacity += p->capacity, occupied += p->occupied;
        QTreeWidgetItem *rack = m_list->AddRow(
            {it.key().isEmpty() ? QStringLiteral("(без стеллажа)") : QStringLiteral("Стеллаж ") + it.key(),
             QString::number(capacity), QString::number(occupied), QString::number(capacity - occupied)});
        for (const StoragePlace *p : it.value())
            m_list->AddRow({p->Text(), QString::number(p->capacity), QString::number(p->occupied),
                            QString::number(std::max(0, p->Free()))},
                           p->iddPlace, rack);
        rack->setExpanded(true);
    }
    if (!m_list->SelectKey(current) && m_list->topLevelItemCount() > 0)
        m_list->setCurrentItem(m_list->topLevelItem(0));
}

bool CTyrePlacesDlg::Card(StoragePlace place) {
    if (!m_ctx.CheckRight(Right::TyreTakeIn)) return false;
    PlaceCard card(m_ctx, std::move(place), this);
    if (m_ctx.dialogs().Run(card) != QDialog::Accepted) return false;
    Fill();
    return true;
}

void CTyrePlacesDlg::Add() {
    Card({});
}

void CTyrePlacesDlg::Edit() {
    const QString key = m_list->CurrentKey();
    for (const StoragePlace &p : std::as_const(m_places))
        if (!key.isEmpty() && p.iddPlace == key) {
            Card(p);
            return;
        }
    m_ctx.prompter().Warning(QStringLiteral("Выберите место хранения в списке!"));
}
