#include "DbError.h"
#include "Rows.h"
#include "Rub.h"
#include "TestDb.h"
#include "WorkerStore.h"

#include <QStringList>

namespace {

WorkerRecord Worker(const QString &fio, bool out = false) {
    WorkerRecord w;
    w.workFio = fio;
    w.workAdres = QStringLiteral("ул. Ленина, 1");
    w.workTel = QStringLiteral("+7 900 000-00-00");
    w.workDataIn = QDateTime(QDate(2023, 3, 1), QTime(9, 30));
    w.workOut = out;
    w.workDataOut = QDateTime(QDate(2024, 6, 15), QTime(18, 0));
    return w;
}

void AddLink(Database &db, const QString &id, const QString &service, const QString &work,
             bool deleted = false) {
    Rows::Insert(db, QStringLiteral("ServiceWork"),
                 {{QStringLiteral("IddServiceWork"), id},
                  {QStringLiteral("IddService"), service},
                  {QStringLiteral("IddWork"), work},
                  {QStringLiteral("Delete"), deleted}});
}

QStringList Names(const QList<WorkerRecord> &workers) {
    QStringList names;
    for (const WorkerRecord &w : workers) names << w.workFio;
    return names;
}

int LiveLinks(Database &db, const QString &work) {
    return CountRows(
        db, QStringLiteral("SELECT IddServiceWork FROM ServiceWork WHERE IddWork = ? AND [Delete] = ?"),
        {work, false});
}

}  // namespace

class WorkerStoreTest : public DbTest {};
ZV_INSTANTIATE_DB_TESTS(WorkerStoreTest);

TEST_P(WorkerStoreTest, InsertedWorkerReadsBackWithoutSalary) {
    WorkerStore store(db());
    const QString id = store.Insert(Worker(QStringLiteral("Петров Пётр")), QStringLiteral("anna"));
    EXPECT_TRUE(id.startsWith(QStringLiteral("anna~")));
    const auto back = store.Load(id);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->workFio, QStringLiteral("Петров Пётр"));
    EXPECT_EQ(back->workAdres, QStringLiteral("ул. Ленина, 1"));
    EXPECT_EQ(back->workTel, QStringLiteral("+7 900 000-00-00"));
    EXPECT_EQ(back->workDataIn, QDateTime(QDate(2023, 3, 1), QTime(9, 30)));
    EXPECT_FALSE(back->workOut);
    EXPECT_FALSE(back->deleted);
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT IddWork FROM SWork WHERE WorkSalary IS NULL")), 1);

    // A salary set elsewhere survives the card's save.
    Rows::Update(db(), QStringLiteral("SWork"), {{QStringLiteral("IddWork"), id}},
                 {{QStringLiteral("WorkSalary"), 25000.0}});
    WorkerRecord edited = *back;
    edited.workSalary = Rub(0);
    edited.workTel = QStringLiteral("55-55-55");
    store.Update(edited);
    EXPECT_EQ(store.Load(id)->workSalary, Rub(25000.0));
    EXPECT_EQ(store.Load(id)->workTel, QStringLiteral("55-55-55"));

    // Saving the card of a deleted worker leaves him deleted.
    ASSERT_TRUE(store.Delete(id));
    store.Update(edited);
    EXPECT_TRUE(store.Load(id)->deleted);

    WorkerRecord ghost = edited;
    ghost.iddWork = QStringLiteral("nobody~1~");
    EXPECT_THROW(store.Update(ghost), DbError);
}

TEST_P(WorkerStoreTest, ListFollowsTheTwoFlags) {
    WorkerStore store(db());
    const QString current = store.Insert(Worker(QStringLiteral("Борисов")), QStringLiteral("a"));
    store.Insert(Worker(QStringLiteral("Андреев"), true), QStringLiteral("a"));  // dismissed
    const QString gone = store.Insert(Worker(QStringLiteral("Васильев")), QStringLiteral("a"));
    const QString goneOut = store.Insert(Worker(QStringLiteral("Григорьев"), true), QStringLiteral("a"));
    ASSERT_TRUE(store.Delete(gone));
    ASSERT_TRUE(store.Delete(goneOut));

    EXPECT_EQ(Names(store.List(true, false)),
              (QStringList{QStringLiteral("Андреев"), QStringLiteral("Борисов")}));
    EXPECT_EQ(Names(store.List(false, false)), QStringList{QStringLiteral("Борисов")});
    // Deleted workers who were never dismissed; the deleted flag wins over the all-workers flag.
    EXPECT_EQ(Names(store.List(true, true)), QStringList{QStringLiteral("Васильев")});
    EXPECT_EQ(Names(store.List(false, true)), QStringList{QStringLiteral("Васильев")});
    EXPECT_EQ(store.List(false, false).first().iddWork, current);
}

TEST_P(WorkerStoreTest, DeleteMarksLinksAssignmentsAndPayoutLines) {
    WorkerStore store(db());
    const QString id = store.Insert(Worker(QStringLiteral("Сидоров")), QStringLiteral("a"));
    const QString other = store.Insert(Worker(QStringLiteral("Козлов")), QStringLiteral("a"));
    AddLink(db(), QStringLiteral("sw1"), QStringLiteral("s1"), id);
    AddLink(db(), QStringLiteral("sw2"), QStringLiteral("s2"), id);
    AddLink(db(), QStringLiteral("sw3"), QStringLiteral("s1"), other);
    for (const QString &w : {id, other}) {
        Rows::Insert(db(), QStringLiteral("TWork"),
                     {{QStringLiteral("IddZakaz"), QStringLiteral("z1")},
                      {QStringLiteral("IddService"), QStringLiteral("s1")},
                      {QStringLiteral("IddWork"), w},
                      {QStringLiteral("WorkFIO"), QStringLiteral("x")},
                      {QStringLiteral("Delete"), false}});
        Rows::Insert(db(), QStringLiteral("TWorkPay"),
                     {{QStringLiteral("IddWorkPay"), QStringLiteral("wp-") + w},
                      {QStringLiteral("IddPay"), QStringLiteral("p1")},
                      {QStringLiteral("IddWork"), w},
                      {QStringLiteral("SummaWorkPay"), 100.0},
                      {QStringLiteral("DeleteWorkPay"), false}});
    }

    ASSERT_TRUE(store.Delete(id));
    EXPECT_TRUE(store.Load(id)->deleted);
    EXPECT_EQ(LiveLinks(db(), id), 0);
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT IddZakaz FROM TWork WHERE IddWork = ? AND [Delete] = ?"),
                        {id, true}),
              1);
    EXPECT_EQ(
        CountRows(db(),
                  QStringLiteral("SELECT IddWorkPay FROM TWorkPay WHERE IddWork = ? AND DeleteWorkPay = ?"),
                  {id, true}),
        1);
    // The other worker's rows are untouched.
    EXPECT_FALSE(store.Load(other)->deleted);
    EXPECT_EQ(LiveLinks(db(), other), 1);
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT IddZakaz FROM TWork WHERE IddWork = ? AND [Delete] = ?"),
                        {other, false}),
              1);
    EXPECT_EQ(
        CountRows(db(),
                  QStringLiteral("SELECT IddWorkPay FROM TWorkPay WHERE IddWork = ? AND DeleteWorkPay = ?"),
                  {other, false}),
        1);

    EXPECT_FALSE(store.Delete(QStringLiteral("nobody~1~")));
}

TEST_P(WorkerStoreTest, DeleteIsAllOrNothing) {
    WorkerStore store(db());
    const QString id = store.Insert(Worker(QStringLiteral("Сидоров")), QStringLiteral("a"));
    AddLink(db(), QStringLiteral("sw1"), QStringLiteral("s1"), id);
    db().SetWriteHook([](const QString &sql) {
        if (sql.contains(QStringLiteral("TWorkPay"), Qt::CaseInsensitive))
            throw DbError(QStringLiteral("disk full"));
    });
    EXPECT_THROW(store.Delete(id), DbError);
    db().SetWriteHook({});
    EXPECT_FALSE(store.Load(id)->deleted);
    EXPECT_EQ(LiveLinks(db(), id), 1);
}

TEST_P(WorkerStoreTest, DismissalTogglesEveryServiceLink) {
    WorkerStore store(db());
    const QString id = store.Insert(Worker(QStringLiteral("Сидоров")), QStringLiteral("a"));
    AddLink(db(), QStringLiteral("sw1"), QStringLiteral("s1"), id);
    AddLink(db(), QStringLiteral("sw2"), QStringLiteral("s2"), id);
    AddLink(db(), QStringLiteral("sw3"), QStringLiteral("s3"), id, true);  // removed from a service by hand

    WorkerRecord w = *store.Load(id);
    w.workTel = QStringLiteral("новый");
    store.Update(w);  // an edit that leaves the dismissal as it was does not touch the links
    EXPECT_EQ(LiveLinks(db(), id), 2);

    w.workOut = true;
    store.Update(w);
    EXPECT_TRUE(store.Load(id)->workOut);
    EXPECT_EQ(store.Load(id)->workDataOut, QDateTime(QDate(2024, 6, 15), QTime(18, 0)));
    EXPECT_EQ(LiveLinks(db(), id), 0);

    // Taking the dismissal back restores every link, the one removed by hand included.
    w.workOut = false;
    store.Update(w);
    EXPECT_EQ(LiveLinks(db(), id), 3);

    // A failed save leaves both the worker and the links as they were.
    w.workOut = true;
    db().SetWriteHook([](const QString &sql) {
        if (sql.contains(QStringLiteral("ServiceWork"), Qt::CaseInsensitive))
            throw DbError(QStringLiteral("locked"));
    });
    EXPECT_THROW(store.Update(w), DbError);
    db().SetWriteHook({});
    EXPECT_FALSE(store.Load(id)->workOut);
    EXPECT_EQ(LiveLinks(db(), id), 3);
}
