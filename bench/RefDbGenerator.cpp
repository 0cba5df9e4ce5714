#include "RefDbGenerator.h"

#include "Formats.h"
#include "KeyGen.h"
#include "RefDbWords.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <utility>

namespace {

using namespace RefDbWords;

const TableDef &TableNamed(const char *name) {
    for (const TableDef &t : Schema::Tables())
        if (std::strcmp(t.name, name) == 0) return t;
    throw std::runtime_error(std::string("the schema has no table ") + name);
}

}  // namespace

double RefDbGenerator::LineAmount(double count, double price, double nds) {
    // As the debt view sums it.
    return count * price + count * price * nds / 100;
}

RefDbSizes RefDbSizes::ForScale(double scale) {
    const auto n = [scale](double full) { return std::max(1, int(std::lround(full * scale))); };
    RefDbSizes s;
    s.orders = n(150000);
    s.lines = n(750000);
    s.lineWorkers = n(1000000);
    s.payments = n(200000);
    s.clients = n(30000);
    s.cars = n(35000);
    s.workers = 40;
    s.services = 220;
    return s;
}

RefDbGenerator::RefDbGenerator(double scale, std::uint64_t seed, double unpaid)
    : m_sizes(RefDbSizes::ForScale(scale)),
      m_unpaid(unpaid),
      m_state(seed * 0x9E3779B97F4A7C15ULL + 1),
      m_tyreState(seed * 0xD1B54A32D192ED03ULL + 0x7479726573ULL) {}

std::uint64_t RefDbGenerator::Next() {
    // splitmix64
    std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

int RefDbGenerator::Below(int n) {
    return n <= 1 ? 0 : int(Next() % std::uint64_t(n));
}

int RefDbGenerator::Between(int lo, int hi) {
    return lo + Below(hi - lo + 1);
}

double RefDbGenerator::Unit() {
    return double(Next() >> 11) / double(1ULL << 53);
}

bool RefDbGenerator::Chance(double p) {
    return Unit() < p;
}

QString RefDbGenerator::Digits(int n) {
    QString s;
    s.reserve(n);
    for (int i = 0; i < n; ++i) s += QChar(u'0' + Below(10));
    return s;
}

QString RefDbGenerator::Login() {
    // Most rows are entered at the cash desk.
    const int r = Below(10);
    return S(kLogins[r < 2 ? 0 : r < 6 ? 1 : r < 9 ? 2 : 3]);
}

QString RefDbGenerator::Key(const QString &login, const QDateTime &at, int suffix) {
    // The program's own key shape; the suffix keeps rows made in the same second apart.
    return KeyFromSerial(login, DateSerial(at)) + QString::number(suffix);
}

QDateTime RefDbGenerator::DayTime(const QDate &day, int fromHour, int toHour) {
    return QDateTime(day, QTime(Between(fromHour, toHour - 1), Between(0, 59), Between(0, 59)));
}

void RefDbGenerator::Emit(const char *table, std::initializer_list<Field> fields) {
    const TableDef &def = TableNamed(table);
    QVariantList values;
    values.reserve(qsizetype(def.columns.size()));
    for (const ColumnDef &c : def.columns) values << (c.type == ColType::Bool ? QVariant(false) : QVariant());
    for (const Field &f : fields) {
        qsizetype i = 0;
        while (i < qsizetype(def.columns.size()) && std::strcmp(def.columns[size_t(i)].name, f.column) != 0)
            ++i;
        if (i == qsizetype(def.columns.size()))
            throw std::runtime_error(std::string("the schema has no column ") + table + "." + f.column);
        values[i] = f.value;
    }
    m_sink->Put(def, std::move(values));
}

void RefDbGenerator::Run(RowSink &sink) {
    m_sink = &sink;
    m_counts = {};
    MakeUsersAndBays();
    MakeWorkers();
    MakeServices();
    sink.Checkpoint();
    MakeClients();
    MakeCars();
    sink.Checkpoint();
    MakeOrders();
    MakeSalaryAndCash();
    sink.Checkpoint();
    MakeTyreStorage();
    sink.Checkpoint();
    m_sink = nullptr;
}

void RefDbGenerator::MakeUsersAndBays() {
    const QDateTime at(FirstDay().addYears(-1), QTime(9, 0));
    const char *const rights[] = {"1111111111111111", "1111100110000000", "1111100110000000",
                                  "1000000000000000"};
    for (int i = 0; i < Count(kLogins); ++i)
        Emit("SUser", {{"IddUser", Key(QStringLiteral("admin"), at, i)},
                       {"Login", S(kLogins[i])},
                       {"Name", S(kLogins[i])},
                       {"Pass", QStringLiteral("1")},
                       {"Prova", S(rights[i])}});
    Emit("SUser", {{"IddUser", Key(QStringLiteral("admin"), at, 9)},
                   {"Login", QStringLiteral("old")},
                   {"Name", QStringLiteral("Уволенный кассир")},
                   {"Pass", QStringLiteral("1")},
                   {"Prova", S(rights[1])},
                   {"Delete", true}});
    m_bays.clear();
    for (int i = 1; i <= 5; ++i) {
        m_bays.push_back(Key(QStringLiteral("admin"), at, 100 + i));
        Emit("SBox", {{"IddBox", m_bays.back()},
                      {"NameBox", i == 5 ? QStringLiteral("Мойка") : QStringLiteral("Бокс %1").arg(i)},
                      {"PrimBox", QString()}});
    }
}

void RefDbGenerator::MakeWorkers() {
    const int days = int(FirstDay().daysTo(LastDay()));
    for (int i = 0; i < m_sizes.workers; ++i) {
        Worker w;
        // A dozen workers from before the period, the rest hired across it.
        w.hired =
            i < 12 ? FirstDay().addDays(-Between(30, 2000)) : FirstDay().addDays(qint64(i - 12) * days / 30);
        if (i % 3 == 1) {
            const qint64 from = std::max<qint64>(FirstDay().daysTo(w.hired) + 180, 0);
            if (from < days - 60) w.left = FirstDay().addDays(Between(int(from), days - 30));
        }
        w.fio = S(kSurnames[Below(Count(kSurnames))]) + u' ' + S(kFirstNames[Below(Count(kFirstNames))]) +
                u' ' + S(kPatronymics[Below(Count(kPatronymics))]);
        w.key = Key(QStringLiteral("admin"), QDateTime(w.hired, QTime(10, 0)), i);
        Emit("SWork",
             {{"IddWork", w.key},
              {"WorkFIO", w.fio},
              {"WorkAdres",
               QStringLiteral("ул. %1, д. %2").arg(S(kStreets[Below(Count(kStreets))])).arg(Between(1, 120))},
              {"WorkTel", QStringLiteral("+7 9%1").arg(Digits(9))},
              {"WorkDataIn", QDateTime(w.hired, QTime(0, 0))},
              {"WorkOut", w.left.isValid()},
              {"WorkDataOut", w.left.isValid() ? QVariant(QDateTime(w.left, QTime(0, 0))) : QVariant()},
              {"Delete", w.left.isValid() && i % 9 == 1}});
        m_workers.push_back(w);
    }
    m_counts.workers = int(m_workers.size());
}

std::vector<int> RefDbGenerator::ActiveWorkers(const QDate &day) const {
    std::vector<int> active;
    for (int i = 0; i < int(m_workers.size()); ++i) {
        const Worker &w = m_workers[size_t(i)];
        if (w.hired <= day && (!w.left.isValid() || day < w.left)) active.push_back(i);
    }
    if (active.size() < 3) {
        active.clear();
        for (int i = 0; i < int(m_workers.size()); ++i) active.push_back(i);
    }
    return active;
}

void RefDbGenerator::MakeServices() {
    const int days = int(FirstDay().daysTo(LastDay()));
    const QDateTime at(FirstDay().addYears(-1), QTime(12, 0));
    const int packages = Count(kPackageNames);
    const int standalone = Count(kServiceNames) * 2;
    const int inPackages = m_sizes.services - packages - standalone;  // 140 of 220
    int suffix = 0;
    const auto makeService = [&](const QString &top, const QString &name) {
        Service s;
        s.key = Key(QStringLiteral("admin"), at, suffix++);
        s.top = top;
        s.name = name;
        s.price = Between(3, 60) * 50;
        s.nds = Chance(0.85) ? 20 : 0;
        s.prJob = Chance(0.8);
        s.job = s.prJob ? Between(25, 50) : Between(2, 20) * 50;
        s.minutes = Between(1, 12) * 10;
        s.wash = name.startsWith(QStringLiteral("Мойка"));
        if (Chance(0.04)) s.deletedOn = FirstDay().addDays(Between(days / 4, days));
        m_services.push_back(s);
        return int(m_services.size()) - 1;
    };
    for (const char *packageName : kPackageNames) {
        Service pkg;
        pkg.key = Key(QStringLiteral("admin"), at, suffix++);
        pkg.top = QStringLiteral("0");
        pkg.name = S(packageName);
        m_services.push_back(pkg);
        m_packages.push_back(int(m_services.size()) - 1);
    }
    // Package sizes 5..9, summing to the number of services in packages.
    for (int p = 0, made = 0; p < packages; ++p) {
        const int size = p == packages - 1 ? inPackages - made : std::min(5 + p % 5, inPackages - made);
        for (int j = 0; j < size; ++j) {
            const int pkg = m_packages[size_t(p)];
            const QString name = m_services[size_t(pkg)].name + QStringLiteral(": ") +
                                 S(kPackageSteps[j % Count(kPackageSteps)]) +
                                 (j >= Count(kPackageSteps) ? QStringLiteral(" (доп.)") : QString());
            const int child = makeService(m_services[size_t(pkg)].key, name);
            m_services[size_t(pkg)].children.push_back(child);
        }
        made += size;
    }
    for (int i = 0; i < standalone; ++i)
        m_standalone.push_back(
            makeService(QStringLiteral("top"),
                        S(kServiceNames[i / 2]) + (i % 2 ? QStringLiteral(" (кроссовер)") : QString())));

    int linkSuffix = 0;
    for (const Service &s : m_services) {
        const bool package = s.top == u"0";
        Emit("SService", {{"IddService", s.key},
                          {"IddTop", s.top},
                          {"Name", s.name},
                          {"Price", s.price},
                          {"PrNDS", s.nds},
                          {"Summa", LineAmount(1, s.price, s.nds)},
                          {"Time", Formats::TimeOfDay(QTime(0, 0).addSecs(s.minutes * 60))},
                          {"PrJob", s.prJob},
                          {"Job", s.job},
                          {"Delete", s.deletedOn.isValid()}});
        if (package) continue;
        // Default performers; the links of dismissed workers are mostly removed.
        const int n = Between(1, 3);
        std::vector<int> chosen;
        while (int(chosen.size()) < n) {
            const int w = Below(int(m_workers.size()));
            if (std::find(chosen.begin(), chosen.end(), w) == chosen.end()) chosen.push_back(w);
        }
        for (int w : chosen)
            Emit("ServiceWork", {{"IddServiceWork", Key(QStringLiteral("admin"), at, 1000 + linkSuffix++)},
                                 {"IddService", s.key},
                                 {"IddWork", m_workers[size_t(w)].key},
                                 {"Delete", m_workers[size_t(w)].left.isValid() && Chance(0.7)}});
    }
    m_counts.services = int(m_services.size());
}

void RefDbGenerator::MakeClients() {
    const qint64 span = FirstDay().addYears(-1).daysTo(LastDay());
    for (int i = 0; i < m_sizes.clients; ++i) {
        const QDateTime at(FirstDay().addYears(-1).addDays(qint64(i) * span / m_sizes.clients), QTime(11, 0));
        const QString key = Key(Login(), at, i);
        const QString address = QStringLiteral("г. Москва, ул. %1, д. %2, кв. %3")
                                    .arg(S(kStreets[Below(Count(kStreets))]))
                                    .arg(Between(1, 150))
                                    .arg(Between(1, 300));
        const QString tel = QStringLiteral("+7 9%1").arg(Digits(9));
        if (Chance(0.2)) {
            const QString form = S(kCompanyForms[Below(Count(kCompanyForms))]);
            const QString root =
                S(kCompanyRoots[Below(Count(kCompanyRoots))]) + S(kCompanyRoots[Below(Count(kCompanyRoots))]);
            const QString name = form + QStringLiteral(" «") + root + QStringLiteral("»");
            const QString boss = S(kSurnames[Below(Count(kSurnames))]) + u' ' + S(kInitials[Below(16)]) +
                                 QStringLiteral(". ") + S(kInitials[Below(16)]) + u'.';
            Emit("SClient", {{"IddClient", key},
                             {"ClientName", name},
                             {"ClientFullName", name},
                             {"ClientINN", Digits(10) + u'/' + Digits(9)},
                             {"ClientAdres", address},
                             {"ClientAdresF", address},
                             {"ClientTel", tel},
                             {"ClientFaks", QString()},
                             {"ClientEmail", QStringLiteral("office%1@example.ru").arg(i)},
                             {"ClientOKHX", Digits(5)},
                             {"ClientOKPO", Digits(8)},
                             {"ClientBank", QStringLiteral("ПАО Сбербанк")},
                             {"ClientChet", QStringLiteral("40702810") + Digits(12)},
                             {"ClientKorChet", QStringLiteral("30101810400000000225")},
                             {"ClientBIK", QStringLiteral("044525225")},
                             {"ClientDirector", boss},
                             {"ClientByx", boss},
                             {"ClientContact", boss},
                             {"ClientPrim", QString()}});
        } else {
            // Most people come in through the order form, which stores only these three.
            QString surname = S(kSurnames[Below(Count(kSurnames))]);
            if (Chance(0.35)) surname += u'а';
            const QString name = surname + u' ' + S(kInitials[Below(16)]) + QStringLiteral(". ") +
                                 S(kInitials[Below(16)]) + u'.';
            if (Chance(0.7))
                Emit(
                    "SClient",
                    {{"IddClient", key}, {"ClientName", name}, {"ClientAdres", address}, {"ClientTel", tel}});
            else
                Emit("SClient", {{"IddClient", key},
                                 {"ClientName", name},
                                 {"ClientFullName", name},
                                 {"ClientINN", Chance(0.4) ? Digits(12) : QString()},
                                 {"ClientAdres", address},
                                 {"ClientTel", tel},
                                 {"ClientPrim", QString()}});
        }
        m_clients.push_back(key);
    }
    m_counts.clients = int(m_clients.size());
}

void RefDbGenerator::MakeCars() {
    const int clients = int(m_clients.size());
    const qint64 span = FirstDay().addYears(-1).daysTo(LastDay());
    const int days = int(FirstDay().daysTo(LastDay()));
    // Every client owns a car; the cars beyond that go to clients with a second or third car.
    std::vector<int> owners(static_cast<size_t>(clients));
    for (int i = 0; i < clients; ++i) owners[size_t(i)] = i;
    for (int i = clients - 1; i > 0; --i) std::swap(owners[size_t(i)], owners[size_t(Below(i + 1))]);
    int linkSuffix = 0;
    for (int i = 0; i < m_sizes.cars; ++i) {
        const QDateTime at(FirstDay().addYears(-1).addDays(qint64(i) * span / m_sizes.cars), QTime(11, 30));
        Car car;
        car.key = Key(Login(), at, i);
        car.owner = i < clients ? owners[size_t(i)] : Below(clients);
        if (Chance(0.06)) {  // sold on: the old owner's link is deleted
            car.previousOwner = Below(clients);
            car.changedHands = FirstDay().addDays(Between(0, days));
        }
        if (Chance(0.02)) car.coOwner = Below(clients);
        const QString plate = S(kPlateLetters[Below(12)]) + Digits(3) + S(kPlateLetters[Below(12)]) +
                              S(kPlateLetters[Below(12)]) + S(kRegions[Below(Count(kRegions))]);
        QString vin;
        static const char vinChars[] = "ABCDEFGHJKLMNPRSTUVWXYZ0123456789";
        for (int k = 0; k < 17; ++k) vin += QLatin1Char(vinChars[Below(int(sizeof vinChars) - 1)]);
        Emit("SAvto", {{"IddAvto", car.key},
                       {"AvtoNomer", plate},
                       {"AvtoMarka", S(kMakes[Below(Count(kMakes))])},
                       {"AvtoVin", vin},
                       {"AvtoDvig", vin.right(8)},
                       {"AvtoColor", S(kColors[Below(Count(kColors))])},
                       {"AvtoPrim", Chance(0.05) ? QStringLiteral("Постоянный клиент") : QString()}});
        const auto link = [&](int client, bool deleted) {
            Emit("AvtoVlad", {{"IddAvtoVlad", Key(Login(), at, linkSuffix++)},
                              {"IddAvto", car.key},
                              {"IddVlad", m_clients[size_t(client)]},
                              {"Delete", deleted}});
            ++m_counts.links;
        };
        if (car.previousOwner >= 0) link(car.previousOwner, true);
        link(car.owner, false);
        if (car.coOwner >= 0) link(car.coOwner, false);
        m_cars.push_back(car);
    }
    m_counts.cars = int(m_cars.size());
}
