#include "TyreStore.h"

#include "ChangedMeanwhile.h"
#include "Database.h"
#include "DynamicRecordset.h"
#include "Formats.h"
#include "KeyGen.h"
#include "Rows.h"

#include <QCollator>
#include <QLocale>
#include <QStringList>
#include <algorithm>

namespace {

const QString kSets = QStringLiteral("TTyre");
const QString kPlaces = QStringLiteral("SPlace");

QDateTime Day(const QDate &d) {
    return d.isValid() ? QDateTime(d, QTime(0, 0)) : QDateTime();
}

// The card's columns, as a take-in and an update write them.
Values CardValues(const TyreSet &s) {
    return {{QStringLiteral("IddClient"), s.iddClient},
            {QStringLiteral("IddAvto"), s.iddAvto},
            {QStringLiteral("Season"), int(s.season)},
            {QStringLiteral("Maker"), s.maker},
            {QStringLiteral("Model"), s.model},
            {QStringLiteral("Size"), s.size},
            {QStringLiteral("Count"), s.count},
            {QStringLiteral("Rims"), s.rims},
            {QStringLiteral("Tread"), s.TreadText()},
            {QStringLiteral("Damage"), s.damage},
            {QStringLiteral("IddPlace"), s.iddPlace},
            {QStringLiteral("DateIn"), Day(s.dateIn)},
            {QStringLiteral("PaidUntil"), Day(s.paidUntil)},
            {QStringLiteral("IddZakaz"), s.iddZakaz},
            {QStringLiteral("Fee"), s.fee.ToDouble()}};
}

// What the card must hold before anything is written.
void Check(const TyreSet &s) {
    const auto refuse = [](const QString &text, const char *field) {
        throw DbError(text + QStringLiteral("\nНичего не сохранено."), QString::fromLatin1(field));
    };
    if (s.iddClient.isEmpty())
        refuse(QStringLiteral("Укажите клиента, чьи шины принимаются."), "TTyre.IddClient");
    if (s.iddAvto.isEmpty()) refuse(QStringLiteral("Укажите автомобиль клиента."), "TTyre.IddAvto");
    if (s.count < 1 || s.count > 8)
        refuse(QStringLiteral("В комплекте может быть от 1 до 8 шин."), "TTyre.Count");
    if (s.tread.size() > s.count)
        refuse(QStringLiteral("Глубина протектора указана для %1 шин, а в комплекте их %2.")
                   .arg(s.tread.size())
                   .arg(s.count),
               "TTyre.Tread");
    for (double d : s.tread)
        if (!(d >= 0 && d <= 30))
            refuse(QStringLiteral("Глубина протектора должна быть от 0 до 30 мм."), "TTyre.Tread");
    if (s.iddPlace.isEmpty()) refuse(QStringLiteral("Укажите место хранения."), "TTyre.IddPlace");
    if (s.dateIn.isValid() && s.paidUntil.isValid() && s.paidUntil < s.dateIn)
        refuse(QStringLiteral("Оплаченный срок не может кончаться раньше дня приёма."), "TTyre.PaidUntil");
    if (s.fee < Money() || !s.fee.WithinLimit())
        refuse(QStringLiteral("Плата за сезон должна быть от 0 до %1.").arg(MoneyLimitText()), "TTyre.Fee");
}

}  // namespace

QString SeasonText(TyreSeason season) {
    switch (season) {
        case TyreSeason::Summer:
            return QStringLiteral("летние");
        case TyreSeason::Winter:
            return QStringLiteral("зимние");
        case TyreSeason::AllSeason:
            return QStringLiteral("всесезонные");
    }
    return {};
}

QString StoragePlace::Text() const {
    QStringList parts;
    if (!rack.isEmpty()) parts << QStringLiteral("стеллаж ") + rack;
    if (!shelf.isEmpty()) parts << QStringLiteral("полка ") + shelf;
    if (!cell.isEmpty()) parts << QStringLiteral("ячейка ") + cell;
    QString text = parts.join(QStringLiteral(", "));
    if (!text.isEmpty()) text[0] = text[0].toUpper();
    return text;
}

QString TyreSet::Description() const {
    QStringList parts{QStringLiteral("%1 шт.").arg(count)};
    if (!size.isEmpty()) parts << size;
    const QString name = QStringList{maker, model}.join(u' ').trimmed();
    if (!name.isEmpty()) parts << name;
    parts << SeasonText(season) << (rims ? QStringLiteral("с дисками") : QStringLiteral("без дисков"));
    return parts.join(QStringLiteral(", "));
}

QString TyreSet::TreadText() const {
    QStringList depths;
    for (double d : tread) depths << QString::number(d, 'f', 1);
    return depths.join(QStringLiteral("; "));
}

int SeasonsOverdue(const QDate &paidUntil, const QDate &day) {
    if (!paidUntil.isValid() || !day.isValid() || day <= paidUntil) return 0;
    int seasons = 0;
    for (QDate d = paidUntil; d < day; d = d.addMonths(kSeasonMonths)) ++seasons;
    return seasons;
}

QList<StoragePlace> TyreStore::Places() {
    CDynamicRecordset rs(m_db);
    rs.Open(QStringLiteral(
        "SELECT p.IddPlace, p.Rack, p.Shelf, p.Cell, p.Capacity, p.PrimPlace, (SELECT COUNT(*) FROM TTyre t "
        "WHERE t.IddPlace = p.IddPlace AND t.DateOut IS NULL AND t.[Delete] = FALSE) AS Occupied FROM SPlace "
        "p "
        "WHERE p.[Delete] = FALSE ORDER BY p.Rack, p.Shelf, p.Cell, p.IddPlace"));
    QList<StoragePlace> places;
    for (; !rs.IsEOF(); rs.MoveNext())
        places.append({rs.Field(0).AsText(), rs.Field(1).AsText(), rs.Field(2).AsText(), rs.Field(3).AsText(),
                       int(rs.Field(4).AsLong()), rs.Field(5).AsText(), false, int(rs.Field(6).AsLong())});
    // As a clerk reads the racks: cell 2 before cell 10, letters in any case alike.
    QCollator order{QLocale(QLocale::Russian)};
    order.setNumericMode(true);
    order.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(places.begin(), places.end(), [&](const StoragePlace &a, const StoragePlace &b) {
        for (auto [x, y] : {std::pair{&a.rack, &b.rack}, {&a.shelf, &b.shelf}, {&a.cell, &b.cell}})
            if (const int c = order.compare(*x, *y); c != 0) return c < 0;
        return false;
    });
    return places;
}

QString TyreStore::SavePlace(StoragePlace place, const QString &login) {
    if (place.cell.trimmed().isEmpty() && place.shelf.trimmed().isEmpty() && place.rack.trimmed().isEmpty())
        throw DbError(QStringLiteral("Укажите стеллаж, полку или ячейку.\nНичего не сохранено."),
                      QStringLiteral("SPlace.Cell"));
    if (place.capacity < 1)
        throw DbError(QStringLiteral("Вместимость места — не меньше одного комплекта.\nНичего не сохранено."),
                      QStringLiteral("SPlace.Capacity"));
    Transaction tx(m_db);
    if (!place.iddPlace.isEmpty()) {
        ClaimPlace(place.iddPlace, {}, 0);
        const int kept = Occupied(place.iddPlace, {});
        if (place.capacity < kept)
            throw DbError(QStringLiteral("Здесь хранится комплектов: %1 — вместимость не может быть меньше.\n"
                                         "Ничего не сохранено.")
                              .arg(kept),
                          QStringLiteral("SPlace.Capacity"));
    }
    Rows::Store(m_db, kPlaces, QStringLiteral("IddPlace"), place.iddPlace,
                {{QStringLiteral("Rack"), place.rack.trimmed()},
                 {QStringLiteral("Shelf"), place.shelf.trimmed()},
                 {QStringLiteral("Cell"), place.cell.trimmed()},
                 {QStringLiteral("Capacity"), place.capacity},
                 {QStringLiteral("PrimPlace"), place.note.trimmed()},
                 {QStringLiteral("Delete"), false}},
                [&] { return NewKey(login); });
    tx.Commit();
    return place.iddPlace;
}

std::optional<StoragePlace> TyreStore::FirstFree(const QList<StoragePlace> &places) {
    for (const StoragePlace &p : places)
        if (p.Free() > 0) return p;
    return std::nullopt;
}

int TyreStore::Occupied(const QString &iddPlace, const QString &except) {
    QVariantList binds = {iddPlace};
    if (!except.isEmpty()) binds << except;
    CDynamicRecordset rs(m_db);
    rs.Open(QStringLiteral(
                "SELECT COUNT(*) FROM TTyre WHERE IddPlace = ? AND DateOut IS NULL AND [Delete] = FALSE") +
                (except.isEmpty() ? QString() : QStringLiteral(" AND IddTyre <> ?")),
            binds);
    return int(rs.Field(0).AsLong());
}

void TyreStore::ClaimPlace(const QString &iddPlace, const QString &except, int adding) {
    // On a server the place's row stays locked until the commit: of two workstations filling its last room
    // the second waits here and then counts the first one's set. An SQLite writer holds the whole file.
    ChangedMeanwhile::LockRow(m_db, kPlaces, QStringLiteral("IddPlace"), iddPlace);
    CDynamicRecordset rs(m_db);
    rs.Open(QStringLiteral("SELECT Capacity FROM SPlace WHERE IddPlace = ? AND [Delete] = FALSE"),
            {iddPlace});
    if (rs.IsEOF())
        throw DbError(
            QStringLiteral("Место хранения не найдено: возможно, его удалили.\nНичего не сохранено."),
            QStringLiteral("TTyre.IddPlace"));
    const int capacity = int(rs.Field(0).AsLong());
    rs.Close();
    if (adding > 0 && Occupied(iddPlace, except) + adding > capacity) throw PlaceTaken();
}

QString TyreStore::TakeIn(TyreSet &set, const QString &login) {
    TyreSet work = set;
    if (!work.dateIn.isValid()) work.dateIn = QDate::currentDate();
    if (!work.paidUntil.isValid()) work.paidUntil = work.dateIn.addMonths(kSeasonMonths);
    Check(work);
    Transaction tx(m_db);
    ClaimPlace(work.iddPlace, {}, 1);
    work.iddTyre = NewKey(login);
    // The label's code: the day and the set's number that day, taken in turn on a server.
    if (m_db.dialect() == Dialect::Postgres)
        m_db.Exec(QStringLiteral("SELECT pg_advisory_xact_lock(hashtext('zv-tyre-code'))"));
    const QString prefix = work.dateIn.toString(QStringLiteral("yyMMdd")) + u'-';
    CDynamicRecordset rs(m_db);
    rs.Open(QStringLiteral("SELECT Code FROM TTyre WHERE Code >= ? AND Code < ?"),
            {prefix, prefix.left(6) + u'.'});
    long last = 0;
    for (; !rs.IsEOF(); rs.MoveNext())
        last = std::max(last, rs.Field(0).AsText().mid(prefix.size()).toLong());
    work.code = prefix + QString::number(last + 1);
    rs.Close();
    Values row = {{QStringLiteral("IddTyre"), work.iddTyre}};
    row << CardValues(work) << ColumnValue{QStringLiteral("Code"), work.code}
        << ColumnValue{QStringLiteral("Delete"), false};
    Rows::Insert(m_db, kSets, row);
    tx.Commit();
    set = work;
    return set.iddTyre;
}

void TyreStore::Update(const TyreSet &set) {
    Check(set);
    Transaction tx(m_db);
    ChangedMeanwhile::LockRow(m_db, kSets, QStringLiteral("IddTyre"), set.iddTyre);
    const std::optional<TyreSet> stored = Load(set.iddTyre);
    if (!stored) throw ChangedMeanwhile(true);
    if (!stored->Kept())
        throw DbError(
            QStringLiteral("Комплект уже выдан: его карточку изменить нельзя.\nНичего не сохранено."));
    if (stored->iddPlace != set.iddPlace) ClaimPlace(set.iddPlace, set.iddTyre, 1);
    Rows::Update(m_db, kSets, {{QStringLiteral("IddTyre"), set.iddTyre}}, CardValues(set));
    tx.Commit();
}

int TyreStore::GiveOut(const QString &iddTyre, const QDate &day) {
    Transaction tx(m_db);
    ChangedMeanwhile::LockRow(m_db, kSets, QStringLiteral("IddTyre"), iddTyre);
    const std::optional<TyreSet> stored = Load(iddTyre);
    if (!stored)
        throw DbError(QStringLiteral("Комплект не найден: возможно, его удалили на другом рабочем месте."));
    if (!stored->Kept())
        throw DbError(QStringLiteral("Комплект уже выдан %1.").arg(Formats::Date(stored->dateOut)));
    Rows::Update(m_db, kSets, {{QStringLiteral("IddTyre"), iddTyre}},
                 {{QStringLiteral("DateOut"), Day(day)}});
    tx.Commit();
    return SeasonsOverdue(stored->paidUntil, day);
}

void TyreStore::Delete(const QString &iddTyre) {
    Rows::SoftDelete(m_db, kSets, {{QStringLiteral("IddTyre"), iddTyre}});
}

QList<TyreSet> TyreStore::Read(const QString &where, const QVariantList &binds, const QString &order) {
    CDynamicRecordset rs(m_db);
    rs.Open(
        QStringLiteral(
            "SELECT t.IddTyre, t.IddClient, t.IddAvto, t.Season, t.Maker, t.Model, t.Size, t.[Count], "
            "t.Rims, "
            "t.Tread, t.Damage, t.IddPlace, t.DateIn, t.PaidUntil, t.DateOut, t.IddZakaz, t.Fee, t.Code, "
            "c.ClientName, a.AvtoNomer, p.Rack, p.Shelf, p.Cell FROM ((TTyre t LEFT JOIN SClient c ON "
            "c.IddClient = t.IddClient) LEFT JOIN SAvto a ON a.IddAvto = t.IddAvto) LEFT JOIN SPlace p ON "
            "p.IddPlace = t.IddPlace WHERE t.[Delete] = FALSE") +
            where + QStringLiteral(" ORDER BY ") + order,
        binds);
    QList<TyreSet> sets;
    for (; !rs.IsEOF(); rs.MoveNext()) {
        TyreSet s;
        s.iddTyre = rs.Field(0).AsText();
        s.iddClient = rs.Field(1).AsText();
        s.iddAvto = rs.Field(2).AsText();
        s.season = TyreSeason(std::clamp<long>(rs.Field(3).AsLong(), 0, 2));
        s.maker = rs.Field(4).AsText();
        s.model = rs.Field(5).AsText();
        s.size = rs.Field(6).AsText();
        s.count = int(rs.Field(7).AsLong());
        s.rims = rs.Field(8).AsBool();
        for (const QString &d : rs.Field(9).AsText().split(u';', Qt::SkipEmptyParts))
            s.tread << d.trimmed().toDouble();
        s.damage = rs.Field(10).AsText();
        s.iddPlace = rs.Field(11).AsText();
        s.dateIn = rs.Field(12).AsDateTime().date();
        s.paidUntil = rs.Field(13).AsDateTime().date();
        s.dateOut = rs.Field(14).AsDateTime().date();
        s.iddZakaz = rs.Field(15).AsText();
        s.fee = rs.Field(16).AsMoney();
        s.code = rs.Field(17).AsText();
        s.clientName = rs.Field(18).AsText();
        s.plate = rs.Field(19).AsText();
        s.placeText =
            StoragePlace{
                .rack = rs.Field(20).AsText(), .shelf = rs.Field(21).AsText(), .cell = rs.Field(22).AsText()}
                .Text();
        sets.append(s);
    }
    return sets;
}

std::optional<TyreSet> TyreStore::Load(const QString &iddTyre) {
    const QList<TyreSet> found =
        Read(QStringLiteral(" AND t.IddTyre = ?"), {iddTyre}, QStringLiteral("t.IddTyre"));
    return found.isEmpty() ? std::nullopt : std::optional<TyreSet>(found.first());
}

QList<TyreSet> TyreStore::Search(const TyreFilter &filter) {
    const QDate today = filter.today.isValid() ? filter.today : QDate::currentDate();
    QString where;
    QVariantList binds;
    switch (filter.state) {
        case TyreFilter::State::Kept:
            where = QStringLiteral(" AND t.DateOut IS NULL");
            break;
        case TyreFilter::State::GivenOut:
            where = QStringLiteral(" AND t.DateOut IS NOT NULL");
            break;
        case TyreFilter::State::Overdue:
            where = QStringLiteral(" AND t.DateOut IS NULL AND t.PaidUntil < ?");
            binds << Day(today);
            break;
        case TyreFilter::State::All:
            break;
    }
    if (filter.season) {
        where += QStringLiteral(" AND t.Season = ?");
        binds << int(*filter.season);
    }
    if (!filter.iddPlace.isEmpty()) {
        where += QStringLiteral(" AND t.IddPlace = ?");
        binds << filter.iddPlace;
    }
    // Plates are kept in capitals, so part of one typed in any case is found by the database; its
    // wildcards are taken as typed.
    const QString plate = filter.plate.trimmed(), client = filter.client.trimmed();
    if (!plate.isEmpty()) {
        QString pattern = plate.toUpper();
        pattern.replace(u'!', QStringLiteral("!!"))
            .replace(u'%', QStringLiteral("!%"))
            .replace(u'_', QStringLiteral("!_"));
        where += QStringLiteral(" AND a.AvtoNomer LIKE ? ESCAPE '!'");
        binds << u'%' + pattern + u'%';
    }
    QList<TyreSet> sets = Read(where, binds, QStringLiteral("t.DateIn DESC, t.Code DESC"));
    // A part of a name in any case, which the databases' own comparisons do not all know for Cyrillic
    // letters; and the plate once more, for one kept otherwise than in capitals.
    if (!plate.isEmpty() || !client.isEmpty())
        sets.removeIf([&](const TyreSet &s) {
            return !s.plate.contains(plate, Qt::CaseInsensitive) ||
                   !s.clientName.contains(client, Qt::CaseInsensitive);
        });
    return sets;
}

QList<TyreSet> TyreStore::OfClient(const QString &iddClient) {
    return Read(QStringLiteral(" AND t.IddClient = ?"), {iddClient},
                QStringLiteral("t.DateIn DESC, t.Code DESC"));
}

QList<TyreSet> TyreStore::OfCar(const QString &iddAvto) {
    return Read(QStringLiteral(" AND t.IddAvto = ?"), {iddAvto},
                QStringLiteral("t.DateIn DESC, t.Code DESC"));
}
