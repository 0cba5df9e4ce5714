#include "ChangeLog.h"
#include "ChangeLogStore.h"
#include "DbError.h"
#include "Schema.h"
#include "TestDb.h"
#include "TestRows.h"

#include <algorithm>

using namespace TestRows;

// The database writes the log itself, so every test writes through plain SQL or the test rows (no store):
// what a program or a person at psql does is logged the same way.
class ChangeLogTest : public DbTest {
protected:
    QList<ChangeLogEntry> Today(ChangeLogFilter filter = {}) {
        filter.from = filter.to = QDate::currentDate();
        return ChangeLogStore(db()).Search(filter);
    }
    // Who the log must name: the program's login on SQLite, the connection's role on PostgreSQL.
    QString Writer() {
        if (GetParam() == Backend::Sqlite) return QStringLiteral("anna");
        QSqlQuery q = db().Exec(QStringLiteral("SELECT session_user"));
        return q.next() ? q.value(0).toString() : QString();
    }
    static const ChangeLogEntry *Find(const QList<ChangeLogEntry> &entries, const QString &table,
                                      char action) {
        for (const ChangeLogEntry &e : entries)
            if (e.table == table && e.action == action) return &e;
        return nullptr;
    }
};
ZV_INSTANTIATE_DB_TESTS(ChangeLogTest);

TEST_P(ChangeLogTest, EveryWriteIsLoggedWithWhoWhereAndTheOldAndNewValues) {
    db().SetLogin(QStringLiteral("anna"));
    Put(db(), Client{.key = "c1", .name = "Иванов"});
    db().Exec("UPDATE SClient SET ClientName = ?, ClientTel = ? WHERE IddClient = ?",
              {"Петров", "123", "c1"});
    // A write that changes nothing is no entry, and a rolled-back one leaves none.
    db().Exec("UPDATE SClient SET ClientName = ? WHERE IddClient = ?", {"Петров", "c1"});
    {
        Transaction tx(db());
        db().Exec("UPDATE SClient SET ClientName = ? WHERE IddClient = ?", {"Сидоров", "c1"});
    }
    Put(db(), Order{.key = "z1",
                    .number = "77",
                    .client = "c1",
                    .lines = {{.name = "Шиномонтаж", .workers = {{.worker = "w1", .fio = "Кузнецов"}}}}});
    Put(db(), Pay{.key = "p1", .order = "z1", .sum = 500, .number = "12"});
    db().Exec("UPDATE TPay SET SummaPay = ? WHERE IddPay = ?", {300, "p1"});
    db().Exec("UPDATE TPay SET [Delete] = ? WHERE IddPay = ?", {true, "p1"});
    Put(db(), User{.key = "u1", .login = "boss", .pass = "secret-hash"});
    db().Exec("UPDATE SUser SET Pass = ? WHERE IddUser = ?", {"other-hash", "u1"});
    db().Exec("DELETE FROM SClient WHERE IddClient = ?", {"c1"});

    const QList<ChangeLogEntry> all = Today();
    for (const ChangeLogEntry &e : all) {
        EXPECT_EQ(e.user, Writer()) << e.table.toStdString();
        EXPECT_EQ(e.host, ChangeLog::Workstation());
        EXPECT_LE(qAbs(e.at.secsTo(QDateTime::currentDateTime())), 120);
    }
    ASSERT_TRUE(Find(all, "SClient", 'U'));
    EXPECT_EQ(ChangeLogStore::Describe(*Find(all, "SClient", 'U')),
              "Наименование клиента: Иванов → Петров; Телефон: — → 123");
    EXPECT_EQ(
        std::count_if(all.begin(), all.end(), [](const ChangeLogEntry &e) { return e.table == "SClient"; }),
        3)
        << "inserted, changed once, deleted";
    ASSERT_TRUE(Find(all, "SClient", 'D'));
    EXPECT_TRUE(
        ChangeLogStore::Describe(*Find(all, "SClient", 'D')).contains("Наименование клиента: Петров"));

    // The payment: changed, then marked deleted, each naming its order and the amount.
    const ChangeLogEntry *lowered = Find(all, "TPay", 'U');
    ASSERT_TRUE(lowered);
    EXPECT_EQ(ChangeLogStore::Describe(*lowered), "Сумма: 500.00 → 300.00");
    const ChangeLogEntry *deleted = Find(all, "TPay", 'X');
    ASSERT_TRUE(deleted);
    EXPECT_EQ(ChangeLogStore::ActionText(deleted->action), "удаление (пометка)");
    EXPECT_EQ(deleted->orderNumber, "77");
    EXPECT_EQ(deleted->label, "12");
    EXPECT_EQ(ChangeLogStore::Describe(*deleted), "Удалено: нет → да");
    ASSERT_TRUE(Find(all, "TWork", 'I'));
    EXPECT_EQ(Find(all, "TWork", 'I')->orderNumber, "77");
    EXPECT_TRUE(
        ChangeLogStore::Describe(*Find(all, "TService", 'I')).contains("Наименование услуги: Шиномонтаж"));

    // A password is logged as changed, never as what is stored.
    for (const ChangeLogEntry &e : all) EXPECT_FALSE(e.changes.contains("hash")) << e.changes.toStdString();
    ASSERT_TRUE(Find(all, "SUser", 'U'));
    EXPECT_EQ(ChangeLogStore::Describe(*Find(all, "SUser", 'U')), "Пароль: *** → ***");
}

TEST_P(ChangeLogTest, FiltersAndHistoriesChooseTheirEntries) {
    db().SetLogin(QStringLiteral("anna"));
    Put(db(), Client{.key = "c1", .name = "Орлов"});
    Put(db(), Order{.key = "z1", .number = "5", .client = "c1"});
    Put(db(), Order{.key = "z2", .number = "6", .client = "c1"});
    Put(db(), Pay{.key = "p1", .order = "z1", .sum = 100});
    Put(db(), Pay{.key = "p2", .order = "z2", .sum = 200});
    db().Exec("UPDATE TPay SET [Delete] = ? WHERE IddPay = ?", {true, "p2"});
    db().Exec("DELETE FROM TService WHERE IddZakaz = ?", {"z1"});

    // Deleting covers a row removed and a row marked deleted; the kind keeps to its tables.
    ChangeLogFilter payments{.kind = "Платежи", .action = "удаление"};
    QList<ChangeLogEntry> found = Today(payments);
    ASSERT_EQ(found.size(), 1);
    EXPECT_EQ(found[0].key, "p2");
    EXPECT_EQ(found[0].client, "Орлов");
    found = Today({.action = "удаление"});
    EXPECT_EQ(found.size(), 2);

    // Text in any case: the client's name reaches the entries of his orders too.
    found = Today({.kind = "Заказы", .text = "орлов"});
    EXPECT_FALSE(found.isEmpty());
    for (const ChangeLogEntry &e : found) EXPECT_TRUE(e.iddZakaz == "z1" || e.iddZakaz == "z2");
    EXPECT_TRUE(Today({.text = "нет такого"}).isEmpty());
    EXPECT_EQ(Today({.user = "someone else"}).size(), 0);

    // An order's history: its rows, lines and payments, whatever the period; a payment's its own.
    found = ChangeLogStore(db()).Search({.iddZakaz = "z1"});
    QSet<QString> tables;
    for (const ChangeLogEntry &e : found) {
        EXPECT_EQ(e.iddZakaz, "z1");
        tables.insert(e.table);
    }
    EXPECT_EQ(tables, (QSet<QString>{"TZakaz", "TService", "TPay"}));
    found = ChangeLogStore(db()).Search({.iddPay = "p2"});
    ASSERT_EQ(found.size(), 2);
    EXPECT_EQ(found[0].action, ChangeLog::kMarkDeleted) << "newest first";
    // A list stops at the newest so many, and says there were more, with or without a text.
    bool more = false;
    const QDate today = QDate::currentDate();
    found = ChangeLogStore(db()).Search({.from = today, .to = today}, 2, &more);
    EXPECT_EQ(found.size(), 2);
    EXPECT_TRUE(more);
    EXPECT_EQ(found[0].action, ChangeLog::kDelete) << "the newest";
    found = ChangeLogStore(db()).Search({.from = today, .to = today, .text = "Орлов"}, 1, &more);
    EXPECT_EQ(found.size(), 1);
    EXPECT_TRUE(more);
    ChangeLogStore(db()).Search({.iddPay = "p2"}, 2, &more);
    EXPECT_FALSE(more);
    // Yesterday holds nothing.
    EXPECT_TRUE(
        ChangeLogStore(db())
            .Search({.from = QDate::currentDate().addDays(-1), .to = QDate::currentDate().addDays(-1)})
            .isEmpty());
}

TEST_P(ChangeLogTest, OldEntriesMoveToAnArchiveFileAndNothingElseRemovesThem) {
    db().SetLogin(QStringLiteral("anna"));
    const QDateTime old(QDate(2024, 3, 1), QTime(10, 0));
    for (int i = 0; i < 3; ++i)
        db().Exec(
            "INSERT INTO ZvLog (At, UserName, Host, Tbl, Idd, Action, Label, Changes) VALUES (?, 'ivan', "
            "'kassa', "
            "'TPay', ?, 'D', '', '{}')",
            {old.addDays(i), QString("old%1").arg(i)});
    Put(db(), Client{.key = "c1"});
    if (GetParam() == Backend::Sqlite) {
        // On the embedded database the log's own triggers refuse.
        EXPECT_THROW(db().Exec("UPDATE ZvLog SET UserName = 'x'"), DbError);
        EXPECT_THROW(db().Exec("DELETE FROM ZvLog"), DbError);
    }
    EXPECT_THROW(ChangeLog::Archive(db(), QDateTime::currentDateTime().addDays(1), m_dir.filePath("a.db")),
                 DbError)
        << "only what is past";

    const QString file = m_dir.filePath("archive.db");
    EXPECT_EQ(ChangeLog::Archive(db(), old.addDays(2), file), 2);
    // Again with a later date: the archive gets the third, not the first two twice.
    EXPECT_EQ(ChangeLog::Archive(db(), old.addDays(10), file), 1);
    EXPECT_EQ(ChangeLog::Archive(db(), old.addDays(10), file), 0);

    EXPECT_THROW(ChangeLog::OpenArchive(m_dir.filePath("none.db")), DbError);
    EXPECT_FALSE(QFile::exists(m_dir.filePath("none.db")));
    const auto archive = ChangeLog::OpenArchive(file);
    const QList<ChangeLogEntry> kept =
        ChangeLogStore(*archive).Search({.from = old.date(), .to = old.date().addDays(5)});
    ASSERT_EQ(kept.size(), 3);
    EXPECT_EQ(kept[2].key, "old0");
    EXPECT_EQ(kept[2].user, "ivan");
    EXPECT_EQ(kept[2].at, old);
    // The log keeps what is newer, and says who archived how much.
    const QList<ChangeLogEntry> left = Today();
    ASSERT_TRUE(Find(left, "SClient", 'I'));
    QStringList archived;
    for (const ChangeLogEntry &e : left)
        if (e.table == "ZvLog" && e.action == ChangeLog::kArchive && e.user == Writer()) archived << e.label;
    EXPECT_EQ(archived,
              (QStringList{"0 < 11.03.2024 10:00", "1 < 11.03.2024 10:00", "2 < 03.03.2024 10:00"}));
    EXPECT_TRUE(ChangeLogStore(db()).Search({.from = old.date(), .to = old.date().addDays(5)}).isEmpty());
}

TEST_P(ChangeLogTest, EachKindOfRecordIsLoggedWhenAddedChangedAndDeleted) {
    db().SetLogin(QStringLiteral("anna"));
    for (const ChangeLog::Logged &t : ChangeLog::Tables()) {
        SCOPED_TRACE(t.table);
        const TableDef &def = *std::find_if(Schema::Tables().begin(), Schema::Tables().end(),
                                            [&](const TableDef &d) { return qstrcmp(d.name, t.table) == 0; });
        // Every text filled, the key "k1"; then the first field a user knows by name changed.
        QStringList columns, marks;
        QVariantList values;
        const ColumnDef *changed = nullptr, *link = nullptr;
        for (const ColumnDef &c : def.columns) {
            const QString name = c.name;
            if (t.secret && name == t.secret) continue;
            const bool key = name.startsWith("Idd", Qt::CaseInsensitive);
            if (key && name != t.key && c.type == ColType::Text && !link) link = &c;
            if (!changed && !key && (c.type == ColType::Text || c.type == ColType::Double)) changed = &c;
            if (c.type != ColType::Text) continue;
            columns << "[" + name + "]", marks << "?";
            values << (name == t.key ? QVariant("k1") : QVariant("v-" + name));
        }
        // A link between records has nothing but keys: one of them changes.
        if (!changed) changed = link;
        ASSERT_TRUE(changed);
        const QString table = QString("[%1]").arg(t.table), where = QString(" WHERE [%1] = 'k1'").arg(t.key);
        db().Exec("INSERT INTO " + table + " (" + columns.join(", ") + ") VALUES (" + marks.join(", ") + ")",
                  values);
        db().Exec(QString("UPDATE %1 SET [%2] = ?").arg(table, changed->name) + where,
                  {changed->type == ColType::Text ? QVariant("new") : QVariant(7)});
        db().Exec("DELETE FROM " + table + where);

        QList<ChangeLogEntry> entries = Today();
        entries.removeIf([&](const ChangeLogEntry &e) { return e.table != t.table; });
        ASSERT_EQ(entries.size(), 3);
        EXPECT_EQ((std::string{entries[0].action, entries[1].action, entries[2].action}), "DUI");
        for (const ChangeLogEntry &e : entries) EXPECT_EQ(e.key, "k1");
        const QString caption = ChangeLogStore::Fields(entries[1]).value(0).field;
        EXPECT_EQ(ChangeLogStore::Describe(entries[1]),
                  caption + (changed->type == ColType::Text ? QString(": v-%1 → new").arg(changed->name)
                                                            : ": — → 7.00"));
        // The deleted row's values, unless it had nothing but keys.
        EXPECT_TRUE(changed == link || ChangeLogStore::Describe(entries[0]).contains(caption + ": "));
    }
}

TEST_P(ChangeLogTest, ABulkLoadWritesWithoutLoggingAndLogsAgainAfter) {
    Put(db(), Client{.key = "c1"});
    ChangeLog::Stop(db());
    db().Exec("UPDATE SClient SET ClientName = 'Б' WHERE IddClient = 'c1'");
    db().Exec("DELETE FROM SClient WHERE IddClient = 'c1'");
    EXPECT_EQ(Today().size(), 1) << "only the insert before the stop";
    ChangeLog::Create(db());
    Put(db(), Client{.key = "c2"});
    db().Exec("UPDATE SClient SET ClientName = 'В' WHERE IddClient = 'c2'");
    EXPECT_EQ(Today().size(), 3);
}
