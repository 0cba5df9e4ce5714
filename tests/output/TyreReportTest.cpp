#include "DocumentFixture.h"
#include "ReportStore.h"
#include "Rub.h"
#include "SheetCheck.h"
#include "TestRows.h"
#include "TyreStore.h"

// Four sets kept in three places (cell 10 typed after cell 2, a client typed in small letters), one given
// back and one deleted; looked at on 2 November 2026.
class TyreReportTest : public DocumentTest {
protected:
    void Fill() override {
        DocumentTest::Fill();
        TestRows::Put(db(), TestRows::Client{.key = "c1", .name = "Сидоров Иван"});
        TestRows::Put(db(), TestRows::Client{.key = "c2", .name = "ООО Ромашка"});
        TestRows::Put(db(), TestRows::Client{.key = "c3", .name = "абрамов Пётр"});
        TestRows::Put(db(), TestRows::Car{.key = "a1", .plate = "К100КК77", .owner = "c1"});
        TestRows::Put(db(), TestRows::Car{.key = "a2", .plate = "В777ОР199", .owner = "c2"});
        TestRows::Put(db(), TestRows::Car{.key = "a3", .plate = "Е555КХ77", .owner = "c3"});
        TestRows::Put(db(), TestRows::Car{.key = "a4", .plate = "А001АА77", .owner = "c1"});
        TyreStore store(db());
        const QString cell10 = store.SavePlace({.rack = "А", .shelf = "1", .cell = "10"}, "anna");
        const QString cell2 =
            store.SavePlace({.rack = "А", .shelf = "1", .cell = "2", .capacity = 2}, "anna");
        const QString rackB = store.SavePlace({.rack = "Б", .shelf = "1", .cell = "1"}, "anna");
        TakeIn("c1", "a4", cell10, QDate(2026, 4, 10), QDate(2027, 4, 10));  // paid two seasons ahead
        const QString out = TakeIn("c1", "a1", cell2, QDate(2026, 3, 1), {});
        store.GiveOut(out, QDate(2026, 4, 1));
        TakeIn("c2", "a2", cell2, QDate(2026, 4, 12), QDate(2026, 5, 1));
        store.Delete(TakeIn("c3", "a3", cell2, QDate(2026, 4, 12), {}));
        TakeIn("c1", "a1", cell2, QDate(2026, 6, 1), {});
        TakeIn("c3", "a3", rackB, QDate(2026, 2, 1), {});
    }
    QString TakeIn(const char *client, const char *car, const QString &place, const QDate &in,
                   const QDate &paidUntil) {
        TyreSet s;
        s.iddClient = client, s.iddAvto = car, s.iddPlace = place, s.dateIn = in, s.paidUntil = paidUntil;
        s.maker = "Nokian", s.model = "Hakkapeliitta 10", s.size = "205/55 R16", s.fee = Rub(1500);
        return TyreStore(db()).TakeIn(s, "anna");
    }
    TyreStorageReport Read(TyreReportOrder order) {
        return ReportStore(db()).TyresInStorage(order, QDate(2026, 11, 2));
    }
    // Each row's client, plate, code and, for the overdue, the seasons.
    static QStringList Rows(const TyreStorageReport &report) {
        QStringList rows;
        for (const TyreReportRow &r : report.rows)
            rows << QStringList{r.client, r.plate, r.code, QString::number(r.seasonsOverdue)}.join(u'|');
        return rows;
    }

    static inline const QString kSet = "4 шт., 205/55 R16, Nokian Hakkapeliitta 10, зимние, без дисков";
};
ZV_INSTANTIATE_DB_TESTS(TyreReportTest);

// By place: rack, shelf and cell, cell 2 before cell 10, and by the day taken in within a place; the set
// given back and the deleted one are not there.
TEST_P(TyreReportTest, KeptSetsAreListedByPlaceUnderTheDayAndTheShop) {
    const TyreStorageReport report = Read(TyreReportOrder::ByPlace);
    QTemporaryDir dir;
    ExcelSession session(dir.path(), {});
    ASSERT_TRUE(ExcelReports(session, {}, false).TyresInStorage(report));
    const QString cell2 = "Стеллаж А, полка 1, ячейка 2|";
    EXPECT_EQ(Table(session.Sheet(), "A1:H9"),
              S("Шины на хранении на 02.11.2026 по местам хранения|||||||\n"
                "ООО \"Шинный двор\"|||||||\n"
                "Место|Клиент|Гос. номер|Комплект|Принят|Оплачено до|Код|\n" +
                cell2 + "ООО Ромашка|В777ОР199|" + kSet + "|12.04.2026|01.05.2026|260412-1|\n" + cell2 +
                "Сидоров Иван|К100КК77|" + kSet +
                "|01.06.2026|01.12.2026|260601-1|\n"
                "Стеллаж А, полка 1, ячейка 10|Сидоров Иван|А001АА77|" +
                kSet +
                "|10.04.2026|10.04.2027|260410-1|\n"
                "Стеллаж Б, полка 1, ячейка 1|абрамов Пётр|Е555КХ77|" +
                kSet +
                "|01.02.2026|01.08.2026|260201-1|\n"
                "Всего комплектов: 4|||||||\n"
                "|||||||"));
    EXPECT_EQ(Merges(session.Sheet()), "A1:G1 A2:G2 A8:G8");
    // The code stays text; the sheet prints on its side.
    EXPECT_EQ(LooksAt(session.Sheet(), "A1 A3 G4 A8"), "bc14 bcr r@ br");
    EXPECT_TRUE(session.Sheet().Page().landscape);
}

// By client: by name in the alphabet's order whatever the case, then by plate; overdue: only those paid
// until before the day, the longest overdue first, with the seasons begun since.
TEST_P(TyreReportTest, ByClientOrOnlyTheOverdueWithTheirSeasons) {
    EXPECT_EQ(Rows(Read(TyreReportOrder::ByClient)),
              (QStringList{"абрамов Пётр|Е555КХ77|260201-1|1", "ООО Ромашка|В777ОР199|260412-1|2",
                           "Сидоров Иван|А001АА77|260410-1|0", "Сидоров Иван|К100КК77|260601-1|0"}));
    const TyreStorageReport overdue = Read(TyreReportOrder::Overdue);
    EXPECT_EQ(Rows(overdue),
              (QStringList{"ООО Ромашка|В777ОР199|260412-1|2", "абрамов Пётр|Е555КХ77|260201-1|1"}));
    QTemporaryDir dir;
    ExcelSession session(dir.path(), {});
    ASSERT_TRUE(ExcelReports(session, {}, false).TyresInStorage(overdue));
    EXPECT_EQ(Table(session.Sheet(), "A1:H1"),
              "Шины на хранении с просроченной оплатой на 02.11.2026|||||||");
    EXPECT_EQ(Texts(session.Sheet(), "H3 H4 H5 A6"), "Просрочено сезонов|2|1|Всего комплектов: 2");
    EXPECT_EQ(Merges(session.Sheet()), "A1:H1 A2:H2 A6:H6");
    // Nothing overdue on the day the first was paid until: an empty list with its total.
    EXPECT_TRUE(ReportStore(db()).TyresInStorage(TyreReportOrder::Overdue, QDate(2026, 5, 1)).rows.isEmpty());
}
