#include "DbError.h"
#include "DynamicRecordset.h"
#include "Rows.h"
#include "TestDb.h"

using Kind = CDynamicField::Kind;

TEST(DynamicField, ReadingConversions) {
    CDynamicField yes(Kind::Boolean, QStringLiteral("PRJOB"));
    yes.Load(1);
    EXPECT_EQ(yes.AsText(), QStringLiteral("T"));
    EXPECT_EQ(yes.AsLong(), 1);
    EXPECT_DOUBLE_EQ(yes.AsDouble(), 1.0);
    CDynamicField no(Kind::Boolean, QStringLiteral("PRJOB"));
    no.Load(false);
    EXPECT_EQ(no.AsText(), QStringLiteral("F"));
    EXPECT_EQ(no.AsLong(), 0);

    CDynamicField text(Kind::Text, QStringLiteral("T"));
    text.Load(QStringLiteral("12.75 руб"));
    EXPECT_EQ(text.AsLong(), 12);
    EXPECT_DOUBLE_EQ(text.AsDouble(), 12.75);
    text.Load(QStringLiteral("нет"));
    EXPECT_EQ(text.AsLong(), 0);

    CDynamicField dbl(Kind::Double, QStringLiteral("D"));
    dbl.Load(-7.9);
    EXPECT_EQ(dbl.AsLong(), -7);  // toward zero
    EXPECT_EQ(dbl.AsText(), QStringLiteral("-7.900000"));

    CDynamicField nul(Kind::Long, QStringLiteral("N"));
    nul.Load(QVariant());
    EXPECT_TRUE(nul.IsNull());
    EXPECT_EQ(nul.AsLong(), 0);
    EXPECT_EQ(nul.AsText(), QString());
    EXPECT_FALSE(nul.AsDateTime().isValid());

    CDynamicField when(Kind::DateTime, QStringLiteral("W"));
    when.Load(QStringLiteral("2024-05-06 07:08:09"));
    EXPECT_EQ(when.AsDateTime(), QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9)));
    EXPECT_EQ(when.AsLong(), 0);
}

TEST(DynamicField, WritingConversions) {
    CDynamicField text(Kind::Text, QStringLiteral("IDDTOP"));
    text.SetLong(0);
    EXPECT_EQ(text.value().toString(), QStringLiteral("0"));  // how a package gets IddTop "0"
    text.SetDouble(2.5);
    EXPECT_EQ(text.value().toString(), QStringLiteral("2.500000"));

    CDynamicField flag(Kind::Boolean, QStringLiteral("DELETE"));
    flag.SetLong(5);
    EXPECT_TRUE(flag.value().toBool());
    flag.SetDouble(0.0);
    EXPECT_FALSE(flag.value().toBool());

    CDynamicField count(Kind::Long, QStringLiteral("N"));
    count.SetText(QStringLiteral("42 шт"));
    EXPECT_EQ(count.value().toLongLong(), 42);
    count.SetDouble(9.99);
    EXPECT_EQ(count.value().toLongLong(), 9);

    CDynamicField when(Kind::DateTime, QStringLiteral("W"));
    when.SetDateTime(QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5, 678)));
    EXPECT_EQ(when.value().toDateTime(), QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5)));  // whole seconds
    when.SetLong(7);                                                                     // unchanged
    EXPECT_EQ(when.value().toDateTime(), QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5)));
}

class RecordsetTest : public DbTest {};
ZV_INSTANTIATE_DB_TESTS(RecordsetTest);

TEST_P(RecordsetTest, RepeatedNamesAndCaseInsensitiveLookup) {
    Rows::Insert(db(), QStringLiteral("TWork"),
                 {{QStringLiteral("IddZakaz"), QStringLiteral("z1")},
                  {QStringLiteral("IddService"), QStringLiteral("s1")},
                  {QStringLiteral("IddWork"), QStringLiteral("w1")},
                  {QStringLiteral("WorkFIO"), QStringLiteral("Петров")},
                  {QStringLiteral("Delete"), true}});
    Rows::Insert(db(), QStringLiteral("TService"),
                 {{QStringLiteral("IddZakaz"), QStringLiteral("z1")},
                  {QStringLiteral("IddService"), QStringLiteral("s1")},
                  {QStringLiteral("IddTop"), qint64(0)},
                  {QStringLiteral("Count"), 2.0},
                  {QStringLiteral("Price"), QStringLiteral("150.5")},
                  {QStringLiteral("Delete"), false}});
    CDynamicRecordset rs(db());
    rs.Open(QStringLiteral(
        "SELECT TService.IddTop, TService.[Count], TService.Price, TService.[Delete], "
        "TWork.[Delete] FROM TService INNER JOIN TWork ON TService.IddZakaz = TWork.IddZakaz"));
    ASSERT_FALSE(rs.IsEOF());
    EXPECT_EQ(rs.FieldCount(), 5);
    EXPECT_EQ(rs.FieldIndex(QStringLiteral("delete")), 3);
    EXPECT_EQ(rs.FieldIndex(QStringLiteral("Delete2")), 4);
    EXPECT_EQ(rs.Field(QStringLiteral("DELETE")).AsText(), QStringLiteral("F"));
    EXPECT_EQ(rs.Field(QStringLiteral("DELETE2")).AsText(), QStringLiteral("T"));
    EXPECT_EQ(rs.Field(QStringLiteral("delete2")).AsLong(), 1);
    EXPECT_EQ(rs.Text(QStringLiteral("iddtop")), QStringLiteral("0"));
    EXPECT_DOUBLE_EQ(rs.Double(QStringLiteral("Price")), 150.5);  // text written to a number column
    EXPECT_DOUBLE_EQ(rs.Double(QStringLiteral("COUNT")), 2.0);
    EXPECT_EQ(rs.FieldIndex(QStringLiteral("NoSuchColumn")), -1);
    EXPECT_EQ(rs.Text(QStringLiteral("NoSuchColumn")), QString());
    rs.MoveNext();
    EXPECT_TRUE(rs.IsEOF());
}

TEST_P(RecordsetTest, ValuesAreBoundNotSpliced) {
    const QString nasty = QStringLiteral("ООО 'Ромашка'; DROP TABLE SClient; --");
    Rows::Insert(
        db(), QStringLiteral("SClient"),
        {{QStringLiteral("IddClient"), QStringLiteral("c'1")}, {QStringLiteral("ClientName"), nasty}});
    Rows::Insert(db(), QStringLiteral("SClient"),
                 {{QStringLiteral("IddClient"), QStringLiteral("c2")},
                  {QStringLiteral("ClientName"), QStringLiteral("O'Neil")}});
    CDynamicRecordset rs(db());
    rs.Open(QStringLiteral("SELECT SClient.IddClient FROM SClient WHERE SClient.ClientName = ?"), {nasty});
    ASSERT_FALSE(rs.IsEOF());
    EXPECT_EQ(rs.Text(QStringLiteral("IddClient")), QStringLiteral("c'1"));
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM SClient WHERE ClientName LIKE ?"),
                        {QStringLiteral("O'%")}),
              1);
    EXPECT_EQ(
        Rows::Update(db(), QStringLiteral("SClient"), {{QStringLiteral("IddClient"), QStringLiteral("c'1")}},
                     {{QStringLiteral("ClientTel"), QStringLiteral("'")}}),
        1);
}

TEST_P(RecordsetTest, DatesRoundTripInLocalTime) {
    const QDateTime when(QDate(2024, 12, 31), QTime(23, 59, 58));
    Rows::Insert(db(), QStringLiteral("TPay"),
                 {{QStringLiteral("IddPay"), QStringLiteral("p1")},
                  {QStringLiteral("DataPay"), when},
                  {QStringLiteral("Delete"), false}});
    CDynamicRecordset rs(db());
    rs.Open(QStringLiteral("SELECT TPay.DataPay FROM TPay WHERE TPay.DataPay > ? AND TPay.DataPay < ?"),
            {QDateTime(QDate(2024, 12, 31), QTime(0, 0)), QDateTime(QDate(2024, 12, 31), QTime(23, 59, 59))});
    ASSERT_FALSE(rs.IsEOF());
    EXPECT_EQ(rs.Date(QStringLiteral("DataPay")), when);
}

TEST_P(RecordsetTest, DriverErrorsCarryTheDriversText) {
    CDynamicRecordset rs(db());
    try {
        rs.Open(QStringLiteral("SELECT NoSuchField FROM TZakaz"));
        FAIL() << "expected a driver error";
    } catch (const DbError &e) {
        EXPECT_TRUE(e.text().contains(QStringLiteral("nosuchfield"), Qt::CaseInsensitive))
            << e.text().toStdString();
    }
    // A duplicate key fails on the constraint instead of writing a second row.
    Rows::Insert(db(), QStringLiteral("TZakaz"), {{QStringLiteral("IddZakaz"), QStringLiteral("k")}});
    EXPECT_THROW(
        Rows::Insert(db(), QStringLiteral("TZakaz"), {{QStringLiteral("IddZakaz"), QStringLiteral("k")}}),
        DbError);
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM TZakaz")), 1);
}
