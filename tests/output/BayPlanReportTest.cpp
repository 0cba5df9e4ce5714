#include "BayPlanSheet.h"
#include "DocumentFixture.h"
#include "ReportStore.h"
#include "RtfTemplateFiller.h"
#include "SheetCheck.h"
#include "TestRows.h"

// A day on three live bays and a deleted one, with orders planned across its midnights and some that
// belong to no bay of the day.
class BayPlanReportTest : public DocumentTest {
protected:
    void Fill() override {
        DocumentTest::Fill();
        // Put out of name order: the plan lists the bays as the board does, by name.
        for (const TestRows::Bay &b : {TestRows::Bay{"b2", "Бокс 2"}, TestRows::Bay{"b3", "Бокс 3"},
                                       TestRows::Bay{"b1", "Бокс 1"}, TestRows::Bay{"bx", "Старый", true}})
            TestRows::Put(db(), b);
        TestRows::Put(db(), TestRows::Client{.key = "c1", .name = "Иванов И.И.", .tel = "8-900-000-00-01"});
        TestRows::Put(db(),
                      TestRows::Client{.key = "c2", .name = "ООО \"Ромашка\"", .tel = "8-900-000-00-02"});
        TestRows::Put(db(), TestRows::Car{.key = "a2", .plate = "В222ВВ69"});
        Plan("z2", "b1", At(2, 14), At(2, 15));
        Plan("z3", "b1", At(2, 9), At(2, 9, 45));
        Plan("z4", "b1", At(1, 22), At(2, 1, 30));  // from the evening before
        Plan("z5", "b1", At(2, 23), At(3, 2));      // on into the next day
        TestRows::Put(db(), TestRows::Order{.key = "z1",
                                            .number = "Z1",
                                            .car = "a2",
                                            .client = "c2",
                                            .lines = {{.name = "Развал-схождение"}, {.name = "Мойка"}}});
        Schedule("z1", "b2", At(2, 10), At(2, 11, 30));
        Plan("z6", "b2", At(2, 20), At(3, 0));                                  // until the day's midnight
        Plan("z7", "b2", At(1, 20), At(3, 8));                                  // over the whole day
        Plan("z8", "bx", At(2, 12), At(2, 13));                                 // a deleted bay
        TestRows::Put(db(), TestRows::Order{.key = "z9", .begin = At(2, 12)});  // planned on no bay
        Plan("za", "b3", At(3, 10), At(3, 11));                                 // another day
    }
    static QDateTime At(int day, int hour, int minute = 0) {
        return QDateTime(QDate(2026, 3, day), QTime(hour, minute));
    }
    void Schedule(const char *key, const char *bay, const QDateTime &start, const QDateTime &end) {
        db().Exec("UPDATE TZakaz SET IddBox = ?, ZakazBegin = ?, ZakazPlanEnd = ? WHERE IddZakaz = ?",
                  {bay, start, end, key});
    }
    void Plan(const char *key, const char *bay, const QDateTime &start, const QDateTime &end) {
        TestRows::Put(db(), TestRows::Order{.key = key, .number = QString(key).toUpper()});
        Schedule(key, bay, start, end);
    }
    BayPlanDay Day() { return ReportStore(db()).BayPlan(QDate(2026, 3, 2)); }

    static const inline QString kIvanov = "Иванов И.И.||Мойка|8-900-000-00-01";
};
ZV_INSTANTIATE_DB_TESTS(BayPlanReportTest);

TEST_P(BayPlanReportTest, ReportListsEachBaysOrdersByStartWithTheirTimes) {
    QTemporaryDir dir;
    ExcelSession session(dir.path(), {});
    ASSERT_TRUE(ExcelReports(session, {}, false).BayPlan(Day()));
    EXPECT_EQ(Table(session.Sheet(), "A1:G11"),
              S("План работ боксов на 02.03.2026||||||\n"
                "ООО \"Шинный двор\"||||||\n"
                "Бокс|Время|Заказ|Клиент|Гос. номер|Услуги|Телефон\n"
                "Бокс 1|01.03 22:00–01:30|Z4|" +
                kIvanov +
                "\n"
                "Бокс 1|09:00–09:45|Z3|" +
                kIvanov +
                "\n"
                "Бокс 1|14:00–15:00|Z2|" +
                kIvanov +
                "\n"
                "Бокс 1|23:00–03.03 02:00|Z5|" +
                kIvanov +
                "\n"
                "Бокс 2|01.03 20:00–03.03 08:00|Z7|" +
                kIvanov +
                "\n"
                "Бокс 2|10:00–11:30|Z1|ООО \"Ромашка\"|В222ВВ69|Мойка, Развал-схождение|8-900-000-00-02\n"
                "Бокс 2|20:00–24:00|Z6|" +
                kIvanov +
                "\n"
                "||||||"));
    // The order number stays text; the sheet prints on its side.
    EXPECT_EQ(LooksAt(session.Sheet(), "A1 A2 A3 C4 F4"), "bc14 bc bcr r@ r@");
    EXPECT_TRUE(session.Sheet().Page().landscape);
}

TEST_P(BayPlanReportTest, SheetPutsEveryFieldInItsPlaceAndIsWrittenUnderDoc) {
    BayPlanDay plan = Day();
    ASSERT_EQ(plan.bays.size(), 3);
    // Typed text stays in its field.
    plan.bays[1].rows[1].client = "Ромашка |2:nomer:X #1\nфилиал";
    const QByteArray data = BayPlanSheet::Data(plan, At(2, 8, 5));
    QFile file(m_work.filePath("plan.txt"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(data) == data.size());
    file.close();
    ASSERT_EQ(
        RtfTemplateFiller(&m_prompter).Fill(file.fileName(), ZV_TEMPLATES_DIR "/splan_box.rtf", "m.doc"), 0);
    const QString merged = Read("m.doc");
    // Every value in the order it is printed: title, each bay with work and its orders, the free bays.
    QStringList expected = {"План работ на 02.03.2026", "ООО \"Шинный двор\"", "Бокс 1"};
    for (const char *row :
         {"01.03 22:00–01:30|Z4", "09:00–09:45|Z3", "14:00–15:00|Z2", "23:00–03.03 02:00|Z5"})
        expected << QString(row).split(u'|') << "Иванов И.И."
                 << "Мойка";
    expected << "Бокс 2"
             << "01.03 20:00–03.03 08:00"
             << "Z7"
             << "10:00–11:30"
             << "Z1"
             << "В222ВВ69"
             << "Ромашка ¦2:nomer:X \\'231{\\par}филиал"
             << "Мойка, Развал-схождение"
             << "20:00–24:00"
             << "Z6"
             << "Весь день свободны: Бокс 3"
             << "Напечатано 02.03.2026 08:05";
    qsizetype at = 0;
    for (const QString &text : expected) {
        const qsizetype found = merged.indexOf(text, at);
        EXPECT_GE(found, 0) << S(text) << " after " << S(merged.mid(at, 80));
        at = std::max(at, found);
    }
    // A caption row per bay with work and a row per order; no placeholder or section marker is left.
    EXPECT_EQ(merged.count("\\row"), 2 + 7);
    EXPECT_FALSE(merged.contains(u'#'));
    EXPECT_EQ(merged.count(u'{'), merged.count(u'}'));

    QStringList opened;
    BayPlanSheet sheet(m_prompter, m_work.path(), [&](const QString &p) { return opened << p, false; });
    const QString path = sheet.Print(plan);
    EXPECT_EQ(S(path), S(m_work.filePath("doc/PlanBoxov_2026-03-02.doc")));
    EXPECT_EQ(opened, QStringList{path});
    EXPECT_TRUE(Read(path).contains("Весь день свободны: Бокс 3"));
    EXPECT_TRUE(m_prompter.warnings.value(0).startsWith("План работ сохранён в файл «" + path + "»"));
    // Nothing planned: nothing to print, nothing opened.
    EXPECT_EQ(sheet.Print(ReportStore(db()).BayPlan(QDate(2026, 3, 5))), "");
    EXPECT_EQ(m_prompter.warnings.value(1),
              "На 05.03.2026 на боксах ничего не запланировано: печатать нечего.");
    EXPECT_EQ(opened.size(), 1);
}
