#include "Cp1251.h"
#include "RtfTemplateFiller.h"
#include "ScriptedPrompter.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

namespace {

QByteArray W(const QString &text) {
    return Cp1251::FromUnicode(text);
}

// Runs one merge in a temporary folder that is the current directory meanwhile.
class FillerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_old = QDir::currentPath();
        QDir::setCurrent(m_dir.path());
    }
    void TearDown() override { QDir::setCurrent(m_old); }

    static void Write(const QString &path, const QByteArray &bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    // The merged text, line breaks as written (CR LF); the template gets an RTF header.
    QByteArray Merge(const QByteArray &body, const QByteArray &data, int *result = nullptr) {
        Write(m_dir.filePath(QStringLiteral("t.rtf")), "{\\rtf1 " + body + "}");
        Write(m_dir.filePath(QStringLiteral("d.txt")), data);
        RtfTemplateFiller filler(&m_prompter);
        const int r = filler.Fill(m_dir.filePath(QStringLiteral("d.txt")),
                                  m_dir.filePath(QStringLiteral("t.rtf")), QStringLiteral("out.doc"));
        if (result) *result = r;
        QFile out(m_dir.filePath(QStringLiteral("out.doc")));
        if (!out.open(QIODevice::ReadOnly)) return {};
        QByteArray text = out.readAll();
        text.chop(1);  // the closing brace of the header
        return text.mid(7);
    }

    QTemporaryDir m_dir;
    QString m_old;
    ScriptedPrompter m_prompter;
};

}  // namespace

TEST(RtfText, ReplaceBetweenAndSpans) {
    EXPECT_EQ(RtfTemplateFiller::ReplaceAll("a-a-a", "aa", "a"), "aa-aa-aa");
    EXPECT_EQ(RtfTemplateFiller::ReplaceAll("xyz", "q", ""), "xyz");
    EXPECT_EQ(RtfTemplateFiller::TextBetween("a[b]c]", "[", "]"), "b");
    EXPECT_EQ(RtfTemplateFiller::TextBetween("a[b", "[", "]"), "");
    EXPECT_EQ(RtfTemplateFiller::TextBetween("a[b]", "[", ""), "");
    EXPECT_EQ(RtfTemplateFiller::RemoveSpans("x#a#y#b#z#a#", "#", "#"), "xyz");
    EXPECT_EQ(RtfTemplateFiller::RemoveSpans("x#a", "#", "#"), "x#a");
}

TEST(RtfText, FormatNowHasNoLeadingZeros) {
    const QDate today = QDate::currentDate();
    EXPECT_EQ(RtfTemplateFiller::FormatNow(1),
              QString::asprintf("%d.%d.%d", today.day(), today.month(), today.year()).toLatin1());
    EXPECT_TRUE(RtfTemplateFiller::FormatNow(2).contains(':'));
    EXPECT_TRUE(RtfTemplateFiller::FormatNow(3).isEmpty());
}

TEST(RtfText, ValuesAreEscaped) {
    EXPECT_EQ(RtfTemplateFiller::EscapeValue("C:\\dir"), "C:\\'5Cdir");
    EXPECT_EQ(RtfTemplateFiller::EscapeValue("{x}"), "\\'7Bx\\'7D");
    EXPECT_EQ(RtfTemplateFiller::EscapeValue("a|EOL:b|EOP:c"), "a{\\par}b{\\page}c");
    EXPECT_EQ(RtfTemplateFiller::EscapeValue(W(QStringLiteral("Шиномонтаж #1"))),
              W(QStringLiteral("Шиномонтаж \\'231")));
}

TEST(RtfText, PreparationCleansSplitPlaceholders) {
    const QByteArray p = RtfTemplateFiller::PreparePlaceholders(
        "A #Na{\\b me}# B #Cli{\\rtlch\\fcs1 \\af0 \\lang1049\\langfe1033 ent}# C ## D #\\'c0\\'c1# E #EOP#");
    EXPECT_EQ(p, "A #Name# B #Client# C \\'23 D  E {\\page}");
    EXPECT_FALSE(RtfTemplateFiller::PreparePlaceholders("#DATE#").contains('#'));
    EXPECT_EQ(RtfTemplateFiller::PreparePlaceholders("x{\\par #D1#\\par }y\\par "), "x{#D1#}y\\par ");
}

TEST_F(FillerTest, SimpleFieldsAndEscaping) {
    const QByteArray out = Merge("Name: #Name#; Path: #Path#; Tel #Tel#/#Fax#; Gone: #Missing#; ##",
                                 W(QStringLiteral("# comment |0:Name:nope\n\n|0:Name:Шиномонтаж #1 и #2\n"
                                                  "|0:Path:C:\\dir {x}\n|0:Tel:1:2|3|0:Fax:a|b\n"
                                                  "|0:Nowhere:ignored\nno bar here\n|0::empty name\n")));
    EXPECT_EQ(out, W(QStringLiteral("Name: Шиномонтаж \\'231 и \\'232; Path: C:\\'5Cdir \\'7Bx\\'7D; "
                                    "Tel 1:2|3/a|b; Gone: ; \\'23")));
    EXPECT_TRUE(m_prompter.All().isEmpty());
}

TEST_F(FillerTest, PlaceholderFilledAtItsNextOccurrence) {
    // The repeat after the first filling stays unfilled unless the field comes again.
    EXPECT_EQ(Merge("#A# #B# #A#", "|0:B:b\n|0:A:a\n"), "a b ");
    EXPECT_EQ(Merge("#A# #B# #A#", "|0:A:1\n|0:B:b\n|0:A:2\n"), "1 b 2");
}

TEST_F(FillerTest, SectionRowsInDataOrder) {
    const QByteArray out =
        Merge("Head #T#\\par {#D1#\\par }[#pp#|#name#|#sum#]{#1D#}Total #itog#",
              "|0:T:Order\n|1:pp:1|1:name:one|1:sum:10\n|0:k:\n|1:pp:2|1:name:two|1:sum:20\n"
              "|0:k:\n|1:pp:|1:name: - three|1:sum:30\n|0:k:\n|0:itog:60\n");
    EXPECT_EQ(out, "Head Order\\par {}[1|one|10]{}[2|two|20]{}[| - three|30]{}Total 60");
}

TEST_F(FillerTest, RowsKeepTheirOwnValues) {
    // The group row has no performers; the next row's performers stay in their own row.
    EXPECT_EQ(Merge("{#D1#}[#pp#|#work#]{#1D#}", "|1:pp:1\n|0:k:\n|1:pp:|1:work:Petrov\n"),
              "{}[1|]{}[|Petrov]{}");
}

TEST_F(FillerTest, RowFieldWithoutPlaceholderStillAddsARow) {
    EXPECT_EQ(Merge("{#D1#}[#a#]{#1D#}", "|1:x:1|1:a:A\n|1:x:2\n"), "{}[A]{}[]{}");
}

TEST_F(FillerTest, EmptySectionAndPageBreaks) {
    // A section without rows keeps one empty row, so the table still shows.
    EXPECT_EQ(Merge("H{#D1#}[#a#]{#1D#}#EOP#T #itog#.", "|0:itog:0.00\n|EOP:\n"),
              "H{}[]{}{\\page}T 0.00{\\page}.");
}

TEST_F(FillerTest, OemLinesAreRecoded) {
    QByteArray data = "|DOS:\n|0:A:";
    data += QByteArray("\x8f\xe0\xa8\xa2\xa5\xe2");  // "Привет" in code page 866
    data += "\n|WIN:\n|0:B:" + W(QStringLiteral("Пока")) + "\n";
    EXPECT_EQ(Merge("#A# #B#", data), W(QStringLiteral("Привет Пока")));
}

TEST_F(FillerTest, FailuresAreReportedAndWriteNothing) {
    Write(m_dir.filePath(QStringLiteral("out.doc")), "older");
    Write(m_dir.filePath(QStringLiteral("plain.txt")), "not rtf #a#");
    Write(m_dir.filePath(QStringLiteral("d.txt")), "|0:a:1\n");
    RtfTemplateFiller filler(&m_prompter);
    EXPECT_EQ(filler.Fill(m_dir.filePath(QStringLiteral("d.txt")),
                          m_dir.filePath(QStringLiteral("plain.txt")), QStringLiteral("out.doc")),
              1);
    EXPECT_EQ(filler.Fill(m_dir.filePath(QStringLiteral("none.txt")),
                          m_dir.filePath(QStringLiteral("plain.txt")), QStringLiteral("out.doc")),
              1);
    EXPECT_EQ(filler.Fill(m_dir.filePath(QStringLiteral("d.txt")), m_dir.filePath(QStringLiteral("none.rtf")),
                          QStringLiteral("out.doc")),
              1);
    Write(m_dir.filePath(QStringLiteral("t.rtf")), "{\\rtf1 #a#}");
    EXPECT_EQ(filler.Fill(m_dir.filePath(QStringLiteral("d.txt")), m_dir.filePath(QStringLiteral("t.rtf")),
                          QStringLiteral("nodir/out.doc")),
              1);
    EXPECT_EQ(m_prompter.warnings,
              QStringList({QStringLiteral("Формат файла шаблона - не RTF"),
                           QStringLiteral("Не открыт файл данных"), QStringLiteral("Не открыт файл шаблона!"),
                           QStringLiteral("Не могу открыть файл отчета!")}));
    QFile older(m_dir.filePath(QStringLiteral("out.doc")));
    ASSERT_TRUE(older.open(QIODevice::ReadOnly));
    EXPECT_EQ(older.readAll(), "older");
}

TEST_F(FillerTest, FontsSwitchToCyrillicAndLinesEndInCrLf) {
    Write(m_dir.filePath(QStringLiteral("t.rtf")), "{\\rtf1{\\fonttbl{\\f0\\fcharset0 Arial;}}\r\n#a#}");
    Write(m_dir.filePath(QStringLiteral("d.txt")), "|0:a:x\r\n");
    ASSERT_EQ(RtfTemplateFiller(&m_prompter)
                  .Fill(m_dir.filePath(QStringLiteral("d.txt")), m_dir.filePath(QStringLiteral("t.rtf")),
                        QStringLiteral("out.doc")),
              0);
    QFile out(m_dir.filePath(QStringLiteral("out.doc")));
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    EXPECT_EQ(out.readAll(), "{\\rtf1{\\fonttbl{\\f0\\fcharset204 Arial;}}\r\nx}");
}

TEST(Cp1251Text, UnrepresentableCharactersShowAsQuestionMarks) {
    EXPECT_EQ(Cp1251::FromUnicode(QStringLiteral("Ёж €5 中")), QByteArray("\xa8\xe6 \x88"
                                                                          "5 ?"));
    EXPECT_EQ(Cp1251::ToUnicode(QByteArray("\xa8\xe6")), QStringLiteral("Ёж"));
}

TEST_F(FillerTest, ManyRowsMergeInLinearTime) {
    // A whole-text scan per placeholder would make 10 000 rows take minutes.
    QByteArray data = "|0:T:x\n";
    for (int i = 0; i < 10000; ++i)
        data += "|1:pp:" + QByteArray::number(i) + "|1:name:service|1:sum:1.00\n|0:k:\n";
    data += "|0:itog:end\n";
    QElapsedTimer timer;
    timer.start();
    const QByteArray out = Merge("#T#{#D1#}[#pp#|#name#|#sum#]{#1D#}#itog#", data);
    EXPECT_LT(timer.elapsed(), 5000);
    EXPECT_EQ(out.count("|service|1.00]"), 10000);
    EXPECT_TRUE(out.endsWith("[9999|service|1.00]{}end"));
}
