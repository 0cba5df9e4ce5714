#include "ExcelSession.h"
#include "SheetCheck.h"
#include "XlsxProbe.h"

#include <QFile>
#include <cmath>

namespace {

template <typename F>
ExcelError Thrown(F f) {
    try {
        f();
    } catch (const ExcelError &e) {
        return e;
    }
    ADD_FAILURE() << "no ExcelError";
    return ExcelError(0, {});
}

}  // namespace

TEST(CellRangeTest, ReadsAddressesAndRefusesTheRest) {
    const struct {
        const char *text;
        CellRange range;
    } good[] = {{"B4", {3, 1, 3, 1}},        {"G2:A1", {0, 0, 1, 6}},
                {"$B$3", {2, 1, 2, 1}},      {"ZZ9", {8, 701, 8, 701}},
                {"AAA1", {0, 702, 0, 702}},  {"XFD1048576", {1048575, 16383, 1048575, 16383}},
                {"C:C", {0, 2, 1048575, 2}}, {"3:5", {2, 0, 4, 16383}}};
    for (const auto &c : good) {
        EXPECT_EQ(CellRange::Parse(c.text), c.range) << c.text;
        EXPECT_EQ(CellRange::Parse(c.range.Name()), c.range) << c.text;  // named as it is read
    }
    for (const char *bad : {"", "A", "7", "A0", "XFE1", "A1048577", "A1:", "A1:B2:C3", "A1:C", "Ж1", "A1$"})
        EXPECT_FALSE(CellRange::Parse(bad)) << bad;
    EXPECT_EQ(S(CellRange::Parse("b2:a1")->Name()), "A1:B2");
}

// A merge hides the cells under it; overlapping merges become one; formats of whole rows and columns reach
// old and new cells.
TEST_F(SessionFixture, KeepsWhatAReportBuildsAndWritesIt) {
    session.SetText("C2", "lost on merge");
    session.Merge("A1:G2");
    session.SetText("A1:G2", "Отчет");
    session.Merge("A5:B5");
    session.Merge("B5:B6");
    session.Merge("E5");  // a single cell is no merge
    session.SetText("J2", "old");
    session.Bold("J:K");
    session.Border("9:9");
    session.SetText("J12", "new");
    const ExcelSheet &s = session.Sheet();
    EXPECT_EQ(Texts(s, "A1 C2 B1 J2 J12"), "Отчет|||old|new");
    EXPECT_EQ(LooksAt(s, "J2 J12 K1000000 L2 A9 J9 J10"), "b b b - r br b");
    EXPECT_EQ(Merges(s), "A1:G2 A5:B6");

    // A new report starts empty; what was kept in memory is what the file holds.
    session.Start("Отчет: касса/банк");
    EXPECT_TRUE(session.Sheet().Cells().empty() && session.Sheet().Merges().empty());

    session.Merge("A1:C1");
    session.SetText("A1", "Оборотная ведомость");
    session.SetTextFormat("A2:B2");
    const char *typed[][2] = {
        {"A2", "007"}, {"B2", "12.00"}, {"C2", "-1234.50"}, {"A3", "=1+1"}, {"B3", "Зарплата, \"аванс\""},
        {"C3", "42"}};
    for (const auto &[cell, text] : typed) session.SetText(cell, text);

    const QString file = session.Show();
    EXPECT_TRUE(file.startsWith(dir.filePath("reports/new/Отчет касса банк ")) && file.endsWith(u".xlsx"))
        << S(file);
    const XlsxProbe x = XlsxProbe::Read(file);
    ASSERT_TRUE(x.error.isEmpty()) << S(x.error);
    EXPECT_EQ(x.merges, QStringList{"A1:C1"});
    // Its user's alone, in a folder made for him alone; nothing else left beside it.
    EXPECT_EQ((QFile::permissions(file) & 0x7077).toInt(), 0x6000);  // the owner's rw- alone
    EXPECT_EQ((QFile::permissions(dir.filePath("reports/new")) & 0x7077).toInt(), 0x7000);
    EXPECT_EQ(QDir(dir.filePath("reports/new")).entryList(QDir::Files | QDir::Hidden).size(), 1);
    // Numbers marked "#": an amount in a plain cell is one a spreadsheet can sum; a formula stays text.
    QStringList cells;
    for (const auto &[cell, text] : typed)
        cells << x.cells.value(cell).value + (x.cells.value(cell).text ? "" : "#");
    EXPECT_EQ(S(cells.join(u'|')), "007|12.00|-1234.5#|=1+1|Зарплата, \"аванс\"|42#");
    // Every Show is a new file; the earlier one stays as it was.
    session.SetText("A1", "второй");
    const QString second = session.Show();
    EXPECT_EQ(opened, QStringList({file, second}));
    EXPECT_EQ(S(XlsxProbe::Read(file).cells.value("A1").value + '|' +
                XlsxProbe::Read(second).cells.value("A1").value),
              "Оборотная ведомость|второй");
}

// Bad input is refused and changes nothing; failures to save or open the file name their reason.
TEST_F(SessionFixture, RefusesBadInputAndNamesWhyItCouldNotSaveOrOpen) {
    ::testing::internal::CaptureStdout();
    session.SetText("A1", "до");
    const ExcelSheet before = session.Sheet();
    const ExcelError bad = Thrown([&] { session.SetText("A0", "x"); });
    EXPECT_TRUE(bad.code() == ExcelError::kInvalidArgument && bad.text().contains(u"«A0»")) << S(bad.text());
    for (const auto &call : std::initializer_list<std::function<void()>>{
             [&] { session.SetText("A1:XFC1000", "x"); }, [&] { session.Merge("1:1048576"); },
             [&] { session.SetPage({.zoom = 9}); }, [&] { session.ColumnWidth("A:A", std::nan("")); }})
        EXPECT_EQ(Thrown(call).code(), ExcelError::kInvalidArgument);
    EXPECT_EQ(session.Sheet().Cells(), before.Cells());
    EXPECT_EQ(session.Sheet().Page(), PageSetup{});

    // Not opened is no failure: the file is written and the message names it.
    refuse = "нет программы";
    const QString file = session.Show();
    EXPECT_TRUE(QFile::exists(file) && opened == QStringList{file});
    EXPECT_EQ(S(session.NotOpened()),
              S("Отчёт сохранён в файл «" + file + "», но открыть его не удалось: " + refuse + '.'));

    QFile blocker(dir.filePath("file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    ExcelSession blocked(dir.filePath("file/reports"), [&](const QString &) {
        ADD_FAILURE() << "opened";
        return QString();
    });
    const ExcelError notSaved = Thrown([&] { blocked.Show(); });
    EXPECT_TRUE(notSaved.code() == ExcelError::kCannotMake && notSaved.text().contains("file/reports"))
        << S(notSaved.text());
    EXPECT_NE(::testing::internal::GetCapturedStdout().find("Error       : 80070052"), std::string::npos);
}
