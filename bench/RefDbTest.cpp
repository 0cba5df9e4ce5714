#include "BenchTarget.h"
#include "BulkInsert.h"
#include "DynamicRecordset.h"
#include "Formats.h"
#include "RefDb.h"
#include "RefDbGenerator.h"
#include "Rows.h"
#include "StatementCounter.h"
#include "TestDb.h"

#include <QCryptographicHash>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <algorithm>
#include <map>

namespace {

// Keeps a digest of every value instead of writing it.
class DigestSink : public RowSink {
public:
    void Put(const TableDef &table, QVariantList &&values) override {
        m_hash.addData(QByteArray(table.name));
        for (const QVariant &v : values)
            m_hash.addData((v.isNull() ? QStringLiteral("<null>") : v.toString()).toUtf8() + '|');
        ++rows;
    }
    QByteArray Digest() const { return m_hash.result(); }
    int rows = 0;

private:
    QCryptographicHash m_hash{QCryptographicHash::Sha1};
};

constexpr double kScale = 0.005;  // 750 orders

double Number(Database &db, const QString &sql) {
    QSqlQuery q = db.Exec(sql);
    return q.next() ? q.value(0).toDouble() : -1;
}

void ExpectNear(double actual, double target, double share, const char *what) {
    EXPECT_GE(actual, target * (1 - share)) << what;
    EXPECT_LE(actual, target * (1 + share)) << what;
}

}  // namespace

TEST(RefDbGeneratorTest, SameSeedGivesTheSameRowsAndAnotherSeedOthers) {
    DigestSink a, b, c;
    RefDbGenerator(kScale, 11).Run(a);
    RefDbGenerator(kScale, 11).Run(b);
    RefDbGenerator(kScale, 12).Run(c);
    EXPECT_EQ(a.Digest(), b.Digest());
    EXPECT_EQ(a.rows, b.rows);
    EXPECT_NE(a.Digest(), c.Digest());
}

TEST(RefDbTest, KeptDatabaseIsReusedUntilForced) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const BenchTarget target = BenchTarget::Sqlite(dir.filePath(QStringLiteral("ref.db")));
    const RefDb::Outcome first = RefDb::Ensure(target, 0.001);
    EXPECT_TRUE(first.generated);
    const RefDb::Outcome second = RefDb::Ensure(target, 0.001);
    EXPECT_FALSE(second.generated);
    EXPECT_EQ(second.counts.orders, first.counts.orders);
    EXPECT_EQ(second.counts.lines, first.counts.lines);
    EXPECT_TRUE(RefDb::Ensure(target, 0.001, true).generated);
    // Another scale is another database.
    EXPECT_NE(RefDb::Tag(0.001, RefDb::kSeed), RefDb::Tag(0.01, RefDb::kSeed));
}

class RefDbShapeTest : public DbTest {
protected:
    // The share of finished orders with something to pay.
    double OwingShare() {
        return Number(db(),
                      QStringLiteral("SELECT 1.0 * SUM(CASE WHEN ZakazSumma - ZakazOplata > 0.005 THEN 1 "
                                     "ELSE 0 END) / COUNT(*) FROM TZakaz WHERE ZakazStatus = 2 AND "
                                     "ZakazSumma > 0"));
    }
    // Tyre storage: sets taken in at an order of their car, on its day; most fetched, some kept still; no
    // place over its capacity; codes numbered per day.
    void ExpectTyreStorageOfAShop(const RefDb::Outcome &out) {
        EXPECT_GT(out.counts.places, 0);
        EXPECT_EQ(Number(db(), QStringLiteral("SELECT COUNT(*) FROM SPlace")), out.counts.places);
        EXPECT_EQ(Number(db(), QStringLiteral("SELECT COUNT(*) FROM TTyre WHERE [Delete] = FALSE")),
                  out.counts.tyreSets);
        EXPECT_EQ(
            Number(db(), QStringLiteral("SELECT COUNT(*) FROM TTyre WHERE [Delete] = FALSE AND DateOut IS "
                                        "NULL")),
            out.counts.tyresKept);
        EXPECT_GT(out.counts.tyresKept, 0);
        EXPECT_GT(out.counts.tyreSets, out.counts.tyresKept);
        EXPECT_EQ(
            Number(db(),
                   QStringLiteral(
                       "SELECT COUNT(*) FROM TTyre t WHERE t.DateOut <= t.DateIn OR NOT EXISTS (SELECT 1 "
                       "FROM TZakaz z WHERE z.IddZakaz = t.IddZakaz AND z.IddAvto = t.IddAvto AND "
                       "z.IddVlad = t.IddClient AND z.ZakazData = t.DateIn)")),
            0);
        // No place holds more sets at once than its capacity: none more on the day a set came in.
        EXPECT_EQ(
            Number(db(), QStringLiteral(
                             "SELECT COUNT(*) FROM TTyre a INNER JOIN SPlace p ON p.IddPlace = a.IddPlace "
                             "WHERE a.[Delete] = FALSE AND p.Capacity < (SELECT COUNT(*) FROM TTyre b WHERE "
                             "b.IddPlace = a.IddPlace AND b.[Delete] = FALSE AND b.DateIn <= a.DateIn AND "
                             "(b.DateOut IS NULL OR b.DateOut > a.DateIn))")),
            0);
        EXPECT_EQ(Number(db(), QStringLiteral("SELECT COUNT(*) FROM TTyre t WHERE NOT EXISTS (SELECT 1 FROM "
                                              "SPlace p WHERE p.IddPlace = t.IddPlace)")),
                  0);
        // The codes are unique, and each day's are numbered from one on, deleted cards' included, so that a
        // set the program takes in that day gets the next.
        {
            std::map<QString, QStringList> days;
            QSqlQuery q = db().Exec(QStringLiteral("SELECT Code, DateIn FROM TTyre ORDER BY Code"));
            while (q.next())
                days[q.value(1).toDateTime().date().toString(u"yyMMdd")] << q.value(0).toString();
            EXPECT_GT(days.size(), 1u);
            for (auto &[day, codes] : days) {
                QStringList expected;
                for (int n = 1; n <= codes.size(); ++n) expected << day + u'-' + QString::number(n);
                std::sort(codes.begin(), codes.end());
                std::sort(expected.begin(), expected.end());
                EXPECT_EQ(codes, expected) << day.toStdString();
            }
        }
    }
};

TEST_P(RefDbShapeTest, RowsHaveTheShapesOfARealShop) {
    const RefDb::Outcome out = RefDb::Generate(db(), kScale, RefDb::kSeed);
    const RefDbSizes target = RefDbSizes::ForScale(kScale);
    EXPECT_EQ(Number(db(), QStringLiteral("SELECT COUNT(*) FROM TZakaz")), target.orders);
    EXPECT_EQ(Number(db(), QStringLiteral("SELECT COUNT(*) FROM SClient")), target.clients);
    EXPECT_EQ(Number(db(), QStringLiteral("SELECT COUNT(*) FROM SAvto")), target.cars);
    EXPECT_EQ(Number(db(), QStringLiteral("SELECT COUNT(*) FROM SService")), 220);
    ExpectNear(Number(db(), QStringLiteral("SELECT COUNT(*) FROM TService")), target.lines, 0.05, "lines");
    ExpectNear(Number(db(), QStringLiteral("SELECT COUNT(*) FROM TWork")), target.lineWorkers, 0.05,
               "workers");
    ExpectNear(Number(db(), QStringLiteral("SELECT COUNT(*) FROM TPay")), target.payments, 0.05, "payments");
    EXPECT_EQ(Number(db(), QStringLiteral("SELECT COUNT(*) FROM TService")), out.counts.lines);
    EXPECT_EQ(Number(db(), QStringLiteral("SELECT ZakazNomer FROM [Number]")), target.orders);
    ExpectNear(OwingShare(), BenchTarget::kUnpaidShare, 0.3, "finished orders left owing");

    // Ten years of orders.
    QSqlQuery span = db().Exec(QStringLiteral("SELECT MIN(ZakazData), MAX(ZakazData) FROM TZakaz"));
    ASSERT_TRUE(span.next());
    EXPECT_EQ(span.value(0).toDateTime().date().year(), 2016);
    EXPECT_EQ(span.value(1).toDateTime().date().year(), 2026);

    // Package headers carry no workers; every other line has one to three.
    EXPECT_GT(Number(db(), QStringLiteral("SELECT COUNT(*) FROM TService WHERE IddTop = '0'")), 0);
    EXPECT_GT(Number(db(), QStringLiteral("SELECT COUNT(*) FROM TService WHERE IddTop = 'top'")), 0);
    EXPECT_EQ(
        Number(db(), QStringLiteral("SELECT COUNT(*) FROM TService s WHERE s.IddTop <> '0' AND NOT EXISTS "
                                    "(SELECT 1 FROM TWork w WHERE w.IddZakaz = s.IddZakaz AND "
                                    "w.IddService = s.IddService)")),
        0);
    EXPECT_EQ(
        Number(db(), QStringLiteral("SELECT MAX(n) FROM (SELECT COUNT(*) AS n FROM TWork GROUP BY IddZakaz, "
                                    "IddService) x")),
        3);
    EXPECT_EQ(
        Number(db(), QStringLiteral("SELECT COUNT(*) FROM TWork w INNER JOIN TService s ON s.IddZakaz = "
                                    "w.IddZakaz AND s.IddService = w.IddService WHERE s.IddTop = '0'")),
        0);
    // A package's services sit in the same order as its header.
    EXPECT_EQ(
        Number(db(), QStringLiteral("SELECT COUNT(*) FROM TService s WHERE s.IddTop NOT IN ('0', 'top') AND "
                                    "NOT EXISTS (SELECT 1 FROM TService h WHERE h.IddZakaz = s.IddZakaz AND "
                                    "h.IddTop = '0' AND h.IddService = s.IddTop)")),
        0);
    // Workers work only while on the staff.
    EXPECT_EQ(Number(db(), QStringLiteral("SELECT COUNT(*) FROM TWork w INNER JOIN TZakaz z ON z.IddZakaz = "
                                          "w.IddZakaz INNER JOIN SWork k ON k.IddWork = w.IddWork WHERE "
                                          "k.WorkDataIn > z.ZakazData OR (k.WorkOut = TRUE AND "
                                          "k.WorkDataOut <= z.ZakazData)")),
              0);
    // Each order's client owns, or owned, its car.
    EXPECT_EQ(Number(db(), QStringLiteral(
                               "SELECT COUNT(*) FROM TZakaz z WHERE NOT EXISTS (SELECT 1 FROM AvtoVlad l "
                               "WHERE l.IddAvto = z.IddAvto AND l.IddVlad = z.IddVlad)")),
              0);
    // Each order is planned on a live bay until after it starts, every bay has plans, and the shop has hours.
    EXPECT_EQ(
        Number(db(), QStringLiteral("SELECT COUNT(*) FROM TZakaz z WHERE z.ZakazPlanEnd IS NULL OR "
                                    "z.ZakazPlanEnd <= z.ZakazBegin OR NOT EXISTS (SELECT 1 FROM SBox b "
                                    "WHERE b.IddBox = z.IddBox AND b.[Delete] = FALSE)")),
        0);
    EXPECT_EQ(Number(db(), QStringLiteral("SELECT COUNT(DISTINCT IddBox) FROM TZakaz")), 5);
    EXPECT_EQ(Number(db(), QStringLiteral("SELECT COUNT(*) FROM SMain WHERE MainOpen = '08:00' AND "
                                          "MainClose = '20:00'")),
              1);
    // One fleet client with many orders (plus its own few at random), for the client card's benchmark.
    const double fleet = Number(
        db(), QStringLiteral("SELECT MAX(n) FROM (SELECT COUNT(*) AS n FROM TZakaz GROUP BY IddVlad) x"));
    EXPECT_GE(fleet, std::min(500, target.orders / 20));
    EXPECT_LE(fleet, std::min(500, target.orders / 20) + 30);
    // Each order's stored total and VAT are those of its live lines.
    EXPECT_EQ(
        Number(db(), QStringLiteral(
                         "SELECT COUNT(*) FROM TZakaz z WHERE ABS(z.ZakazSumma - COALESCE((SELECT "
                         "SUM(s.[Count]*s.Price*(1 + s.PrNDS/100)) FROM TService s WHERE s.IddZakaz = "
                         "z.IddZakaz AND s.IddTop <> '0' AND s.[Delete] = FALSE), 0)) > 0.000001 OR "
                         "ABS(z.ZakazSummaNDS - COALESCE((SELECT SUM(s.[Count]*s.Price*s.PrNDS/100) FROM "
                         "TService s WHERE s.IddZakaz = z.IddZakaz AND s.IddTop <> '0' AND s.[Delete] = "
                         "FALSE), 0)) > 0.000001")),
        0);
    // And what was paid on it is the sum of its live payments.
    EXPECT_EQ(Number(db(), QStringLiteral(
                               "SELECT COUNT(*) FROM TZakaz z WHERE ABS(z.ZakazOplata - COALESCE((SELECT "
                               "SUM(p.SummaPay) FROM TPay p WHERE p.IddZakaz = z.IddZakaz AND "
                               "p.[Delete] = FALSE), 0)) > 0.000001")),
              0);
    ExpectTyreStorageOfAShop(out);
    // Removed rows and dismissed workers are there.
    EXPECT_GT(Number(db(), QStringLiteral("SELECT COUNT(*) FROM AvtoVlad WHERE [Delete] = TRUE")), 0);
    EXPECT_GT(Number(db(), QStringLiteral("SELECT COUNT(*) FROM SWork WHERE WorkOut = TRUE")), 0);
    EXPECT_GT(Number(db(), QStringLiteral("SELECT COUNT(*) FROM TService WHERE [Delete] = TRUE")), 0);
    EXPECT_GT(Number(db(), QStringLiteral("SELECT COUNT(*) FROM TPay WHERE [Delete] = TRUE")), 0);

    // Some clients owe money, most do not, nobody has paid more than owed.
    const double debtors =
        Number(db(), QStringLiteral("SELECT COUNT(*) FROM TClientDolgD WHERE Sum_SummD > 0.009"));
    EXPECT_GE(debtors, target.clients * 0.01);
    EXPECT_LE(debtors, target.clients * 0.3);
    EXPECT_EQ(Number(db(), QStringLiteral("SELECT COUNT(*) FROM TClientDolgD WHERE Sum_SummD < -0.009")), 0);
}

TEST_P(RefDbShapeTest, CounterCountsEachExecutionAndTransactionEnds) {
    db().Exec(QStringLiteral("CREATE TABLE T1 (A INTEGER)"));
    QSqlQuery q(db().handle());
    ASSERT_TRUE(q.prepare(QStringLiteral("INSERT INTO T1 (A) VALUES (?)")));
    StatementCounter counter(db());
    ASSERT_TRUE(counter.works());
    for (int i = 0; i < 3; ++i) {
        q.bindValue(0, i);
        ASSERT_TRUE(q.exec());
    }
    EXPECT_EQ(counter.Take(), 3);
    Transaction tx(db());
    q.bindValue(0, 9);
    ASSERT_TRUE(q.exec());
    tx.Commit();
    // BEGIN, the insert, COMMIT; on SQLite also naming the writer for the change log and forgetting him.
    EXPECT_EQ(counter.Take(), GetParam() == Backend::Sqlite ? 5 : 3);
    EXPECT_EQ(Number(db(), QStringLiteral("SELECT COUNT(*) FROM T1")), 4);
}

// The bulk writer binds on the driver's own handle; what it stores must read back exactly like a row the
// program itself inserted, in full batches and in the rest.
TEST_P(RefDbShapeTest, BulkRowsReadBackLikeTheProgramsOwnRows) {
    const TableDef *lines = nullptr;
    for (const TableDef &t : Schema::Tables())
        if (QLatin1StringView(t.name) == QLatin1StringView("TService")) lines = &t;
    ASSERT_NE(lines, nullptr);
    const auto row = [](const QString &order, int i) {
        return Values{
            {QStringLiteral("IddZakaz"), order},
            {QStringLiteral("IddService"), QStringLiteral("s%1").arg(i)},
            {QStringLiteral("IddTop"), QStringLiteral("top")},
            {QStringLiteral("Count"), 1.5 * i},
            {QStringLiteral("Name"), i == 2 ? QString() : QStringLiteral("Шиномонтаж «R%1»").arg(i)},
            {QStringLiteral("Price"), 1234.56 + i},
            {QStringLiteral("PrNDS"), i % 2 ? 20.0 : 0.0},
            {QStringLiteral("Summa"), 0.0},
            {QStringLiteral("Time"), Formats::TimeOfDay(QTime(1, 30 + i))},
            {QStringLiteral("PrJob"), i % 2 == 0},
            {QStringLiteral("Job"), 33.3},
            {QStringLiteral("Delete"), i == 5}};
    };
    {
        Transaction tx(db());
        BulkInsert bulk(db(), *lines, 3);
        for (int i = 0; i < 7; ++i) {
            QVariantList values;
            for (const ColumnValue &v : row(QStringLiteral("bulk"), i)) values << v.value;
            bulk.Add(std::move(values));
        }
        bulk.Flush();
        tx.Commit();
    }
    for (int i = 0; i < 7; ++i) Rows::Insert(db(), QStringLiteral("TService"), row(QStringLiteral("own"), i));

    const auto read = [&](const QString &order) {
        QStringList out;
        CDynamicRecordset rs(db());
        rs.Open(QStringLiteral(
                    "SELECT IddService, IddTop, [Count], [Name], Price, PrNDS, Summa, [Time], PrJob, Job, "
                    "[Delete] FROM TService WHERE IddZakaz = ? ORDER BY IddService"),
                {order});
        for (; !rs.IsEOF(); rs.MoveNext()) {
            QStringList fields;
            for (int c = 0; c < rs.FieldCount(); ++c)
                fields << (rs.Field(c).IsNull() ? QStringLiteral("<null>") : rs.Field(c).AsText());
            out << fields.join(u'|');
        }
        return out;
    };
    const QStringList bulk = read(QStringLiteral("bulk"));
    EXPECT_EQ(bulk.size(), 7);
    EXPECT_EQ(bulk, read(QStringLiteral("own")));
}

ZV_INSTANTIATE_DB_TESTS(RefDbShapeTest);

TEST(BenchTargetTest, ArgumentsNameOneDatabaseAndAScale) {
    BenchTarget target = BenchTarget::Sqlite(QString());
    double scale = 0;
    QString error;
    QStringList args = {QStringLiteral("--pg"), QStringLiteral("PGSQL;host=h port=5 dbname=d user=u"),
                        QStringLiteral("--scale=0.1"), QStringLiteral("--benchmark_filter=X")};
    ASSERT_TRUE(BenchTarget::FromArguments(args, &target, &scale, &error)) << error.toStdString();
    EXPECT_TRUE(target.postgres());
    EXPECT_DOUBLE_EQ(scale, 0.1);
    EXPECT_EQ(args, QStringList{QStringLiteral("--benchmark_filter=X")});  // the rest is left for the caller
    EXPECT_EQ(target.Connect(scale),
              QStringLiteral("PGSQL;host=h port=5 dbname=d user=u options=-csearch_path=zv_bench_0_1"));
    EXPECT_NE(target.Schema(1.0), target.Schema(0.01));
    EXPECT_DOUBLE_EQ(target.unpaid(), BenchTarget::kUnpaidShare);
    args = QStringList{QStringLiteral("--sqlite"), QStringLiteral("a.db"), QStringLiteral("--unpaid"),
                       QStringLiteral("0.08")};
    ASSERT_TRUE(BenchTarget::FromArguments(args, &target, &scale, &error)) << error.toStdString();
    EXPECT_DOUBLE_EQ(target.unpaid(), 0.08);

    for (const QStringList &bad : {QStringList{QStringLiteral("--scale"), QStringLiteral("1")},
                                   QStringList{QStringLiteral("--sqlite"), QStringLiteral("a.db"),
                                               QStringLiteral("--pg"), QStringLiteral("host=h")},
                                   QStringList{QStringLiteral("--sqlite"), QStringLiteral("a.db"),
                                               QStringLiteral("--scale"), QStringLiteral("0")},
                                   QStringList{QStringLiteral("--sqlite"), QStringLiteral("a.db"),
                                               QStringLiteral("--unpaid"), QStringLiteral("0.9")}}) {
        QStringList a = bad;
        error.clear();
        EXPECT_FALSE(BenchTarget::FromArguments(a, &target, &scale, &error)) << bad.join(u' ').toStdString();
        EXPECT_FALSE(error.isEmpty());
    }
}

// Real shops that let debts stand have more unpaid orders: the share is the generator's parameter, and a
// database made with another share is another database.
TEST_P(RefDbShapeTest, TheShareOfOrdersLeftOwingIsAParameter) {
    RefDb::Generate(db(), kScale, RefDb::kSeed, 0.2);
    ExpectNear(OwingShare(), 0.2, 0.2, "finished orders left owing");
    EXPECT_NE(RefDb::Tag(kScale, RefDb::kSeed, 0.2), RefDb::Tag(kScale, RefDb::kSeed));
}
