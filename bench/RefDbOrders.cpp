// The reference database's orders, with their lines, workers, payments and plans on the bays; the salary
// payouts and other cash operations; and the tyre storage.
#include "RefDbGenerator.h"

#include "Formats.h"
#include "KeyGen.h"
#include "RefDbWords.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

using namespace RefDbWords;

// A moment as seconds from the first day's midnight, the clock's own reading: no time zone moves it.
qint64 SecondsIn(const QDateTime &at) {
    return RefDbGenerator::FirstDay().daysTo(at.date()) * 86400 + at.time().msecsSinceStartOfDay() / 1000;
}

// The months a shop changes tyres: spring (summer tyres on, the winter set left) and autumn.
bool ChangeMonth(const QDate &day) {
    const int m = day.month();
    return (m >= 3 && m <= 5) || (m >= 9 && m <= 11);
}

}  // namespace

void RefDbGenerator::EmitLine(OrderDraft &o, const Service &s, const QString &top) {
    const bool header = top == u"0";
    const double count = header ? 1 : (Chance(0.15) ? Between(2, 4) : 1);
    const double price = header ? 0 : std::round(s.price * (0.65 + 0.35 * o.growth));
    const double nds = header ? 0 : s.nds;
    const bool deleted = !header && Chance(0.02);
    Emit("TService", {{"IddZakaz", o.key},
                      {"IddService", s.key},
                      {"IddTop", top},
                      {"Count", count},
                      {"Name", s.name},
                      {"Price", price},
                      {"PrNDS", nds},
                      {"Summa", 0.0},
                      {"Time", Formats::TimeOfDay(QTime(0, 0).addSecs(s.minutes * 60))},
                      {"PrJob", header ? false : s.prJob},
                      {"Job", header ? 0.0 : s.job},
                      {"Delete", deleted}});
    --m_budget.linesLeft;
    ++m_counts.lines;
    if (header) {
        ++m_budget.headers;
        return;
    }
    if (!deleted) {
        o.total += LineAmount(count, price, nds);
        o.vat += count * price * nds / 100;
        o.minutes += s.minutes;
        if (s.wash) o.washMinutes += s.minutes;
    }
    // One to three workers, as many on average as the remaining budget asks for.
    const double mean = std::clamp(
        m_budget.workersLeft / std::max(1.0, m_budget.linesLeft * (1 - o.headerShare) + 1), 1.0, 2.6);
    const double p3 = mean <= 2 ? 0.1 * (mean - 1) : mean - 2;
    const double p2 = mean <= 2 ? (mean - 1) - 2 * p3 : 1 - p3;
    const double r = Unit();
    const int k = std::min(int(o.active.size()), r < p3 ? 3 : r < p3 + p2 ? 2 : 1);
    std::vector<int> chosen;
    while (int(chosen.size()) < k) {
        const int w = o.active[size_t(Below(int(o.active.size())))];
        if (std::find(chosen.begin(), chosen.end(), w) == chosen.end()) chosen.push_back(w);
    }
    for (int w : chosen) {
        Emit("TWork", {{"IddZakaz", o.key},
                       {"IddService", s.key},
                       {"IddWork", m_workers[size_t(w)].key},
                       {"WorkFIO", m_workers[size_t(w)].fio},
                       {"Delete", Chance(0.02)}});
        --m_budget.workersLeft;
        ++m_counts.lineWorkers;
    }
}

void RefDbGenerator::EmitLines(OrderDraft &o, int ordersLeft) {
    // A package (its header and its services) and standalone services, about as many as the remaining
    // budget asks for.
    const double expected = double(m_budget.linesLeft) / ordersLeft;
    int want = std::clamp(int(std::lround(expected * (0.4 + 1.2 * Unit()))), 1, 14);
    o.active = ActiveWorkers(o.day);
    o.headerShare =
        m_budget.headers > 0 ? double(m_budget.headers) / (m_sizes.lines - m_budget.linesLeft) : 0.07;
    const auto offered = [&](int s) {
        const QDate &gone = m_services[size_t(s)].deletedOn;
        return !gone.isValid() || o.day < gone;
    };
    if (want >= 4 && Chance(0.6)) {
        const Service &pkg = m_services[size_t(Pick(m_packages))];
        EmitLine(o, pkg, QStringLiteral("0"));
        --want;
        for (int c : pkg.children)
            if (offered(c)) {
                EmitLine(o, m_services[size_t(c)], pkg.key);
                --want;
            }
    }
    std::vector<int> picked;
    for (int tries = 0; want > 0 && tries < 100; ++tries) {
        const int s = Pick(m_standalone);
        if (!offered(s) || std::find(picked.begin(), picked.end(), s) != picked.end()) continue;
        picked.push_back(s);
        EmitLine(o, m_services[size_t(s)], QStringLiteral("top"));
        --want;
    }
}

void RefDbGenerator::EmitPayments(const OrderDraft &o, int ordersLeft) {
    // Most orders paid in full (some in two parts); of the share left owing, five in six part-paid and the
    // rest unpaid.
    int paySuffix = 0;
    const auto pay = [&](double amount, const QDateTime &at, bool deleted) {
        Emit("TPay", {{"IddPay", Key(o.login, at, o.index * 10 + paySuffix++)},
                      {"IddZakaz", o.key},
                      {"TypePay", 0},
                      {"NaznPay", QStringLiteral("Оплата услуг")},
                      {"NomerPay", QString::number(NewPayNumber())},
                      {"DataPay", at},
                      {"SummaPay", amount},
                      {"DocPay", QStringLiteral("Кассовый чек")},
                      {"PrimPay", QString()},
                      {"Delete", deleted}});
        --m_budget.payRowsLeft;
        ++m_counts.payments;
    };
    const double partPaid = m_unpaid * 5 / 6;
    const double extra = m_budget.payRowsLeft - (1 - m_unpaid / 6) * ordersLeft;
    const double twoParts = std::clamp(extra / ((0.98 - m_unpaid) * ordersLeft), 0.0, 1.0);
    if (o.status == 2 && o.total > 0) {
        const double r = Unit();
        if (r < partPaid) {
            pay(std::floor(o.total * (0.3 + 0.5 * Unit())), o.done, false);
        } else if (r >= m_unpaid) {
            if (Chance(twoParts)) {
                const double first = std::round(o.total * (0.3 + 0.4 * Unit()));
                pay(first, o.begin, false);
                pay(o.total - first, o.done, false);
            } else {
                pay(o.total, o.done, false);
            }
        }
        if (Chance(0.01)) pay(std::round(o.total), o.done.addSecs(60), true);  // entered by mistake, removed
    } else if (o.status == 1 && o.total > 0 && Chance(0.2)) {
        pay(std::round(o.total * 0.5), o.begin, false);
    }
}

void RefDbGenerator::MakeOrders() {
    const int n = m_sizes.orders;
    const int days = int(FirstDay().daysTo(LastDay())) + 1;
    const int salaryRows = 2 * 12 * 10;
    const int otherCash = int(std::lround(0.06 * m_sizes.payments));
    m_orderPayRowsTarget = std::max(n / 2, m_sizes.payments - salaryRows - otherCash);
    m_budget = {m_sizes.lines, m_sizes.lineWorkers, m_orderPayRowsTarget, 0};
    const int requestedFrom = n - std::max(1, n / 500);
    const int regulars = std::max(1, int(m_cars.size()) / 10);
    // A fleet client: every stride-th order (about 500 at full scale, a twentieth of a small database)
    // is for the first client's own car, so the client card has a client with many orders to show.
    const int fleetOrders = std::min(500, std::max(1, n / 20));
    const int fleetStride = std::max(1, n / fleetOrders);
    size_t fleetCar = 0;
    while (fleetCar + 1 < m_cars.size() && m_cars[fleetCar].owner != 0) ++fleetCar;
    m_plans.assign(m_bays.size(), {});

    for (int i = 0; i < n; ++i) {
        const int ordersLeft = n - i;
        OrderDraft o;
        o.index = i;
        // The shop grows: twice as many orders a day at the end as at the start.
        const double u = (i + 0.5) / n;
        o.growth = std::sqrt(1 + 3 * u) - 1;
        o.day = FirstDay().addDays(std::min(days - 1, int(o.growth * days)));
        o.begin = DayTime(o.day, 8, 20);
        o.login = Login();
        o.key = Key(o.login, o.begin, i);

        o.status = 2;
        if (i >= requestedFrom)
            o.status = 0;
        else if (o.day.daysTo(LastDay()) < 3 || Chance(0.003))
            o.status = 1;

        const Car *drawn = &m_cars[size_t(Chance(0.25) ? Below(regulars) : Below(int(m_cars.size())))];
        int client = drawn->owner;
        if (drawn->previousOwner >= 0 && o.day < drawn->changedHands)
            client = drawn->previousOwner;
        else if (drawn->coOwner >= 0 && Chance(0.3))
            client = drawn->coOwner;
        // Chosen after the draws above, so the other orders stay as they were.
        if (i % fleetStride == fleetStride / 2 && i / fleetStride < fleetOrders) {
            drawn = &m_cars[fleetCar];
            client = drawn->owner;
        }
        const Car &car = *drawn;

        EmitLines(o, ordersLeft);

        const QDateTime appointment =
            o.status == 0 ? QDateTime(LastDay().addDays(Between(1, 10)), QTime(Between(9, 18), 0)) : o.begin;
        o.done = o.begin.addSecs(qint64(std::max(20, o.minutes)) * 60);
        // Planned on a bay from the appointment (or the start of work) for as long as the services take.
        const QDateTime planEnd = appointment.addSecs(qint64(std::max(15, o.minutes)) * 60);
        const int bay =
            PlanBay({SecondsIn(appointment), SecondsIn(planEnd)}, 2 * o.washMinutes > o.minutes, o.day, i);
        Emit("TZakaz", {{"IddZakaz", o.key},
                        {"ZakazNomer", QString::number(i + 1)},
                        {"ZakazData", QDateTime(o.day, QTime(0, 0))},
                        {"ZakazBegin", appointment},
                        {"ZakazBeginIn", o.status >= 1 ? QVariant(o.begin) : QVariant()},
                        {"ZakazEndOut", o.status == 2 ? QVariant(o.done) : QVariant()},
                        {"IddAvto", car.key},
                        {"IddVlad", m_clients[size_t(client)]},
                        {"ZakazStatus", o.status},
                        {"Delete", false},
                        {"ZakazSumma", o.total},
                        {"ZakazSummaNDS", o.vat},
                        {"IddBox", m_bays[size_t(bay)]},
                        {"ZakazPlanEnd", planEnd}});
        ++m_counts.orders;
        m_counts.lastOrderNumber = i + 1;
        if (o.status >= 1 && ChangeMonth(o.day))
            m_visits.push_back({int(drawn - m_cars.data()), client, o.key, o.login, o.begin});

        EmitPayments(o, ordersLeft);
        if ((i + 1) % 5000 == 0) m_sink->Checkpoint();
    }
}

int RefDbGenerator::PlanBay(const Plan &plan, bool wash, const QDate &today, int index) {
    // The orders come day by day, so a plan over before today's midnight meets none of those to come.
    const qint64 midnight = SecondsIn(QDateTime(today, QTime(0, 0)));
    const int bays = int(m_plans.size()), washBay = bays - 1;
    std::vector<qint64> shared(size_t(bays), 0);
    for (int b = 0; b < bays; ++b) {
        std::vector<Plan> &plans = m_plans[size_t(b)];
        std::erase_if(plans, [&](const Plan &p) { return p.end <= midnight; });
        for (const Plan &p : plans)
            shared[size_t(b)] +=
                std::max<qint64>(0, std::min(plan.end, p.end) - std::max(plan.start, p.start));
    }
    // The bays tried in turn: a wash's the wash bay first, the rest the others first, from another one each
    // time, so that a quiet day's orders spread over them all.
    std::vector<int> tried;
    if (wash) tried.push_back(washBay);
    for (int k = 0; k < washBay; ++k) tried.push_back((index + k) % washBay);
    if (!wash) tried.push_back(washBay);
    int chosen = -1;
    for (const int b : tried)
        if (chosen < 0 && shared[size_t(b)] == 0) chosen = b;
    if (chosen < 0) chosen = int(std::min_element(shared.begin(), shared.end()) - shared.begin());
    m_plans[size_t(chosen)].push_back(plan);
    return chosen;
}

void RefDbGenerator::MakeSalaryAndCash() {
    // Salary twice a month to every worker on the staff that day.
    int suffix = 0;
    for (QDate month(FirstDay().year(), FirstDay().month(), 1); month <= LastDay();
         month = month.addMonths(1)) {
        for (const int dayOfMonth : {5, 20}) {
            const QDate day(month.year(), month.month(), dayOfMonth);
            if (day < FirstDay() || day > LastDay()) continue;
            const QDateTime at(day, QTime(18, 0));
            const QString payKey = Key(QStringLiteral("admin"), at, 90000000 + suffix++);
            const int statement = ++m_counts.lastSalaryNumber;
            double sum = 0;
            int line = 0;
            for (int w : ActiveWorkers(day)) {
                const double amount = Between(150, 450) * 100;
                sum += amount;
                Emit("TWorkPay", {{"IddWorkPay", payKey + u'_' + QString::number(line++)},
                                  {"IddPay", payKey},
                                  {"IddWork", m_workers[size_t(w)].key},
                                  {"SummaWorkPay", amount},
                                  {"DeleteWorkPay", false}});
            }
            Emit("TPay", {{"IddPay", payKey},
                          {"IddZakaz", QStringLiteral("0")},
                          {"TypePay", 1},
                          {"NaznPay", QStringLiteral("Выплата зарплаты")},
                          {"NomerPay", QString::number(NewOutPayNumber())},
                          {"DataPay", at},
                          {"SummaPay", -sum},
                          {"DocPay", QStringLiteral("Ведомость %1").arg(statement)},
                          {"PrimPay", QString()},
                          {"Delete", false}});
            ++m_counts.payments;
            ++m_counts.salaryRows;
        }
    }
    // Other cash operations and client account deposits, spread evenly over the period.
    const int rest = std::max(0, m_sizes.payments - m_counts.payments);
    const int days = int(FirstDay().daysTo(LastDay()));
    for (int i = 0; i < rest; ++i) {
        const QDateTime at = DayTime(FirstDay().addDays(qint64(i) * days / std::max(1, rest)), 9, 21);
        const QString key = Key(QStringLiteral("kassa1"), at, 80000000 + i);
        if (i % 6 == 5) {
            Emit("TPay", {{"IddPay", key},
                          {"IddZakaz", Pick(m_clients)},
                          {"TypePay", 2},
                          {"NaznPay", QStringLiteral("Пополнение счёта клиента")},
                          {"NomerPay", QString::number(NewPayNumber())},
                          {"DataPay", at},
                          {"SummaPay", double(Between(10, 200) * 100)},
                          {"DocPay", QStringLiteral("Кассовый чек")},
                          {"PrimPay", QString()},
                          {"Delete", false}});
        } else {
            const bool out = Chance(0.7);
            Emit("TPay", {{"IddPay", key},
                          {"IddZakaz", QStringLiteral("0")},
                          {"TypePay", 5},
                          {"NaznPay", out ? S(kCashArticlesOut[Below(3)]) : S(kCashArticlesIn[Below(2)])},
                          {"NomerPay", QString::number(out ? NewOutPayNumber() : NewPayNumber())},
                          {"DataPay", at},
                          {"SummaPay", double(Between(5, 300) * 100) * (out ? -1 : 1)},
                          {"DocPay", QString()},
                          {"PrimPay", QString()},
                          {"Delete", Chance(0.01)}});
        }
        ++m_counts.payments;
    }
}

void RefDbGenerator::MakeTyreStorage() {
    const std::uint64_t mainState = std::exchange(m_state, m_tyreState);
    // The storage: racks of five shelves of ten cells, a set a cell; a larger shop has more racks.
    const int racks = std::clamp(int(std::lround(m_sizes.cars / 3500.0)), 4, Count(kRacks));
    struct Place {
        QString key;
        QDate freeFrom;  // when the set kept there is fetched
    };
    std::vector<Place> places;
    const QDateTime at(FirstDay().addYears(-1), QTime(9, 30));
    for (int r = 0; r < racks; ++r)
        for (int shelf = 1; shelf <= 5; ++shelf)
            for (int cell = 1; cell <= 10; ++cell) {
                places.push_back({Key(QStringLiteral("admin"), at, 200 + int(places.size())), FirstDay()});
                Emit("SPlace", {{"IddPlace", places.back().key},
                                {"Rack", S(kRacks[r])},
                                {"Shelf", QString::number(shelf)},
                                {"Cell", QString::number(cell)},
                                {"Capacity", 1},
                                {"PrimPlace", QString()},
                                {"Delete", false}});
            }
    m_counts.places = int(places.size());

    // A tenth of the cars, each on tyres of its own size.
    const int cars = int(m_cars.size());
    std::vector<int> shuffled(static_cast<size_t>(cars));
    for (int i = 0; i < cars; ++i) shuffled[size_t(i)] = i;
    std::vector<int> size(static_cast<size_t>(cars), -1);
    for (int k = 0; k < std::max(1, cars / 10); ++k) {
        const int pick = k + Below(cars - k);
        std::swap(shuffled[size_t(k)], shuffled[size_t(pick)]);
        size[size_t(shuffled[size_t(k)])] = Below(Count(kTyreSizes));
    }
    // Until when each car's set is kept (one fetched after the last day, for ever).
    const QDate never = LastDay().addYears(100);
    std::vector<QDate> keptUntil(static_cast<size_t>(cars), FirstDay());
    QDate codeDay;
    int codeNumber = 0, index = 0;
    // The visits come day by day: each set takes the first free place by rack, shelf and cell, as the take-in
    // proposes, and a set finds none when the storage is full.
    for (const Visit &v : m_visits) {
        const QDate day = v.at.date();
        if (size[size_t(v.car)] < 0 || keptUntil[size_t(v.car)] > day) continue;
        const auto free =
            std::find_if(places.begin(), places.end(), [&](const Place &p) { return p.freeFrom <= day; });
        if (free == places.end()) {
            ++m_counts.tyresTurnedAway;
            continue;
        }
        // Most sets are fetched at the next season's change, a few months late (and paid for then): those
        // still kept at the last day are overdue.
        QDate out = day.addMonths(6).addDays(Chance(0.03) ? Between(30, 300) : Between(-10, 25));
        if (out > LastDay()) out = QDate();
        // The labels' code: the day and the set's number that day, a deleted card's number included.
        if (day != codeDay) codeDay = day, codeNumber = 0;
        const auto code = [&] {
            return day.toString(QStringLiteral("yyMMdd")) + u'-' + QString::number(++codeNumber);
        };
        if (Chance(0.01))  // a card typed wrong and deleted, the set taken in again on another
            EmitTyreSet(v, free->key, code(), index++, size[size_t(v.car)], QDate(), true);
        EmitTyreSet(v, free->key, code(), index++, size[size_t(v.car)], out, false);
        ++m_counts.tyreSets;
        if (!out.isValid()) ++m_counts.tyresKept;
        free->freeFrom = keptUntil[size_t(v.car)] = out.isValid() ? out : never;
    }
    m_tyreState = std::exchange(m_state, mainState);
}

void RefDbGenerator::EmitTyreSet(const Visit &v, const QString &place, const QString &code, int index,
                                 int size, const QDate &out, bool deleted) {
    const QDate day = v.at.date();
    // Autumn leaves the summer set, spring the winter one; now and then an all-season set is kept too.
    const bool allSeason = Chance(0.05);
    const int season = allSeason ? 2 : day.month() >= 9 ? 0 : 1;
    QString maker, model;
    if (allSeason) {
        const auto &m = kAllSeasonModels[Below(Count(kAllSeasonModels))];
        maker = S(m[0]), model = S(m[1]);
    } else {
        const TyreModel &m = kTyreModels[Below(Count(kTyreModels))];
        maker = S(m.maker), model = S(season == 0 ? m.summer : m.winter);
    }
    const int count = Chance(0.04) ? 2 : 4;
    QStringList tread;
    for (int k = 0; k < count; ++k) tread << QString::number(Between(30, 95) / 10.0, 'f', 1);
    const bool rims = Chance(0.4);
    // A season's fee rises over the years from 1500 to 2700 roubles, 300 more with rims.
    const double growth = double(FirstDay().daysTo(day)) / double(FirstDay().daysTo(LastDay()));
    const double fee = 1500 + 100 * double(std::lround(12 * growth)) + (rims ? 300 : 0);
    const auto midnight = [](const QDate &d) { return QDateTime(d, QTime(0, 0)); };
    Emit("TTyre", {{"IddTyre", Key(v.login, v.at, 70000000 + index)},
                   {"IddClient", m_clients[size_t(v.client)]},
                   {"IddAvto", m_cars[size_t(v.car)].key},
                   {"Season", season},
                   {"Maker", maker},
                   {"Model", model},
                   {"Size", S(kTyreSizes[size])},
                   {"Count", count},
                   {"Rims", rims},
                   {"Tread", tread.join(QStringLiteral("; "))},
                   {"Damage", Chance(0.08) ? S(kTyreDamages[Below(Count(kTyreDamages))]) : QString()},
                   {"IddPlace", place},
                   {"DateIn", midnight(day)},
                   {"PaidUntil", midnight(day.addMonths(6))},
                   {"DateOut", out.isValid() ? QVariant(midnight(out)) : QVariant()},
                   {"IddZakaz", v.order},
                   {"Fee", fee},
                   {"Code", code},
                   {"Delete", deleted}});
}
