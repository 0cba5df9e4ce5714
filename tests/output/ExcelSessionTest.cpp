#include "ExcelSession.h"
#include "SheetCheck.h"
#include "XlsxProbe.h"

#include <QFile>
#include <QTemporaryDir>
#include <cmath>

namespace {

// A session writing into a temporary folder whose opener records what it was asked to open.
struct SessionFixture : ::testing::Test {
    QTemporaryDir dir;
    QStringList opened;
    QString refuse;  // what the opener answers
    ExcelSession session{dir.filePath("reports/new"), [this](const QString &file) {
                             opened << file;
                             return refuse;
                         }};
};

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
    } good[] = {{"B4", {3, 1, 3, 1}},        {" a1:g2 ", {0, 0, 1, 6}},
                {"G2:A1", {0, 0, 1, 6}},     {"$B$3", {2, 1, 2, 1}},
                {"CX9", {8, 101, 8, 101}},   {"XFD1048576", {1048575, 16383, 1048575, 16383}},
                {"C:C", {0, 2, 1048575, 2}}, {"3:5", {2, 0, 4, 16383}}};
    for (const auto &c : good) EXPECT_EQ(CellRange::Parse(c.text), c.range) << c.text;
    for (const char *bad : {"", "A", "7", "A0", "XFE1", "A1048577", "A1:", "A1:B2:C3", "A1:C", "Ж1", "A1$"})
        EXPECT_FALSE(CellRange::Parse(bad)) << bad;
    for (const auto &[column, name] : std::initializer_list<std::pair<int, const char *>>{
             {25, "Z"}, {26, "AA"}, {701, "ZZ"}, {702, "AAA"}}) {
        EXPECT_EQ(S(CellRange::ColumnName(column)), name);
        EXPECT_EQ(CellRange::Parse(QString::fromLatin1(name) + "1")->firstColumn, column) << name;
    }
    EXPECT_EQ(S(CellRange::Parse("b2:a1")->Name()), "A1:B2");
}

TEST_F(SessionFixture, RefusesBadInputAndKeepsTheSheet) {
    session.SetText("A1", "до");
    const ExcelSheet before = session.Sheet();
    ::testing::internal::CaptureStdout();
    const ExcelError bad = Thrown([&] { session.SetText("A0", "x"); });
    const std::string printed = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(bad.code(), ExcelError::kInvalidArgument);
    EXPECT_TRUE(bad.text().contains(u"«A0»")) << S(bad.text());
    EXPECT_EQ(printed, S(bad.Report()));
    EXPECT_EQ(printed.rfind("_com_error:\nError       : 80070057\nErrorMessage: ", 0), 0u) << printed;

    ::testing::internal::CaptureStdout();
    for (const auto &call : std::initializer_list<std::function<void()>>{
             [&] { session.Bold("B2:"); }, [&] { session.SetText("A1:XFC1000", "x"); },
             [&] { session.Merge("1:1048576"); }, [&] { session.SetPage(9, true); },
             [&] { session.ColumnWidth("A:A", std::nan("")); }})
        EXPECT_EQ(Thrown(call).code(), ExcelError::kInvalidArgument);
    ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(session.Sheet().Cells(), before.Cells());
    EXPECT_EQ(session.Sheet().Page(), PageSetup{});
}

// The pattern every report follows: merged bold title, bordered headings, text cells, merged totals;
// formats of whole columns and rows reach old and new cells.
TEST_F(SessionFixture, KeepsWhatAReportBuilds) {
    session.Start("Касса");
    session.SetPage(85, true);
    session.SetText("A1", "Отчет");
    session.SetText("C2", "lost on merge");
    session.Merge("A1:G2");
    session.Bold("A1:G2");
    session.FontSize("A1:G2", 14);
    session.Centre("A1:G2");
    session.SetText("A1:G2", "Отчет об операциях по кассе.");
    session.SetTextFormat("A4");
    session.SetText("A4", "007");
    session.Border("A3:G4");
    session.Wrap("D4");
    session.Merge("A5:B5");
    session.Merge("B5:B6");  // overlaps the last one: they become one
    session.Merge("E5");     // a single cell is no merge
    session.SetText("J2", "old");
    session.Bold("J:K");
    session.Border("9:9");
    session.SetText("J12", "new");
    session.SetText("A9", "row");

    const ExcelSheet &s = session.Sheet();
    // C2 is hidden under the merge: neither kept nor written.
    EXPECT_EQ(Texts(s, "A1 C2 B1 A4 J2 J12 A9"), "Отчет об операциях по кассе.|||007|old|new|row");
    EXPECT_EQ(LooksAt(s, "A1 G2 A4 D4 G3 H3 J2 J12 K1000000 L2 A9 J9 J10"),
              "bc14 bc14 r@ rw r - b b b - r br b");
    EXPECT_EQ(Merges(s), "A1:G2 A5:B6");
    EXPECT_EQ(s.Page(), (PageSetup{85, true}));
    session.Start();
    EXPECT_TRUE(session.Sheet().Cells().empty() && session.Sheet().Merges().empty());
}

// What was kept in memory is what the file holds, and LibreOffice Calc opens it with the same values.
TEST_F(SessionFixture, WritesAWorkbookCalcReads) {
    session.Start("Отчет: касса/банк");
    session.Merge("A1:C1");
    session.SetText("A1", "Оборотная ведомость");
    session.SetTextFormat("A2:B2");
    session.SetText("A2", "007");
    session.SetText("B2", "12.00");
    session.SetText("C2", "-1234.50");
    session.SetText("A3", "=1+1");
    session.SetText("B3", "Зарплата, \"аванс\"");
    session.SetText("C3", "42");

    const QString file = session.Show();
    EXPECT_EQ(opened, QStringList{file});
    EXPECT_TRUE(file.startsWith(dir.filePath("reports/new/Отчет касса банк ")) && file.endsWith(u".xlsx"))
        << S(file);
    const XlsxProbe x = XlsxProbe::Read(file);
    ASSERT_TRUE(x.error.isEmpty()) << S(x.error);
    EXPECT_EQ(x.merges, QStringList{"A1:C1"});
    EXPECT_TRUE(x.cells.value("B2").text);
    EXPECT_FALSE(x.cells.value("C2").text);  // an amount in a plain cell is a number Calc can sum

    QString error;
    const QList<QStringList> rows = CalcRows(file, &error);
    ASSERT_TRUE(error.isEmpty()) << S(error);
    EXPECT_EQ(rows, (QList<QStringList>{{"Оборотная ведомость", {}, {}},
                                        {"007", "12.00", "-1234.50"},
                                        {"=1+1", "Зарплата, \"аванс\"", "42"}}));

    // Every Show is a new file; the earlier one stays as it was.
    session.SetText("A1", "второй");
    const QString second = session.Show();
    EXPECT_EQ(opened, QStringList({file, second}));
    EXPECT_EQ(S(XlsxProbe::Read(file).cells.value("A1").value), "Оборотная ведомость");
    EXPECT_EQ(S(XlsxProbe::Read(second).cells.value("A1").value), "второй");
}

TEST_F(SessionFixture, FailuresToSaveOrOpenNameTheirReason) {
    ::testing::internal::CaptureStdout();
    refuse = "нет программы";
    const ExcelError notOpened = Thrown([&] { session.Show(); });
    EXPECT_EQ(notOpened.code(), ExcelError::kNoAssociation);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_TRUE(QFile::exists(opened[0]));  // written, so the user can still find it
    EXPECT_TRUE(notOpened.text().contains(opened[0]) && notOpened.text().contains(refuse))
        << S(notOpened.text());

    QFile blocker(dir.filePath("file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    ExcelSession blocked(dir.filePath("file/reports"), [&](const QString &) {
        ADD_FAILURE() << "opened";
        return QString();
    });
    const ExcelError notSaved = Thrown([&] { blocked.Show(); });
    EXPECT_EQ(notSaved.code(), ExcelError::kCannotMake);
    EXPECT_TRUE(notSaved.text().contains("file/reports")) << S(notSaved.text());
    EXPECT_NE(::testing::internal::GetCapturedStdout().find("Error       : 80070052"), std::string::npos);
}
