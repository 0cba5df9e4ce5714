#include "OrderEditor.h"

#include "BayPlan.h"
#include "Formats.h"

#include <algorithm>

namespace {

// A stored moment that is really set (not the zero date-time an unset one is written as).
bool IsSet(const QDateTime &value) {
    return value.isValid() && value.date() > Formats::ZeroDateTime().date();
}

QDateTime ToMinute(const QDateTime &at) {
    return QDateTime(at.date(), QTime(at.time().hour(), at.time().minute()));
}

// A stored moment left alone is kept to the second; the pickers show only minutes.
QDateTime Take(const QDateTime &stored, bool picked, const QDateTime &shown) {
    return stored.isValid() && !picked ? stored : ToMinute(shown);
}

OrderLine LineFrom(const SelectedService &entry, const QString &top) {
    const ServiceRecord &s = entry.service;
    OrderLine line;
    static_cast<ServiceRecord &>(line) = s;  // the order keeps its own copy of the catalogue's record
    line.iddTop = top;
    line.deleted = false;
    if (!line.time.isValid()) line.time = QTime(0, 0);
    for (const PickedWorker &w : entry.performers)
        if (!w.deleted) line.workers << PickedWorker{QString(), w.iddWork, w.workFio, false};
    return line;
}

void MarkDeleted(OrderLine &line) {
    line.deleted = true;
    for (OrderLine &child : line.children) MarkDeleted(child);
}

// A service already on the order takes the quantity and the workers of the one added again.
void MergeRepeated(QList<OrderLine> &lines) {
    for (int i = 0; i < lines.size(); ++i) {
        if (lines[i].deleted) continue;
        for (int j = i + 1; j < lines.size();) {
            if (lines[j].deleted || lines[j].iddService != lines[i].iddService) {
                ++j;
                continue;
            }
            lines[i].count += lines[j].count;
            for (const PickedWorker &w : std::as_const(lines[j].workers)) {
                auto same = [&](const PickedWorker &x) { return x.iddWork == w.iddWork; };
                auto it = std::find_if(lines[i].workers.begin(), lines[i].workers.end(), same);
                if (it == lines[i].workers.end())
                    lines[i].workers << w;
                else if (!w.deleted)
                    it->deleted = false;
            }
            lines.removeAt(j);
        }
    }
}

}  // namespace

OrderEditor::OrderEditor(int openStatus, const QDateTime &now)
    : m_openStatus(openStatus), m_orderDate(now.date()), m_prelimAt(now), m_acceptAt(now), m_doneAt(now) {
    m_order.ZakazStatus = openStatus;
    m_ticks = {openStatus == StatusRequested, openStatus != StatusRequested, openStatus == StatusFinished};
    m_openTicks = m_ticks;
    ProposeDone();
}

OrderEditor::OrderEditor(const Order &stored, const QDateTime &now) : OrderEditor(stored.ZakazStatus, now) {
    m_order = stored;
    if (stored.ZakazData.isValid()) m_orderDate = stored.ZakazData.date();
    if (IsSet(stored.ZakazBegin)) m_storedAppointment = stored.ZakazBegin;
    if (IsSet(stored.ZakazBeginIn)) m_storedStart = stored.ZakazBeginIn;
    if (IsSet(stored.ZakazEndOut) && stored.ZakazStatus == StatusFinished) m_storedEnd = stored.ZakazEndOut;
    // Each picker shows its own stored moment; a requested order's acceptance starts from its appointment.
    const QDateTime accept = m_storedStart.isValid() ? m_storedStart : m_storedAppointment;
    if (accept.isValid()) m_acceptAt = accept;
    if (m_storedAppointment.isValid()) m_prelimAt = m_storedAppointment;
    if (m_storedEnd.isValid()) m_doneAt = m_storedEnd;
    if (!stored.IddBox.isEmpty() && stored.ZakazPlanEnd.isValid() && stored.ZakazBegin.isValid()) {
        m_storedPlanStart = stored.ZakazBegin;
        m_storedPlanEnd = stored.ZakazPlanEnd;
    }
    ProposeDone();
}

void OrderEditor::SetTicks(const Ticks &ticks) {
    m_ticks = ticks;
}

int OrderEditor::Status() const {
    int status = m_openStatus;
    // Applied in this order, so the last tick wins; a new order keeps its mode over "preliminary".
    if (m_ticks.preliminary && !IsNew()) status = StatusRequested;
    if (m_ticks.accepted) status = StatusStarted;
    if (m_ticks.finished) status = StatusFinished;
    return status;
}

void OrderEditor::PickAppointment(const QDateTime &at) {
    m_prelimAt = at;
    m_prelimPicked = true;
}

void OrderEditor::PickAccept(const QDateTime &at) {
    m_acceptAt = at;
    m_acceptPicked = true;
    ProposeDone();
}

void OrderEditor::PickDone(const QDateTime &at) {
    m_doneAt = at;
    m_donePicked = true;
}

void OrderEditor::ProposeDone() {
    // A stored completion stays as it was; otherwise it follows the work planned.
    if (m_storedEnd.isValid() || m_donePicked) return;
    m_doneAt = OrderMath::ProposedCompletion(m_acceptAt, Totals().durationSecs);
}

QDateTime OrderEditor::PlanStart() const {
    return Result().ZakazBegin;
}

QDateTime OrderEditor::PlanEndShown() const {
    return PlanEndFrom(PlanStart());
}

QDateTime OrderEditor::PlanEndFrom(const QDateTime &start) const {
    if (m_planEndPicked) return m_planEnd;
    if (m_storedPlanEnd.isValid()) return m_storedPlanEnd.addSecs(m_storedPlanStart.secsTo(start));
    return BayPlan::ProposedEnd(start, m_order.lines);
}

void OrderEditor::PickPlanEnd(const QDateTime &at) {
    m_planEnd = ToMinute(at);
    m_planEndPicked = true;
}

void OrderEditor::SetNumber(const QString &number) {
    if (!IsNew()) m_order.ZakazNomer = number.trimmed();
}

void OrderEditor::SetCar(const QString &iddAvto, const OrderCar &car) {
    m_order.IddAvto = iddAvto;
    m_order.car = {car.AvtoNomer.trimmed().toUpper(),
                   car.AvtoMarka.trimmed(),
                   car.AvtoVin.trimmed(),
                   car.AvtoDvig.trimmed(),
                   car.AvtoColor.trimmed(),
                   car.AvtoPrim.trimmed()};
}

void OrderEditor::SetClient(const QString &iddVlad, const OrderClient &client) {
    m_order.IddVlad = iddVlad;
    m_order.client = {client.ClientName.trimmed(), client.ClientAdres.trimmed(), client.ClientTel.trimmed()};
}

void OrderEditor::AddServices(const SelectedServices &services) {
    for (const SelectedService &s : services) {
        if (s.IsPackage()) {
            // The package's services hold the money; its header line holds none.
            OrderLine pkg = LineFrom(s, Group::kPackage);
            pkg.price = Money();
            pkg.prNds = 0;
            for (const SelectedService &c : s.children) pkg.children << LineFrom(c, s.service.iddService);
            m_order.lines << pkg;
        } else {
            m_order.lines << LineFrom(s, Group::kStandalone);
        }
    }
    MergeRepeated(m_order.lines);
    ProposeDone();
}

OrderLine *OrderEditor::LineAt(LinePos pos) {
    if (pos.top < 0 || pos.top >= m_order.lines.size()) return nullptr;
    OrderLine &line = m_order.lines[pos.top];
    if (pos.child < 0) return &line;
    return pos.child < line.children.size() ? &line.children[pos.child] : nullptr;
}

const OrderLine *OrderEditor::Line(LinePos pos) const {
    return const_cast<OrderEditor *>(this)->LineAt(pos);
}

void OrderEditor::RemoveLine(LinePos pos) {
    if (OrderLine *line = LineAt(pos)) MarkDeleted(*line);
    ProposeDone();
}

bool OrderEditor::SetQuantity(LinePos pos, double count) {
    OrderLine *line = LineAt(pos);
    if (!line || !(count > 0) || !QuantityWithinLimit(count)) return false;
    line->count = RoundQuantity(count);
    ProposeDone();
    return true;
}

void OrderEditor::SetWorkers(LinePos pos, const PickedWorkers &picked) {
    OrderLine *line = LineAt(pos);
    if (!line) return;
    for (PickedWorker &w : line->workers) {
        auto it = std::find_if(picked.begin(), picked.end(),
                               [&](const PickedWorker &p) { return p.iddWork == w.iddWork; });
        w.deleted = it == picked.end();
        if (it != picked.end()) w.workFio = it->workFio;
    }
    for (const PickedWorker &p : picked) {
        auto it = std::find_if(line->workers.begin(), line->workers.end(),
                               [&](const PickedWorker &w) { return w.iddWork == p.iddWork; });
        if (it == line->workers.end()) line->workers << PickedWorker{QString(), p.iddWork, p.workFio, false};
    }
}

void OrderEditor::ChangeLine(LinePos pos, const ServiceRecord &changed) {
    OrderLine *line = LineAt(pos);
    if (!line) return;
    if (!changed.name.isEmpty()) line->name = changed.name;
    line->price = changed.price;
    line->prNds = changed.prNds;
    line->job = changed.job;
    line->prJob = changed.prJob;
    line->time = changed.time.isValid() ? changed.time : QTime(0, 0);
    ProposeDone();
}

void OrderEditor::AddPayment(const PayRecord &pay) {
    m_order.payments << pay;
}

void OrderEditor::ReplacePayment(int index, const PayRecord &pay) {
    if (index >= 0 && index < m_order.payments.size()) m_order.payments[index] = pay;
}

void OrderEditor::RemovePayment(int index) {
    if (index >= 0 && index < m_order.payments.size()) m_order.payments[index].Delete = 1;
}

QList<int> OrderEditor::ShownPayments() const {
    QList<int> shown;
    for (int i = 0; i < m_order.payments.size(); ++i)
        if (!m_order.payments[i].Delete) shown << i;
    std::stable_sort(shown.begin(), shown.end(), [this](int a, int b) {
        return m_order.payments[a].DataPay > m_order.payments[b].DataPay;
    });
    return shown;
}

OrderEditor::Refusal OrderEditor::Check() const {
    if (m_order.car.AvtoNomer.isEmpty())
        return {Field::Plate, QStringLiteral("Укажите автомобиль!\nЗаполните гос номер автомобиля!")};
    if (m_order.client.ClientName.isEmpty())
        return {Field::Client, QStringLiteral("Укажите название клиента!")};
    // A package counts only through its live services: its own line carries no work.
    const auto live = [](const OrderLine &l) { return !l.deleted; };
    const bool anyLine = std::any_of(m_order.lines.begin(), m_order.lines.end(), [&](const OrderLine &l) {
        if (!live(l)) return false;
        if (!l.IsPackage()) return true;
        return std::any_of(l.children.begin(), l.children.end(), live);
    });
    if (!anyLine) return {Field::Lines, QStringLiteral("Добавьте предоставляемые услуги!")};
    if (!Totals().total.WithinLimit())
        return {Field::Lines,
                QStringLiteral("Сумма заказа не может быть больше %1.\nУменьшите количество или "
                               "цену: ничего не сохранено.")
                    .arg(MoneyLimitText())};
    if (!IsNew() && m_order.ZakazNomer.isEmpty())
        return {Field::Number, QStringLiteral("Укажите номер заказа!")};
    const Order result = Result();
    if (m_ticks.finished && result.ZakazEndOut < result.ZakazBeginIn)
        return {Field::Done, QStringLiteral("Окончание работ не может быть раньше начала работ!\nИсправьте "
                                            "дату и время окончания работ.")};
    if (!result.IddBox.isEmpty())
        if (QString wrong = BayPlan::CheckSpan(result.ZakazBegin, result.ZakazPlanEnd); !wrong.isEmpty())
            return {Field::PlanEnd, wrong};
    return {};
}

Order OrderEditor::Result() const {
    Order work = m_order;
    work.ZakazStatus = Status();
    const QDateTime accepted =
        Take(m_storedStart.isValid() ? m_storedStart : m_storedAppointment, m_acceptPicked, m_acceptAt);
    work.ZakazData = QDateTime(m_orderDate, QTime(0, 0));
    // A stored order keeps its appointment unless the clerk moves its acceptance.
    const bool keepAppointment = !IsNew() && m_storedAppointment.isValid() && !m_acceptPicked;
    work.ZakazBegin = keepAppointment ? m_storedAppointment : accepted;
    if (work.ZakazStatus == StatusStarted || work.ZakazStatus == StatusFinished) work.ZakazBeginIn = accepted;
    if (m_ticks.preliminary) work.ZakazBegin = Take(m_storedAppointment, m_prelimPicked, m_prelimAt);
    if (m_ticks.finished) work.ZakazEndOut = Take(m_storedEnd, m_donePicked, m_doneAt);
    work.Delete = 0;
    work.ZakazPlanEnd = work.IddBox.isEmpty() ? QDateTime() : PlanEndFrom(work.ZakazBegin);
    return work;
}
