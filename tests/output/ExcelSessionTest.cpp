#include "CellRange.h"
#include "ExcelSession.h"
#include "XlsxProbe.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>

namespace {

std::string S(const QString &s) {
    return s.toStdString();
}

// A session writing into a temporary folder whose opener records what it was asked to open.
struct SessionFixture : ::testing::Test {
    QTemporaryDir dir;
    QStringList opened;
    QString refuse;  // what the opener answers
    ExcelSession session{dir.filePath(QStringLiteral("reports/new")), [this](const QString &file) {
                             opened << file;
                             return refuse;
                         }};
};

CellFormat Looks(bool bold, bool border, const QString &numberFormat = {}) {
    CellFormat f;
    f.bold = bold;
    f.border = border;
    f.numberFormat = numberFormat;
    return f;
}

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
    const auto range = [](const char *text) { return CellRange::Parse(QString::fromUtf8(text)); };
    EXPECT_EQ(range("B4"), (CellRange{3, 1, 3, 1}));
    EXPECT_EQ(range(" a1:g2 "), (CellRange{0, 0, 1, 6}));
    EXPECT_EQ(range("G2:A1"), (CellRange{0, 0, 1, 6}));
    EXPECT_EQ(range("$B$3"), (CellRange{2, 1, 2, 1}));
    EXPECT_EQ(range("CX9"), (CellRange{8, 101, 8, 101}));  // column 102
    EXPECT_EQ(range("XFD1048576"), (CellRange{1048575, 16383, 1048575, 16383}));
    const auto c = range("C:C");
    ASSERT_TRUE(c);
    EXPECT_TRUE(c->WholeColumns());
    EXPECT_FALSE(c->WholeRows());
    EXPECT_EQ(c->firstColumn, 2);
    EXPECT_EQ(c->lastColumn, 2);
    EXPECT_EQ(range("3:5"), (CellRange{2, 0, 4, 16383}));
    for (const char *bad :
         {"",   " ",   "A",    "7",   "A0", "XFE1", "A1048577", "AAAA1", "A1:", ":A1", "A1:B2:C3",
          "1A", "A1B", "A1:C", "C:3", "Ж1", "A-1",  "A 1",      "$$A1",  "A1$", "A١"})
        EXPECT_FALSE(range(bad)) << bad;

    for (const auto &[column, name] : std::initializer_list<std::pair<int, const char *>>{
             {0, "A"}, {25, "Z"}, {26, "AA"}, {101, "CX"}, {701, "ZZ"}, {702, "AAA"}, {16383, "XFD"}}) {
        EXPECT_EQ(S(CellRange::ColumnName(column)), name);
        EXPECT_EQ(CellRange::Parse(QString::fromUtf8(name) + QStringLiteral("1"))->firstColumn, column);
    }
    EXPECT_EQ(S(range("b2:a1")->Name()), "A1:B2");
    EXPECT_EQ(S(range("$d:$c")->Name()), "C:D");
}

TEST_F(SessionFixture, RefusesBadInputAndKeepsTheSheet) {
    session.SetText(QStringLiteral("A1"), QStringLiteral("до"));
    const ExcelSheet before = session.Sheet();
    ::testing::internal::CaptureStdout();
    const ExcelError bad = Thrown([&] { session.SetText(QStringLiteral("A0"), QStringLiteral("x")); });
    const std::string printed = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(bad.code(), ExcelError::kInvalidArgument);
    EXPECT_TRUE(bad.text().contains(u"«A0»")) << S(bad.text());
    EXPECT_EQ(printed, S(bad.Report()));
    EXPECT_EQ(printed.rfind("_com_error:\nError       : 80070057\nErrorMessage: ", 0), 0u) << printed;

    ::testing::internal::CaptureStdout();
    for (const auto &call : std::initializer_list<std::function<void()>>{
             [&] { session.Bold(QStringLiteral("B2:")); },
             [&] { session.SetText(QStringLiteral("A1:XFC1000"), QStringLiteral("x")); },
             [&] { session.SetText(QStringLiteral("C:C"), QStringLiteral("x")); },
             [&] { session.Border(QStringLiteral("A1:XFC1000")); },
             [&] { session.Merge(QStringLiteral("1:1048576")); },
             [&] { session.FontSize(QStringLiteral("A1"), 0); }, [&] { session.SetPage(9, true); },
             [&] { session.ColumnWidth(QStringLiteral("A:A"), -1); },
             [&] { session.ColumnWidth(QStringLiteral("A:A"), std::nan("")); },
             [&] { session.ColumnWidth(QStringLiteral("A1:"), 5); }})
        EXPECT_EQ(Thrown(call).code(), ExcelError::kInvalidArgument);
    ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(session.Sheet().Cells(), before.Cells());
    EXPECT_TRUE(session.Sheet().ColumnWidths().empty());
    EXPECT_EQ(session.Sheet().Page(), PageSetup{});

    EXPECT_EQ(S(ExcelError::MessageFor(0x80040205)), "IDispatch error #5");
    EXPECT_EQ(S(ExcelError::MessageFor(0x80040200)), "Unknown error 0x80040200");
}

// The pattern every report follows: merged bold title, bordered headings, text cells, a merged totals label.
TEST_F(SessionFixture, KeepsWhatAReportBuilds) {
    session.Start(QStringLiteral("Касса"));
    session.SetPage(85, true);
    session.SetText(QStringLiteral("A1"), QStringLiteral("Отчет"));
    session.SetText(QStringLiteral("C2"), QStringLiteral("lost on merge"));
    session.Merge(QStringLiteral("A1:G2"));
    session.Bold(QStringLiteral("A1:G2"));
    session.FontSize(QStringLiteral("A1:G2"), 14);
    session.Centre(QStringLiteral("A1:G2"));
    session.SetText(QStringLiteral("A1:G2"), QStringLiteral("Отчет об операциях по кассе."));
    session.SetTextFormat(QStringLiteral("A4"));
    session.SetText(QStringLiteral("A4"), QStringLiteral("007"));
    session.Border(QStringLiteral("A3:G4"));
    session.Wrap(QStringLiteral("D4"));
    session.Merge(QStringLiteral("A5:B5"));
    session.Merge(QStringLiteral("B5:B6"));  // overlaps the last one: they become one
    session.Merge(QStringLiteral("E5"));     // a single cell is no merge
    session.ColumnWidth(QStringLiteral("A:B"), 12);
    session.ColumnWidth(QStringLiteral("CX1"), 0.5);

    const ExcelSheet &s = session.Sheet();
    EXPECT_EQ(S(s.Text(QStringLiteral("A1"))), "Отчет об операциях по кассе.");
    EXPECT_EQ(S(s.Text(QStringLiteral("C2"))), "");  // hidden under the merge: neither kept nor written
    EXPECT_EQ(S(s.Text(QStringLiteral("B1"))), "");
    EXPECT_EQ(s.Merges(), (std::vector<CellRange>{*CellRange::Parse(QStringLiteral("A1:G2")),
                                                  *CellRange::Parse(QStringLiteral("A5:B6"))}));
    const CellFormat title = s.FormatAt(QStringLiteral("G2"));
    EXPECT_TRUE(title.bold && title.centre && !title.border);
    EXPECT_EQ(title.fontSize, 14);
    EXPECT_EQ(s.FormatAt(QStringLiteral("A4")), Looks(false, true, QStringLiteral("@")));
    EXPECT_TRUE(s.FormatAt(QStringLiteral("D4")).wrap);
    EXPECT_TRUE(s.FormatAt(QStringLiteral("G3")).border);
    EXPECT_FALSE(s.FormatAt(QStringLiteral("H3")).border);
    EXPECT_EQ(s.ColumnWidth(QStringLiteral("B")), 12.0);
    EXPECT_EQ(s.ColumnWidth(QStringLiteral("CX")), 0.5);
    EXPECT_FALSE(s.ColumnWidth(QStringLiteral("C")));
    EXPECT_EQ(s.Page(), (PageSetup{85, true}));

    session.Start();
    EXPECT_TRUE(session.Sheet().Cells().empty() && session.Sheet().Merges().empty());
}

TEST_F(SessionFixture, ColumnAndRowFormatsReachOldAndNewCells) {
    session.SetText(QStringLiteral("C2"), QStringLiteral("old"));
    session.Bold(QStringLiteral("C:D"));
    session.Border(QStringLiteral("5:5"));
    session.SetText(QStringLiteral("C9"), QStringLiteral("new"));
    session.SetText(QStringLiteral("A5"), QStringLiteral("row"));
    const ExcelSheet &s = session.Sheet();
    EXPECT_TRUE(s.FormatAt(QStringLiteral("C2")).bold);
    EXPECT_TRUE(s.FormatAt(QStringLiteral("C9")).bold);
    EXPECT_TRUE(s.FormatAt(QStringLiteral("D1000000")).bold);
    EXPECT_FALSE(s.FormatAt(QStringLiteral("E2")).bold);
    EXPECT_EQ(s.FormatAt(QStringLiteral("A5")), Looks(false, true));
    EXPECT_EQ(s.FormatAt(QStringLiteral("C5")), Looks(true, true));  // where both cross
    EXPECT_FALSE(s.FormatAt(QStringLiteral("C6")).border);
}

// What was kept in memory is what the file holds, and LibreOffice Calc opens it with the same values.
TEST_F(SessionFixture, WritesAWorkbookCalcReads) {
    session.Start(QStringLiteral("Отчет: касса/банк"));
    session.SetPage(78, true);
    session.Merge(QStringLiteral("A1:C1"));
    session.SetText(QStringLiteral("A1"), QStringLiteral("Оборотная ведомость"));
    session.Bold(QStringLiteral("A1:C1"));
    session.FontSize(QStringLiteral("A1"), 14);
    session.Centre(QStringLiteral("A1"));
    session.SetTextFormat(QStringLiteral("A2:B2"));
    session.SetText(QStringLiteral("A2"), QStringLiteral("007"));
    session.SetText(QStringLiteral("B2"), QStringLiteral("12.00"));
    session.SetText(QStringLiteral("C2"), QStringLiteral("-1234.50"));
    session.SetText(QStringLiteral("A3"), QStringLiteral("=1+1"));
    session.SetText(QStringLiteral("B3"), QStringLiteral("Зарплата, \"аванс\""));
    session.SetText(QStringLiteral("C3"), QStringLiteral("42"));
    session.Border(QStringLiteral("A2:C3"));
    session.Wrap(QStringLiteral("B3"));
    session.ColumnWidth(QStringLiteral("A:A"), 50);
    session.ColumnWidth(QStringLiteral("B:C"), 20);

    const QString file = session.Show();
    EXPECT_EQ(opened, QStringList{file});
    EXPECT_TRUE(file.startsWith(dir.filePath(QStringLiteral("reports/new/Отчет касса банк ")))) << S(file);
    EXPECT_TRUE(file.endsWith(u".xlsx"));

    const XlsxProbe x = XlsxProbe::Read(file);
    ASSERT_TRUE(x.error.isEmpty()) << S(x.error);
    EXPECT_EQ(x.merges, QStringList{QStringLiteral("A1:C1")});
    EXPECT_NEAR(x.widths.value(1), 50.71, 0.01);  // stored widths carry the cell padding
    EXPECT_NEAR(x.widths.value(3), 20.71, 0.01);
    EXPECT_EQ(S(x.orientation), "landscape");
    EXPECT_EQ(x.scale, 78);
    const XlsxCell a1 = x.cells.value(QStringLiteral("A1"));
    EXPECT_EQ(S(a1.value), "Оборотная ведомость");
    EXPECT_TRUE(a1.style.bold && a1.style.centre && !a1.style.border);
    EXPECT_EQ(a1.style.fontSize, 14);
    EXPECT_TRUE(x.cells.value(QStringLiteral("C1")).style.bold);
    const XlsxCell b2 = x.cells.value(QStringLiteral("B2")), c2 = x.cells.value(QStringLiteral("C2"));
    EXPECT_TRUE(b2.text && b2.style.border);
    EXPECT_EQ(S(b2.style.numberFormat), "@");
    EXPECT_FALSE(c2.text);  // an amount in a plain cell is a number Calc can sum
    EXPECT_EQ(S(c2.style.numberFormat), "0.00");
    EXPECT_TRUE(x.cells.value(QStringLiteral("A3")).text && !x.cells.value(QStringLiteral("A3")).formula);
    EXPECT_TRUE(x.cells.value(QStringLiteral("B3")).style.wrap);

    QString error;
    const QList<QStringList> rows = CalcRows(file, &error);
    ASSERT_TRUE(error.isEmpty()) << S(error);
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0], (QStringList{QStringLiteral("Оборотная ведомость"), {}, {}}));
    EXPECT_EQ(rows[1],
              (QStringList{QStringLiteral("007"), QStringLiteral("12.00"), QStringLiteral("-1234.50")}));
    EXPECT_EQ(rows[2], (QStringList{QStringLiteral("=1+1"), QStringLiteral("Зарплата, \"аванс\""),
                                    QStringLiteral("42")}));
}

TEST_F(SessionFixture, EveryShowIsANewFile) {
    session.SetText(QStringLiteral("A1"), QStringLiteral("первый"));
    const QString first = session.Show();
    QFile f(first);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray firstBytes = f.readAll();
    f.close();
    session.SetText(QStringLiteral("A1"), QStringLiteral("второй"));
    const QString second = session.Show();
    const QString third = session.Show();
    EXPECT_EQ(QStringList({first, second, third}).removeDuplicates(), 0);
    EXPECT_EQ(opened, QStringList({first, second, third}));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), firstBytes);
    EXPECT_EQ(S(XlsxProbe::Read(second).cells.value(QStringLiteral("A1")).value), "второй");
}

TEST_F(SessionFixture, FailuresToSaveOrOpenNameTheirReason) {
    ::testing::internal::CaptureStdout();
    refuse = QStringLiteral("нет программы");
    const ExcelError notOpened = Thrown([&] { session.Show(); });
    EXPECT_EQ(notOpened.code(), ExcelError::kNoAssociation);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_TRUE(QFile::exists(opened[0]));  // written, so the user can still find it
    EXPECT_TRUE(notOpened.text().contains(opened[0]) && notOpened.text().contains(refuse))
        << S(notOpened.text());

    QFile blocker(dir.filePath(QStringLiteral("file")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    ExcelSession blocked(dir.filePath(QStringLiteral("file/reports")), [&](const QString &) {
        ADD_FAILURE() << "opened";
        return QString();
    });
    const ExcelError notSaved = Thrown([&] { blocked.Show(); });
    EXPECT_EQ(notSaved.code(), ExcelError::kCannotMake);
    EXPECT_TRUE(notSaved.text().contains(QStringLiteral("file/reports"))) << S(notSaved.text());
    EXPECT_NE(::testing::internal::GetCapturedStdout().find("Error       : 80070052"), std::string::npos);
}
