#include "Cp1251.h"
#include "RtfTemplateFiller.h"
#include "ScriptedPrompter.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QTemporaryDir>

namespace {

QByteArray W(const QString &text) {
    return Cp1251::FromUnicode(text);
}

// Runs merges in a temporary folder.
class FillerTest : public ::testing::Test {
protected:
    void Write(const QString &name, const QByteArray &bytes) {
        QFile f(m_dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    int Fill(const QString &data, const QString &templ, const QString &out = "out.doc") {
        return RtfTemplateFiller(&m_prompter)
            .Fill(m_dir.filePath(data), m_dir.filePath(templ), m_dir.filePath(out));
    }
    QByteArray Output() {
        QFile out(m_dir.filePath("out.doc"));
        return out.open(QIODevice::ReadOnly) ? out.readAll() : QByteArray();
    }
    // The merged text, line breaks as written (CR LF); the template gets an RTF header.
    QByteArray Merge(const QByteArray &body, const QByteArray &data) {
        Write("t.rtf", "{\\rtf1 " + body + "}");
        Write("d.txt", data);
        EXPECT_EQ(Fill("d.txt", "t.rtf"), 0);
        return Output().chopped(1).mid(7);  // without the header and its closing brace
    }

    QTemporaryDir m_dir;
    ScriptedPrompter m_prompter;
};

}  // namespace

TEST(RtfText, ReplaceFormatEscapeAndPrepare) {
    const QDate today = QDate::currentDate();
    EXPECT_EQ(RtfTemplateFiller::FormatNow(1),
              QString::asprintf("%d.%d.%d", today.day(), today.month(), today.year()).toLatin1());

    EXPECT_EQ(RtfTemplateFiller::EscapeValue("a|EOL:b|EOP:c"), "a{\\par}b{\\page}c");

    EXPECT_EQ(
        RtfTemplateFiller::PreparePlaceholders("A #Na{\\b me}# B #Cli{\\rtlch\\fcs1 \\af0 "
                                               "\\lang1049\\langfe1033 ent}# C ## D #\\'c0\\'c1# E #EOP#"),
        "A #Name# B #Client# C \\'23 D  E {\\page}");
    EXPECT_EQ(RtfTemplateFiller::PreparePlaceholders("x{\\par #D1#\\par }y\\par "), "x{#D1#}y\\par ");
}

TEST_F(FillerTest, MergesFieldsAndSections) {
    QByteArray oem = "|DOS:\n|0:A:";
    oem += QByteArray("\x8f\xe0\xa8\xa2\xa5\xe2");  // "Привет" in code page 866
    oem += "\n|WIN:\n|0:B:" + W("Пока") + "\n";
    const struct {
        const char *what;
        QByteArray body, data, merged;
    } cases[] = {
        {"simple fields, escaped", "Name: #Name#; Path: #Path#; Tel #Tel#/#Fax#; Gone: #Missing#; ##",
         W("# comment |0:Name:nope\n\n|0:Name:Шиномонтаж #1 и #2\n|0:Path:C:\\dir "
           "{x}\n|0:Tel:1:2|3|0:Fax:a|b\n"
           "|0:Nowhere:ignored\nno bar here\n|0::empty name\n"),
         W("Name: Шиномонтаж \\'231 и \\'232; Path: C:\\'5Cdir \\'7Bx\\'7D; Tel 1:2|3/a|b; Gone: ; \\'23")},
        // A repeat after the first filling stays unfilled unless the field comes again.
        {"filled at the next occurrence", "#A# #B# #A#", "|0:B:b\n|0:A:a\n", "a b "},
        {"filled again", "#A# #B# #A#", "|0:A:1\n|0:B:b\n|0:A:2\n", "1 b 2"},
        {"section rows in data order", "Head #T#\\par {#D1#\\par }[#pp#|#name#|#sum#]{#1D#}Total #itog#",
         "|0:T:Order\n|1:pp:1|1:name:one|1:sum:10\n|0:k:\n|1:pp:2|1:name:two|1:sum:20\n"
         "|0:k:\n|1:pp:|1:name: - three|1:sum:30\n|0:k:\n|0:itog:60\n",
         "Head Order\\par {}[1|one|10]{}[2|two|20]{}[| - three|30]{}Total 60"},
        // The group row has no performers; the next row's performers stay in their own row.
        {"rows keep their values", "{#D1#}[#pp#|#work#]{#1D#}", "|1:pp:1\n|0:k:\n|1:pp:|1:work:Petrov\n",
         "{}[1|]{}[|Petrov]{}"},
        {"a row field without placeholder adds a row", "{#D1#}[#a#]{#1D#}", "|1:x:1|1:a:A\n|1:x:2\n",
         "{}[A]{}[]{}"},
        // A section without rows keeps one empty row, so the table still shows.
        {"empty section, page breaks", "H{#D1#}[#a#]{#1D#}#EOP#T #itog#.", "|0:itog:0.00\n|EOP:\n",
         "H{}[]{}{\\page}T 0.00{\\page}."},
        {"OEM lines recoded", "#A# #B#", oem, W("Привет Пока")},
        {"fonts switch to Cyrillic, CR LF kept", "{\\fonttbl{\\f0\\fcharset0 Arial;}}\r\n#a#", "|0:a:x\r\n",
         "{\\fonttbl{\\f0\\fcharset204 Arial;}}\r\nx"},
    };
    for (const auto &c : cases) EXPECT_EQ(Merge(c.body, c.data), c.merged) << c.what;
    EXPECT_TRUE(m_prompter.All().isEmpty());
}

TEST_F(FillerTest, FailuresAreReportedAndWriteNothing) {
    Write("out.doc", "older");
    Write("plain.txt", "not rtf #a#");
    Write("d.txt", "|0:a:1\n");
    Write("t.rtf", "{\\rtf1 #a#}");
    EXPECT_EQ(Fill("d.txt", "plain.txt"), 1);
    EXPECT_EQ(Fill("d.txt", "none.rtf"), 1);
    EXPECT_EQ(Fill("d.txt", "t.rtf", "nodir/out.doc"), 1);
    EXPECT_EQ(m_prompter.warnings, QStringList({"Формат файла шаблона - не RTF", "Не открыт файл шаблона!",
                                                "Не могу открыть файл отчета!"}));
    EXPECT_EQ(Output(), "older");
}
