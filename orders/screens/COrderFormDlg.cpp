#include "COrderFormDlg.h"

#include "AppContext.h"
#include "BayPlan.h"
#include "BayStore.h"
#include "CTyreSetDlg.h"
#include "CardButtons.h"
#include "DatePicker.h"
#include "DbAction.h"
#include "DialogRunner.h"
#include "Inputs.h"
#include "KeyedList.h"
#include "OrderCarClientPart.h"
#include "OrderLinesPart.h"
#include "OrderPaymentsPart.h"
#include "OrderStore.h"
#include "PaymentEditing.h"
#include "PaymentStore.h"
#include "Prompter.h"
#include "Tooltip.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

COrderFormDlg::COrderFormDlg(AppContext &ctx, OrderFormMode mode, const QString &iddZakaz, QWidget *parent)
    : QDialog(parent),
      m_ctx(ctx),
      m_mode(mode),
      m_editor(mode == OrderFormMode::Request ? StatusRequested : StatusStarted,
               QDateTime::currentDateTime()) {
    Build();
    SetTooltips();
    if (mode == OrderFormMode::Edit) {
        m_loaded = Load(iddZakaz);
    } else {
        // The number is taken when the order is saved; nothing typed here would survive that.
        m_number->setReadOnly(true);
        m_number->setPlaceholderText(QStringLiteral("при сохранении"));
    }
    ShowDates();
    m_lines->Fill();
    m_payments->Fill();
    m_carClient->plate()->setFocus();
    m_touched = false;  // what the form showed on opening is nobody's change
}

void COrderFormDlg::Build() {
    setWindowTitle(QStringLiteral("Заказ"));
    BuildDates();
    m_carClient = new OrderCarClientPart(m_ctx, this);
    m_lines = new OrderLinesPart(m_ctx, m_editor, this);
    m_payments = new OrderPaymentsPart(m_ctx, m_editor, this);
    QHBoxLayout *buttons = MakeCardButtons(this, &m_ok, &m_cancel, QStringLiteral("Сохранить"),
                                           QStringLiteral("Сохранить заказ\nи закрыть окно (Ctrl+Enter)."));

    // Layout: dates on top, then car and client side by side, then the lines, then the payments.
    auto *dates = new QGridLayout;
    dates->addWidget(new QLabel(QStringLiteral("№:"), this), 0, 0);
    dates->addWidget(m_number, 1, 0);
    dates->addWidget(new QLabel(QStringLiteral("от:"), this), 0, 1);
    dates->addWidget(m_orderDate, 1, 1);
    int col = 2;
    for (auto [box, at] :
         {std::pair{m_prelim, m_prelimAt}, std::pair{m_accepted, m_acceptAt}, std::pair{m_done, m_doneAt}}) {
        dates->addWidget(box, 0, col);
        dates->addWidget(at, 1, col++);
    }
    for (auto [caption, field] : {std::pair{"Бокс:", static_cast<QWidget *>(m_bay)},
                                  std::pair{"Окончание в боксе:", static_cast<QWidget *>(m_planEnd)}}) {
        auto *label = new QLabel(QString::fromUtf8(caption), this);
        label->setBuddy(field);
        dates->addWidget(label, 0, col);
        dates->addWidget(field, 1, col++);
    }
    // The number takes what it needs; the moments keep their whole text.
    m_number->setMaximumWidth(m_number->fontMetrics().horizontalAdvance(u'0') * 16);
    dates->setColumnStretch(col, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(dates);
    layout->addWidget(m_carClient);
    layout->addWidget(m_lines, 3);
    layout->addWidget(m_payments, 2);
    layout->addLayout(buttons);
    resize(1000, 720);

    // The totals and the proposed completion follow the lines.
    connect(m_lines, &OrderLinesPart::Changed, this, [this] {
        m_payments->ShowTotals();
        ShowDates();
        m_touched = true;
    });
    connect(m_payments, &OrderPaymentsPart::Changed, this, [this] { m_touched = true; });
    connect(m_carClient, &OrderCarClientPart::Changed, this, [this] { m_touched = true; });
    connect(m_number, &QLineEdit::textEdited, this, [this] { m_touched = true; });

    QList<QWidget *> tabs = {m_number,   m_orderDate, m_prelim, m_prelimAt, m_accepted,
                             m_acceptAt, m_done,      m_doneAt, m_bay,      m_planEnd};
    tabs << m_carClient->TabOrder() << m_lines->TabOrder() << m_payments->TabOrder() << m_ok << m_cancel;
    Inputs::ChainTabOrder(tabs);
    // Saved from any field, the lists included (where Enter has a meaning of its own).
    for (const QKeySequence &keys :
         {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)})
        connect(new QShortcut(keys, this), &QShortcut::activated, this, [this] { m_ok->click(); });
}

void COrderFormDlg::BuildDates() {
    auto date = []<class Edit>(Edit *d, const char *name, const char *format) {
        DatePicker::Limit(d);
        d->setObjectName(QString::fromLatin1(name));
        d->setCalendarPopup(true);
        d->setDisplayFormat(QString::fromLatin1(format));
        return d;
    };
    auto moment = [&](const char *name) { return date(new QDateTimeEdit(this), name, "dd.MM.yyyy HH:mm"); };
    auto check = [this](const char *name, const QString &text) {
        auto *c = new QCheckBox(text, this);
        c->setObjectName(QString::fromLatin1(name));
        return c;
    };
    m_number = new QLineEdit(this);
    m_number->setObjectName(QStringLiteral("number"));
    Inputs::LimitTo(m_number, QStringLiteral("TZakaz"), QStringLiteral("ZakazNomer"));
    m_orderDate = date(new QDateEdit(this), "orderDate", "dd.MM.yyyy");
    m_prelim = check("prelim", QStringLiteral("Предварительный заказ:"));
    m_prelimAt = moment("prelimAt");
    m_accepted = check("accepted", QStringLiteral("Принят к исполнению:"));
    m_acceptAt = moment("acceptAt");
    m_done = check("done", QStringLiteral("Исполнен:"));
    m_doneAt = moment("doneAt");
    m_bay = new QComboBox(this);
    m_bay->setObjectName(QStringLiteral("bay"));
    m_planEnd = moment("planEnd");
    FillBays();

    for (QCheckBox *box : {m_prelim, m_accepted, m_done})
        connect(box, &QCheckBox::toggled, this, [this] { TicksChanged(); });
    connect(m_orderDate, &QDateEdit::dateChanged, this, [this](const QDate &d) {
        m_editor.SetOrderDate(d);
        if (!m_filling) m_touched = true;
    });
    // A picker the clerk changes is the clerk's moment; a moved acceptance moves the proposed completion.
    auto picked = [this](QDateTimeEdit *edit, void (OrderEditor::*pick)(const QDateTime &)) {
        connect(edit, &QDateTimeEdit::dateTimeChanged, this, [this, pick](const QDateTime &at) {
            if (m_filling) return;
            (m_editor.*pick)(at);
            m_touched = true;
            ShowDates();
        });
    };
    picked(m_prelimAt, &OrderEditor::PickAppointment);
    picked(m_acceptAt, &OrderEditor::PickAccept);
    picked(m_doneAt, &OrderEditor::PickDone);
    picked(m_planEnd, &OrderEditor::PickPlanEnd);
    connect(m_bay, &QComboBox::currentIndexChanged, this, [this] {
        if (m_filling) return;
        m_editor.SetBay(m_bay->currentData().toString());
        m_touched = true;
        ShowDates();
    });
}

void COrderFormDlg::FillBays() {
    QList<BayRecord> bays;
    if (!TryDb(m_ctx.prompter(), [&] { bays = BayStore(m_ctx.db()).List(); })) bays.clear();
    const QString mine = m_editor.order().IddBox;
    if (!mine.isEmpty() &&
        std::none_of(bays.begin(), bays.end(), [&](const BayRecord &b) { return b.iddBox == mine; })) {
        std::optional<BayRecord> gone;
        TryDb(m_ctx.prompter(), [&] { gone = BayStore(m_ctx.db()).Load(mine); });
        bays.prepend(gone.value_or(BayRecord{mine, mine, {}, true}));
    }
    const bool wasFilling = std::exchange(m_filling, true);
    m_bay->clear();
    m_bay->addItem(QStringLiteral("(нет)"), QString());
    for (const BayRecord &b : std::as_const(bays)) m_bay->addItem(b.nameBox, b.iddBox);
    m_bay->setCurrentIndex(std::max(0, m_bay->findData(mine)));
    m_filling = wasFilling;
}

void COrderFormDlg::PresetCharge(const QString &iddClient, const ServiceRecord &line, double count) {
    if (m_mode == OrderFormMode::Edit) return;
    m_carClient->PresetClient(iddClient);
    m_offersStorage = false;  // the charge is for a set stored already
    m_editor.AddServices({SelectedService{line, {}, {}}});
    const QList<OrderLine> &lines = m_editor.order().lines;
    m_editor.SetQuantity({int(lines.size()) - 1, -1}, count);
    m_lines->Fill();
    m_payments->ShowTotals();
    ShowDates();
    m_touched = false;  // what the form was opened with is not the clerk's change
}

void COrderFormDlg::PresetPlan(const QString &iddBox, const QDateTime &start,
                               const SelectedServices &services) {
    if (m_mode == OrderFormMode::Edit) return;
    m_editor.SetTicks({true, false, false});
    m_editor.PickAppointment(start);
    m_editor.SetBay(iddBox);
    if (!services.empty()) {
        m_editor.AddServices(services);
        m_lines->Fill();
        m_payments->ShowTotals();
    }
    FillBays();
    ShowDates();
    m_touched = false;  // the slot the form was opened for is not the clerk's change
}

void COrderFormDlg::SetTooltips() {
    auto tip = [](QWidget *w, const char *title, const char *text) {
        Tooltip::Set(w, QString::fromUtf8(title), QString::fromUtf8(text));
    };
    tip(m_number, "Номер заказа",
        "Номер заказа формируется автоматически при сохранении.\nПоследний номер можно изменить "
        "в настройках нумерации.\nНомер сохранённого заказа можно исправить, если он не занят.");
    tip(m_orderDate, "Дата заказа", "Дата оформления заказа.");
    tip(m_prelim, "Предварительный заказ", "Отметьте, если клиент записан на определенное время.");
    tip(m_prelimAt, "Дата предварительного заказа",
        "Дата и время, на которые записан клиент.\nКалендарь: Alt+Стрелка вниз или F4.");
    tip(m_accepted, "Заказ принят", "Отметьте, когда автомобиль принят в работу.");
    tip(m_acceptAt, "Дата начала заказа", "Дата и время начала работ.");
    tip(m_done, "Заказ исполнен", "Отметьте, когда работы закончены.");
    tip(m_doneAt, "Дата исполнения заказа",
        "Дата и время окончания работ.\nПредлагается по длительности заказанных услуг.");
    tip(m_bay, "Бокс",
        "Бокс, в котором запланированы работы по заказу.\nРаботы начинаются в указанное "
        "время записи\n(или время начала работ, если записи нет).");
    tip(m_planEnd, "Окончание работ в боксе",
        "До какого времени бокс занят заказом.\nПредлагается по длительности заказанных услуг.");
}

bool COrderFormDlg::Load(const QString &iddZakaz) {
    std::optional<Order> stored;
    if (!TryDb(m_ctx.prompter(), [&] { stored = OrderStore(m_ctx.db()).Load(iddZakaz); })) return false;
    if (!stored) {
        m_ctx.prompter().Warning(
            QStringLiteral("Заказ не найден: возможно, он удалён на другом рабочем месте."));
        return false;
    }
    m_stored = stored;
    m_editor = OrderEditor(*stored, QDateTime::currentDateTime());
    m_number->setText(stored->ZakazNomer);
    m_carClient->Show(*stored);
    FillBays();
    return true;
}

void COrderFormDlg::Reload() {
    if (!m_stored || !Load(m_stored->IddZakaz)) return;
    ShowDates();
    m_lines->Fill();
    m_payments->Fill();
    m_touched = false;
}

void COrderFormDlg::ShowDates() {
    const bool wasFilling = m_filling;
    m_filling = true;
    m_orderDate->setDate(m_editor.OrderDate());
    const OrderEditor::Ticks &ticks = m_editor.ticks();
    m_prelim->setChecked(ticks.preliminary);
    m_accepted->setChecked(ticks.accepted);
    m_done->setChecked(ticks.finished);
    const OrderEditor::Ticks pickable = m_editor.Pickable();
    const auto show = [](QDateTimeEdit *edit, const QDateTime &at, bool enabled) {
        edit->setDateTime(at);
        edit->setEnabled(enabled);
    };
    show(m_prelimAt, m_editor.AppointmentShown(), pickable.preliminary);
    show(m_acceptAt, m_editor.AcceptShown(), pickable.accepted);
    show(m_doneAt, m_editor.DoneShown(), pickable.finished);
    const bool planned = !m_editor.order().IddBox.isEmpty();
    show(m_planEnd, planned ? m_editor.PlanEndShown() : m_editor.PlanStart(), planned);
    m_filling = wasFilling;
}

void COrderFormDlg::TicksChanged() {
    if (m_filling) return;
    m_editor.SetTicks({m_prelim->isChecked(), m_accepted->isChecked(), m_done->isChecked()});
    m_touched = true;
    ShowDates();
}

void COrderFormDlg::PresetClient(const QString &iddClient) {
    if (m_mode != OrderFormMode::Edit) m_carClient->PresetClient(iddClient);
    m_touched = false;  // the client the form was opened for is not the clerk's change
}

bool COrderFormDlg::CheckInput() {
    m_editor.SetNumber(m_number->text());
    m_carClient->ApplyTo(m_editor);
    OrderEditor::Refusal refusal = m_editor.Check();
    // The plate comes first; a plate typed without a stored car is looked up before the rest is checked,
    // and so is a client's name typed without a stored client.
    if (refusal.field != OrderEditor::Field::Plate) {
        if (!m_carClient->SettleCar() || !m_carClient->SettleClient()) return false;
        m_carClient->ApplyTo(m_editor);
        refusal = m_editor.Check();
    }
    switch (refusal.field) {
        case OrderEditor::Field::None:
            return true;
        case OrderEditor::Field::Plate:
            m_carClient->plate()->setFocus();
            break;
        case OrderEditor::Field::Client:
            m_carClient->client()->setFocus();
            break;
        case OrderEditor::Field::Lines:
            m_lines->addButton()->setFocus();
            break;
        case OrderEditor::Field::Number:
            m_number->setFocus();
            break;
        case OrderEditor::Field::Done:
            m_doneAt->setFocus();
            break;
        case OrderEditor::Field::PlanEnd:
            m_planEnd->setFocus();
            break;
    }
    m_ctx.prompter().Warning(refusal.message);
    if (refusal.field == OrderEditor::Field::Lines) m_lines->AddLines();
    return false;
}

bool COrderFormDlg::SaveOrder(Order &work) {
    std::optional<Money> agreed;  // the debt the clerk agreed to pay beyond, when paid elsewhere meanwhile
    bool overlapAgreed = false;   // the bay's time the clerk agreed to share
    for (;;) {
        std::optional<DebtChanged> changed;
        std::optional<BayPlan::Overlap> overlap;
        const bool saved = TrySave(
            this, m_ctx.prompter(),
            [&] {
                try {
                    OrderStore(m_ctx.db()).Save(work, m_ctx.login(), agreed, m_stored, overlapAgreed);
                } catch (const DebtChanged &e) {
                    changed = e;
                } catch (const BayPlan::Overlap &e) {
                    overlap = e;
                }
            },
            [this] { Reload(); });
        if (!saved) return false;
        if (overlap) {
            if (!m_ctx.prompter().Confirm(overlap->Question())) {
                m_bay->setFocus();
                return false;
            }
            overlapAgreed = true;
            continue;
        }
        if (!changed) return true;
        if (!AgreeToOverpay(m_ctx.prompter(), *changed)) return false;
        agreed = changed->now();
    }
}

void COrderFormDlg::accept() {
    if (!CheckInput()) return;
    Order work = m_editor.Result();
    const bool wasNew = work.IsNew();
    if (!SaveOrder(work)) return;
    m_editor.Saved(work);
    if (wasNew && m_offersStorage) OfferTyreStorage(work);
    m_number->setText(work.ZakazNomer);
    QDialog::accept();
}

void COrderFormDlg::OfferTyreStorage(const Order &saved) {
    // A storage service of the catalogue: its name speaks of keeping tyres.
    const auto storage = [](const OrderLine &l) {
        return !l.deleted && l.name.contains(QStringLiteral("хранен"), Qt::CaseInsensitive);
    };
    const auto line = std::find_if(saved.lines.begin(), saved.lines.end(), storage);
    if (line == saved.lines.end() || !m_ctx.user().HasRight(Right::TyreTakeIn) ||
        !m_ctx.prompter().Confirm(
            QStringLiteral("В заказе есть услуга «%1».\nПринять комплект шин на хранение?").arg(line->name)))
        return;
    CTyreSetDlg card(m_ctx, {}, this);
    card.PresetCar(saved.IddAvto, saved.IddVlad);
    card.PresetOrder(saved.IddZakaz, line->price + line->price.Percent(line->prNds));
    m_ctx.dialogs().Run(card);
}

void COrderFormDlg::reject() {
    if (m_touched && !m_ctx.prompter().Confirm(QStringLiteral("Закрыть заказ без сохранения изменений?")))
        return;
    QDialog::reject();
}

bool RunOrderForm(const AppContext &ctx, OrderFormMode mode, QString &iddZakaz, QWidget *parent,
                  const QString &iddClient) {
    AppContext own = ctx;  // the screens take a context they may hand on
    COrderFormDlg form(own, mode, mode == OrderFormMode::Edit ? iddZakaz : QString(), parent);
    if (!form.Loaded()) return false;
    form.PresetClient(iddClient);
    if (own.dialogs().Run(form) != QDialog::Accepted) return false;
    iddZakaz = form.order().IddZakaz;
    return true;
}
