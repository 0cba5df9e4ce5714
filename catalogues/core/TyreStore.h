#pragma once

#include "DbError.h"
#include "Money.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

class Database;

// Seasonal tyre storage: a client's set of tyres kept in one of the shop's storage places between
// seasons, from the day it is taken in until it is given back. A place (SPlace) is a cell of a rack and
// shelf holding as many sets as its capacity; a set (TTyre) belongs to a client and a car.

enum class TyreSeason : int { Summer = 0, Winter = 1, AllSeason = 2 };
// "летние", "зимние", "всесезонные".
QString SeasonText(TyreSeason season);

struct StoragePlace {
    QString iddPlace = {};
    QString rack = {}, shelf = {}, cell = {};
    int capacity = 1;
    QString note = {};
    bool deleted = false;
    int occupied = 0;  // sets kept there now (as read)

    // "Стеллаж A, полка 2, ячейка 5".
    QString Text() const;
    int Free() const { return capacity - occupied; }
    bool operator==(const StoragePlace &) const = default;
};

struct TyreSet {
    QString iddTyre;  // empty until taken in
    QString iddClient, iddAvto;
    TyreSeason season = TyreSeason::Winter;
    QString maker, model, size;  // size as "205/55 R16"
    int count = 4;
    bool rims = false;
    QList<double> tread;  // depth of each tyre's tread, mm
    QString damage;
    QString iddPlace;
    QDate dateIn, paidUntil, dateOut;  // dateOut invalid while kept
    QString iddZakaz;                  // the order that took it in (empty: none)
    Money fee;                         // what storing it costs a season
    QString code;                      // the labels' code
    bool deleted = false;

    // As read with it: the client's name, the car's plate, the place's text.
    QString clientName, plate, placeText;

    bool Kept() const { return !dateOut.isValid(); }
    // Kept beyond the day it was paid until.
    bool Overdue(const QDate &today) const { return Kept() && paidUntil.isValid() && paidUntil < today; }
    // "4 шт., 205/55 R16, Nokian Hakkapeliitta, зимние, с дисками".
    QString Description() const;
    // The depths as typed on the card and printed ("7.5; 7.0; 6.8; 7.2").
    QString TreadText() const;
    bool operator==(const TyreSet &) const = default;
};

// Storage is paid by the season: six months.
inline constexpr int kSeasonMonths = 6;
// The seasons begun since a set was paid until, by `day` (0 when it is not overdue).
int SeasonsOverdue(const QDate &paidUntil, const QDate &day);

// The journal's filter.
struct TyreFilter {
    enum class State { Kept, GivenOut, Overdue, All };
    State state = State::Kept;
    std::optional<TyreSeason> season = std::nullopt;
    QString iddPlace = {};
    QString plate = {};   // part of the plate, any case
    QString client = {};  // part of the client's name, any case
    QDate today = {};     // what "overdue" is measured at (today when invalid)
};

// The place chosen holds as many sets as it can (another workstation may just have filled it).
class PlaceTaken : public DbError {
public:
    PlaceTaken()
        : DbError(QStringLiteral("Это место хранения уже занято: выберите другое.\nНичего не сохранено."),
                  QStringLiteral("TTyre.IddPlace")) {}
};

// Every SQL text about storage places and stored sets.
class TyreStore {
public:
    explicit TyreStore(Database &db) : m_db(db) {}

    // The live places with what each holds now, by rack, shelf and cell.
    QList<StoragePlace> Places();
    // Adds or changes a place; a capacity below what it holds now is refused (DbError naming the field).
    QString SavePlace(StoragePlace place, const QString &login);
    // The first live place with room, by rack, shelf and cell; none when all are full.
    std::optional<StoragePlace> FreePlace() { return FirstFree(Places()); }
    static std::optional<StoragePlace> FirstFree(const QList<StoragePlace> &places);

    // Takes a set in: a key and a label code are made, the place is checked to have room inside the save's
    // transaction (so two workstations cannot fill one cell twice: the second gets PlaceTaken), the date in
    // defaults to today and the paid-until date to a season later. Returns the key.
    QString TakeIn(TyreSet &set, const QString &login);
    // Changes a kept set's card (place included, checked as above).
    void Update(const TyreSet &set);
    // Gives a kept set back on `day`: its place is free again. Returns the seasons it is overdue (0: none),
    // for which the clerk is offered the fee on an order. Throws DbError when it is gone or given back
    // already.
    int GiveOut(const QString &iddTyre, const QDate &day);
    // Marks a set deleted (a mistaken card): its place is free again.
    void Delete(const QString &iddTyre);

    std::optional<TyreSet> Load(const QString &iddTyre);
    QList<TyreSet> Search(const TyreFilter &filter);
    // A client's or a car's sets, newest first.
    QList<TyreSet> OfClient(const QString &iddClient);
    QList<TyreSet> OfCar(const QString &iddAvto);

private:
    // Inside a transaction: locks the place (DbError when it is gone) and throws PlaceTaken when `adding`
    // more sets would not fit beside those kept there now other than `except`.
    void ClaimPlace(const QString &iddPlace, const QString &except, int adding);
    int Occupied(const QString &iddPlace, const QString &except);
    QList<TyreSet> Read(const QString &where, const QVariantList &binds, const QString &order);

    Database &m_db;
};
