#pragma once

#include <QString>
#include <QTime>
#include <array>
#include <optional>

class Database;

// The shop's own requisites: the single SMain row, keyed "1". Printed documents and reports use them as
// the seller's details.
// The shop's working day; unset, from 8 to 20.
struct WorkingHours {
    QTime open = QTime(8, 0), close = QTime(20, 0);
    bool operator==(const WorkingHours &) const = default;
    // As kept (SMain.MainOpen / MainClose, "HH:mm"); what is unset or unreadable takes the default, and so
    // does a day that would not end after it begins.
    static WorkingHours FromText(const QString &open, const QString &close);
    static QString Text(const QTime &at) { return at.toString(QStringLiteral("HH:mm")); }
};

struct CompanyInfo {
    // The eighteen text fields, in the order of kFields.
    static constexpr int kFieldCount = 18;
    static const std::array<const char *, kFieldCount> kFields;

    std::array<QString, kFieldCount> values;
    WorkingHours hours;

    bool operator==(const CompanyInfo &) const = default;

    QString &operator[](int i) { return values[size_t(i)]; }
    const QString &operator[](int i) const { return values[size_t(i)]; }
    // By column name (MainName, MainINN, ...); an unknown name is a programming error and asserts.
    QString &Field(const char *column);
    const QString &Field(const char *column) const;
};

class CompanyStore {
public:
    explicit CompanyStore(Database &db) : m_db(db) {}

    // The row; nullopt when it is missing. Throws DbError.
    std::optional<CompanyInfo> Read();
    // The working hours alone (the default ones when the row is missing). Throws DbError.
    WorkingHours Hours();
    // Writes the eighteen fields and the hours as given (a day must end after it begins, or DbError); a
    // missing row is recreated so the typing is not lost. Throws DbError (nothing written).
    void Save(const CompanyInfo &info);
    // Save from a card that read the row as `loaded` (nullopt: it was missing). When the row is stored
    // otherwise now (or was made meanwhile), ChangedMeanwhile is thrown and nothing written.
    void Save(const CompanyInfo &info, const std::optional<CompanyInfo> &loaded);

private:
    Database &m_db;
};
