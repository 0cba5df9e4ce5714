#include "CTyreSetDlg.h"

#include "AppContext.h"
#include "CCarDirDlg.h"
#include "CarStore.h"
#include "CardButtons.h"
#include "DatePicker.h"
#include "DbAction.h"
#include "DialogRunner.h"
#include "Inputs.h"
#include "Tooltip.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

CTyreSetDlg::CTyreSetDlg(AppContext &ctx, const QString &iddTyre, QWidget *parent)
    : QDialog(parent), m_ctx(ctx) {
    Build();
    if (!iddTyre.isEmpty()) {
        std::optional<TyreSet> stored;
        m_loaded = TryDb(m_ctx.prompter(), [&] { stored = TyreStore(m_ctx.db()).Load(iddTyre); });
        if (m_loaded && !stored) {
            m_ctx.prompter().Warning(
                QStringLiteral("Комплект не найден: возможно, его удалили на другом рабочем месте."));
            m_loaded = false;
        }
        if (stored) m_set = *stored;
    } else {
        m_set.dateIn = QDate::currentDate();
        m_set.paidUntil = m_set.dateIn.addMonths(kSeasonMonths);
    }
    FillPlaces();
    Show();
}

void CTyreSetDlg::Build() {
    setWindowTitle(QStringLiteral("Комплект шин на хранении"));
    const auto line = [this](const char *name, const char *column) {
        auto *e = new QLineEdit(this);
        e->setObjectName(QLatin1StringView(name));
        Inputs::LimitTo(e, QStringLiteral("TTyre"), QLatin1StringView(column));
        return e;
    };
    m_car = new QLineEdit(this);
    m_car->setObjectName(QStringLiteral("car"));
    m_car->setReadOnly(true);
    m_chooseCar = new QPushButton(QStringLiteral("..."), this);
    m_chooseCar->setObjectName(QStringLiteral("chooseCar"));
    Tooltip::Set(m_chooseCar, QStringLiteral("Автомобиль"),
                 QStringLiteral("Выбрать автомобиль и его владельца."));
    Inputs::MarkField(m_car, QStringLiteral("TTyre"), QStringLiteral("IddAvto"));
    m_season = new QComboBox(this);
    m_season->setObjectName(QStringLiteral("season"));
    for (TyreSeason s : {TyreSeason::Winter, TyreSeason::Summer, TyreSeason::AllSeason})
        m_season->addItem(SeasonText(s), int(s));
    m_maker = line("maker", "Maker");
    m_model = line("model", "Model");
    m_size = line("size", "Size");
    m_size->setPlaceholderText(QStringLiteral("205/55 R16"));
    m_count = new QSpinBox(this);
    m_count->setObjectName(QStringLiteral("count"));
    m_count->setRange(1, 8);
    Inputs::MarkField(m_count, QStringLiteral("TTyre"), QStringLiteral("Count"));
    m_rims = new QCheckBox(QStringLiteral("с &дисками"), this);
    m_rims->setObjectName(QStringLiteral("rims"));
    m_tread = line("tread", "Tread");
    m_tread->setPlaceholderText(QStringLiteral("7,5; 7; 6,8; 7,2"));
    Tooltip::Set(m_tread, QStringLiteral("Глубина протектора"),
                 QStringLiteral("Глубина протектора каждой шины, мм, через точку с запятой."));
    m_damage = line("damage", "Damage");
    m_place = new QComboBox(this);
    m_place->setObjectName(QStringLiteral("place"));
    Inputs::MarkField(m_place, QStringLiteral("TTyre"), QStringLiteral("IddPlace"));
    const auto date = [this](const char *name, const char *column) {
        auto *d = new QDateEdit(this);
        d->setObjectName(QLatin1StringView(name));
        d->setCalendarPopup(true);
        d->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
        DatePicker::Limit(d);
        Inputs::MarkField(d, QStringLiteral("TTyre"), QLatin1StringView(column));
        return d;
    };
    m_in = date("dateIn", "DateIn");
    m_paid = date("paidUntil", "PaidUntil");
    m_fee = new QLineEdit(this);
    m_fee->setObjectName(QStringLiteral("fee"));
    Inputs::Amount(m_fee);
    Inputs::MarkField(m_fee, QStringLiteral("TTyre"), QStringLiteral("Fee"));

    auto *carRow = new QHBoxLayout;
    carRow->addWidget(m_car, 1);
    carRow->addWidget(m_chooseCar);
    auto *countRow = new QHBoxLayout;
    countRow->addWidget(m_count);
    countRow->addWidget(m_rims);
    countRow->addStretch();
    auto *form = new QFormLayout;
    // A row holding a layout gets its label's buddy by hand, or the mnemonic shows as typed.
    const auto label = [this](const char *text, QWidget *buddy) {
        auto *l = new QLabel(QString::fromUtf8(text), this);
        l->setBuddy(buddy);
        return l;
    };
    form->addRow(label("&Автомобиль, клиент:", m_chooseCar), carRow);
    form->addRow(QStringLiteral("&Сезон:"), m_season);
    form->addRow(QStringLiteral("&Производитель:"), m_maker);
    form->addRow(QStringLiteral("&Модель:"), m_model);
    form->addRow(QStringLiteral("&Размер:"), m_size);
    form->addRow(label("&Количество:", m_count), countRow);
    form->addRow(QStringLiteral("&Глубина протектора, мм:"), m_tread);
    form->addRow(QStringLiteral("П&овреждения:"), m_damage);
    form->addRow(QStringLiteral("М&есто хранения:"), m_place);
    form->addRow(QStringLiteral("Принят на &хранение:"), m_in);
    form->addRow(QStringLiteral("Оплаче&но до:"), m_paid);
    form->addRow(QStringLiteral("Плата за се&зон:"), m_fee);
    QPushButton *cancel = nullptr;
    QHBoxLayout *buttons = MakeCardButtons(this, &m_ok, &cancel, QStringLiteral("Сохранить"),
                                           QStringLiteral("Сохранить комплект и закрыть окно."));
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    connect(m_chooseCar, &QPushButton::clicked, this, &CTyreSetDlg::ChooseCar);
}

void CTyreSetDlg::FillPlaces() {
    QList<StoragePlace> places;
    TryDb(m_ctx.prompter(), [&] { places = TyreStore(m_ctx.db()).Places(); });
    // A new set is proposed the first place with room.
    if (m_set.iddTyre.isEmpty() && m_set.iddPlace.isEmpty())
        if (const auto free = TyreStore::FirstFree(places)) m_set.iddPlace = free->iddPlace;
    m_place->clear();
    for (const StoragePlace &p : std::as_const(places)) {
        // Its own place is no fuller for the set that is in it.
        const int free = p.Free() + (p.iddPlace == m_set.iddPlace && !m_set.iddTyre.isEmpty() ? 1 : 0);
        m_place->addItem(
            QStringLiteral("%1 (свободно %2 из %3)").arg(p.Text()).arg(std::max(free, 0)).arg(p.capacity),
            p.iddPlace);
    }
}

void CTyreSetDlg::PresetCar(const QString &iddAvto, const QString &iddClient) {
    if (!m_set.iddTyre.isEmpty()) return;
    m_set.iddAvto = iddAvto;
    m_set.iddClient = iddClient;
    Show();
}

void CTyreSetDlg::PresetOrder(const QString &iddZakaz, Money fee) {
    if (!m_set.iddTyre.isEmpty()) return;
    m_set.iddZakaz = iddZakaz;
    m_set.fee = fee;
    Show();
}

void CTyreSetDlg::Show() {
    QString plate = m_set.plate, client = m_set.clientName;
    if (plate.isEmpty() && !m_set.iddAvto.isEmpty())
        TryDb(m_ctx.prompter(), [&] {
            if (const auto car = CarStore(m_ctx.db()).Load(m_set.iddAvto)) plate = car->avtoNomer;
            for (const CarOwner &o : CarStore(m_ctx.db()).LoadOwners(m_set.iddAvto))
                if (o.iddVlad == m_set.iddClient) client = o.clientName;
        });
    m_car->setText(plate.isEmpty() ? QString() : plate + QStringLiteral(" — ") + client);
    m_season->setCurrentIndex(std::max(0, m_season->findData(int(m_set.season))));
    m_maker->setText(m_set.maker);
    m_model->setText(m_set.model);
    m_size->setText(m_set.size);
    m_count->setValue(m_set.count);
    m_rims->setChecked(m_set.rims);
    m_tread->setText(QString(m_set.TreadText()).replace(u'.', u','));
    m_damage->setText(m_set.damage);
    m_place->setCurrentIndex(m_place->findData(m_set.iddPlace));
    m_in->setDate(m_set.dateIn);
    m_paid->setDate(m_set.paidUntil);
    m_fee->setText(m_set.fee.Text());
    // A set given back is history: shown, not changed.
    const bool kept = m_set.Kept();
    for (QWidget *w :
         std::initializer_list<QWidget *>{m_chooseCar, m_season, m_maker, m_model, m_size, m_count, m_rims,
                                          m_tread, m_damage, m_place, m_in, m_paid, m_fee, m_ok})
        w->setEnabled(kept);
    m_chooseCar->setEnabled(kept && m_set.iddTyre.isEmpty());
}

void CTyreSetDlg::ChooseCar() {
    CCarDirDlg dir(m_ctx, this);
    dir.SetPicking(true);
    if (!m_set.iddAvto.isEmpty()) dir.Select(m_set.iddAvto);
    m_ctx.dialogs().Run(dir);
    if (!dir.selected() || dir.iddAvto().isEmpty()) return;
    QList<CarOwner> owners;
    if (!TryDb(m_ctx.prompter(), [&] { owners = CarStore(m_ctx.db()).LoadOwners(dir.iddAvto()); })) return;
    owners.removeIf([](const CarOwner &o) { return o.deleted; });
    QString client;
    for (const CarOwner &o : std::as_const(owners))
        if (o.iddAvtoVlad == dir.iddAvtoVlad()) client = o.iddVlad;
    if (client.isEmpty() && owners.size() == 1) client = owners.first().iddVlad;
    if (client.isEmpty()) {
        m_ctx.prompter().Warning(QStringLiteral(
            "У автомобиля нет владельца или их несколько:\nвыберите строку владельца под автомобилем."));
        return;
    }
    m_set.iddAvto = dir.iddAvto();
    m_set.iddClient = client;
    m_set.plate.clear();
    m_set.clientName.clear();
    Show();
}

bool CTyreSetDlg::Take() {
    m_set.season = TyreSeason(m_season->currentData().toInt());
    m_set.maker = m_maker->text().trimmed();
    m_set.model = m_model->text().trimmed();
    m_set.size = m_size->text().trimmed();
    m_set.count = m_count->value();
    m_set.rims = m_rims->isChecked();
    m_set.tread.clear();
    for (const QString &part : m_tread->text().split(u';', Qt::SkipEmptyParts)) {
        bool ok = false;
        const double depth = QString(part.trimmed()).replace(u',', u'.').toDouble(&ok);
        if (!ok) {
            m_ctx.prompter().Warning(QStringLiteral("Глубина протектора «%1» — не число.\nУкажите глубину "
                                                    "каждой шины в мм через точку с запятой.")
                                         .arg(part.trimmed()));
            m_tread->setFocus();
            return false;
        }
        m_set.tread << depth;
    }
    m_set.damage = m_damage->text().trimmed();
    m_set.iddPlace = m_place->currentData().toString();
    m_set.dateIn = m_in->date();
    m_set.paidUntil = m_paid->date();
    m_set.fee = Money::Parse(m_fee->text());
    return true;
}

void CTyreSetDlg::accept() {
    if (!Take()) return;
    TyreSet work = m_set;
    const bool isNew = work.iddTyre.isEmpty();
    if (!TrySave(this, m_ctx.prompter(), [&] {
            TyreStore store(m_ctx.db());
            if (isNew)
                store.TakeIn(work, m_ctx.login());
            else
                store.Update(work);
        })) {
        FillPlaces();  // another counter may have filled the place meanwhile
        m_place->setCurrentIndex(m_place->findData(m_set.iddPlace));
        return;
    }
    m_set = work;
    QDialog::accept();
}
