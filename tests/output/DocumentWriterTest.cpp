#include "DbError.h"
#include "DocumentFixture.h"
#include "DocumentPrinter.h"
#include "DocumentWriter.h"
#include "RtfTemplateFiller.h"
#include "TestRows.h"

#include <QRegularExpression>

namespace {

QStringList RowLines(const QString &data) {
    return data.split(u'\n').filter(QRegularExpression("^\\|1:"));
}

QString Field(const QString &data, const QString &name) {
    const auto m = QRegularExpression(QStringLiteral("\\|0:%1:([^|\\n]*)").arg(name)).match(data);
    return m.hasMatch() ? m.captured(1) : QStringLiteral("<missing>");
}

// Each field of the data as "name=value" in the order asked, joined by ";".
QString Fields(const QString &data, const QStringList &names) {
    QStringList all;
    for (const QString &n : names) all << n + u'=' + Field(data, n);
    return all.join(u';');
}

}  // namespace

class DocumentWriterTest : public DocumentTest {
protected:
    QString Data(OrderDocument doc, const QString &key) {
        return Cp1251::ToUnicode(DocumentWriter(db()).Data(doc, key));
    }
};
ZV_INSTANTIATE_DB_TESTS(DocumentWriterTest);

TEST_P(DocumentWriterTest, GroupWithThreeServicesGivesFourRows) {
    const QString key = SaveOrder(
        {Group("pkg", "Шиномонтаж R15",
               {Line("a", "Балансировка", 4, 100, 20, {"Петров"}),
                Line("b", "Монтаж", 4, 50, 0, {"Петров", "Сидоров"}), Line("c", "Снятие", 1, 10.5, 10)}),
         Line("wash", "Мойка", 1, 400, 20)});
    const QString work = Data(OrderDocument::WorkOrder, key);
    EXPECT_EQ(
        S(RowLines(work).join(u'\n')),
        "|1:pp:1|1:ServiceName:Шиномонтаж R15|1:kol:1.00|1:price:0.00|1:summa:691.55\n"
        "|1:pp:|1:ServiceName: - Балансировка|1:kol:4.00|1:price:100.00|1:summa:480.00|1:work:Петров \n"
        "|1:pp:|1:ServiceName: - Монтаж|1:kol:4.00|1:price:50.00|1:summa:200.00|1:work:Петров Сидоров \n"
        "|1:pp:|1:ServiceName: - Снятие|1:kol:1.00|1:price:10.50|1:summa:11.55|1:work:\n"
        "|1:pp:2|1:ServiceName:Мойка|1:kol:1.00|1:price:400.00|1:summa:480.00|1:work:");
    EXPECT_EQ(work.count("\n|0:k:\n"), 5);  // each row is followed by the empty field k
    EXPECT_EQ(Fields(work, {"itog", "SummaNDS", "itogP"}),
              "itog=1171.55;SummaNDS=161.05;itogP=Одна тысяча сто семьдесят один рубль 55  копеек");
    EXPECT_EQ(
        Fields(work, {"MainTel", "ZakazNomer", "ZakazData", "ClientName", "AvtoMarka", "nomerZ"}),
        "MainTel=495-111-22-33;ZakazNomer=" + m_number +
            ";ZakazData=05.03.2024;ClientName=Шиномонтаж #1 и #2;AvtoMarka=Лада Гранта;nomerZ=<missing>");

    const QString invoice = Data(OrderDocument::Invoice, key);
    // A group's own row shows no VAT rate: its services' rates may differ.
    EXPECT_EQ(S(RowLines(invoice).value(0).section("|1:summa:", 1)),
              "610.50|1:nds:-|1:summaNds:81.05|1:itog:691.55");
    EXPECT_EQ(Fields(invoice, {"colZ", "summaZ", "summaNdsZ", "itogZ", "MainChif", "INN", "ClientData"}),
              "colZ=2.00;summaZ=1010.50;summaNdsZ=161.05;itogZ=1171.55;MainChif=Иванов И.И.;"
              "INN=7701234567/770101001;ClientData=р/с 40702810000000000099 в АО Банк, кор.счет "
              "30101810000000000001 БИК 042809679 Адрес: Тверь, ул. Фактическая, 2");
    EXPECT_EQ(Field(Data(OrderDocument::Act, key), "nomerZ"), m_number);
    EXPECT_EQ(Fields(Data(OrderDocument::Request, key), {"ClinetTel", "ZakazNomer"}),
              "ClinetTel=8-900-000-00-01;ZakazNomer=<missing>");
    EXPECT_EQ(Fields(Data(OrderDocument::TaxInvoice, key), {"ClientINN", "colZ"}),
              "ClientINN=690000000001;colZ=<missing>");

    // A worker removed from a line is not named.
    TestRows::Put(db(), TestRows::Client{.key = "c1"});
    const QList<TestRows::Work> workers = {{"w1", "Петров"}, {"w2", "Уволенный", true}};
    TestRows::Put(db(), TestRows::Order{.key = "z9", .lines = {{.workers = workers}}});
    EXPECT_EQ(S(RowLines(Data(OrderDocument::WorkOrder, "z9")).value(0).section("|1:work:", 1)), "Петров ");
}

// Only the ticked documents, in print order, under names safe for a file; a template that is no RTF
// opens nothing and keeps the older file; an order without lines and a client without a settlement
// account print zero totals and only the client's address.
TEST_P(DocumentWriterTest, PrinterWritesTheTickedInOrderAndSkipsAFailedMerge) {
    const QString key = SaveOrder({}, "Шиномонтаж #1 и #2", false);
    EXPECT_TRUE(RowLines(Data(OrderDocument::WorkOrder, key)).isEmpty());
    EXPECT_EQ(Fields(Data(OrderDocument::Invoice, key), {"colZ", "summaZ", "itogZ", "ClientData"}),
              "colZ=0.00;summaZ=0.00;itogZ=0.00;ClientData= Адрес: Тверь, ул. Фактическая, 2");
    // A template in the working directory comes before the installed one.
    QFile broken(m_work.filePath("sakt.rtf"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly) && broken.write("not a template") > 0);
    broken.close();
    QDir().mkpath("doc");
    const QString older = "doc/Akt" + m_number + ".doc";
    QFile old(older);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly) && old.write("older order") > 0);
    old.close();
    // A link planted at an output name is replaced, never written through.
    ASSERT_TRUE(QFile::link(QFileInfo(older).absoluteFilePath(), "doc/ZNarad" + m_number + ".doc"));

    QStringList opened;
    // No viewer on this desktop: one message names the folder and what it holds.
    DocumentPrinter printer(db(), m_prompter, m_work.path(),
                            [&](const QString &p) { return opened << p, false; });
    EXPECT_EQ(printer.Print(key, {OrderDocument::Request, OrderDocument::Act, OrderDocument::TaxInvoice,
                                  OrderDocument::WorkOrder}),
              opened);
    const QString doc = QDir(m_work.path()).filePath("doc/");
    EXPECT_EQ(opened, QStringList({doc + "ZNarad" + m_number + ".doc", doc + "ChetFakt" + m_number + ".doc",
                                   doc + "Zajvka" + m_number + ".doc"}));
    for (const QString &path : opened)  // the text merged, in a file for its user alone
        EXPECT_TRUE(Read(path).contains("Шиномонтаж \\'231 и \\'232") && !QFileInfo(path).isSymLink() &&
                    !(QFile::permissions(path) & QFileDevice::ReadOther))
            << S(path);
    EXPECT_EQ(QDir().entryList({"*.txt"}), QStringList());  // the merge data were the print's own
    EXPECT_EQ(m_prompter.warnings.value(0) + '|' + m_prompter.warnings.value(1).section(u'\n', 0, 0),
              "Формат файла шаблона - не RTF|Документы сохранены в папке «" + doc.chopped(1) + "»: ZNarad" +
                  m_number + ".doc, ChetFakt" + m_number + ".doc, Zajvka" + m_number + ".doc.");
    EXPECT_EQ(Read(older), "older order");
    EXPECT_EQ(S(DocumentPrinter::OutputName(OrderDocument::Invoice, "А/12")), "doc/ChetА_12.doc");

    EXPECT_THROW(DocumentWriter(db()).Data(OrderDocument::Act, "nope"), DbError);
    EXPECT_TRUE(printer.Print("nope", {OrderDocument::Act}).isEmpty());
    EXPECT_EQ(m_prompter.errors.size() + m_prompter.warnings.size(), 3);  // nothing written, nothing more
    EXPECT_EQ(opened.size(), 3);
}

TEST_P(DocumentWriterTest, EveryFieldWrittenReachesItsTemplate) {
    // Distinct values everywhere, so a placeholder missing from a template (or misspelt) shows as a
    // value lost in the merge. Typed text neither vanishes nor starts fields of its own.
    CompanyInfo company;
    for (const char *f : CompanyInfo::kFields) company.Field(f) = QStringLiteral("v") + f;
    CompanyStore(db()).Save(company);
    const QString key = SaveOrder({Group("g", "vGroup", {Line("s", "vSub\nline", 3, 7.25, 18, {"vWorker"})}),
                                   Line("t", "vSingle", 2, 11, 20)},
                                  "vClient 李|0:INN:000|DOS:", true,
                                  {"vNomer", "vMarka", "vVin", "vDvig", "vColor", "vPrim"});
    const QString work = Data(OrderDocument::WorkOrder, key);
    EXPECT_EQ(Field(work, "ClientName"), "vClient ?¦0:INN:000¦DOS:");
    EXPECT_TRUE(RowLines(work).value(1).contains("vSub|EOL:line"));  // a line break stays in its line
    for (OrderDocument doc : DocumentFiles::InPrintOrder()) {
        const DocumentFiles files = DocumentFiles::Of(doc);
        SCOPED_TRACE(S(files.templateFile));
        DocumentWriter(db()).Write(doc, key, m_work.filePath(files.dataFile));
        ASSERT_EQ(RtfTemplateFiller(&m_prompter)
                      .Fill(files.dataFile, ZV_TEMPLATES_DIR "/" + files.templateFile, "out.doc"),
                  0);
        const QByteArray merged = Cp1251::FromUnicode(Read("out.doc"));
        int checked = 0;
        for (const QString &line : Read(m_work.filePath(files.dataFile)).split(u'\n', Qt::SkipEmptyParts)) {
            const QString prefix = line.left(line.indexOf(u':') + 1);
            for (const QString &field : line.split(prefix, Qt::SkipEmptyParts)) {
                const QString name = field.section(u':', 0, 0), value = field.section(u':', 1);
                if (value.trimmed().isEmpty() || name == u"k") continue;
                EXPECT_TRUE(merged.contains(RtfTemplateFiller::EscapeValue(Cp1251::FromUnicode(value))))
                    << S(name) << " = " << S(value);
                ++checked;
            }
        }
        EXPECT_GT(checked, 20);
    }
}

// Orders whose lines round differently: on every document the printed lines add up to the printed totals,
// the words name that total, and the order keeps the same total for the journal and the debts.
TEST_P(DocumentWriterTest, PrintedLinesAddUpToThePrintedTotals) {
    const struct {
        const char *name;
        QList<OrderLine> lines;
        const char *totals;  // the total and its VAT
    } cases[] = {{"thirds at 20 %",
                  {Line("a", "Мойка", 1, 333.33, 20), Line("b", "Чистка", 1, 333.33, 20),
                   Line("c", "Сушка", 1, 333.33, 20)},
                  "1200.00;200.01"},
                 {"half kopecks of VAT",
                  {Line("a", "Вентиль", 1, 0.25, 10), Line("b", "Грузик", 3, 0.35, 18)},
                  "1.52;0.22"},
                 {"fractional quantities",
                  {Line("a", "Герметик", 1.5, 10.01, 20), Line("b", "Паста", 0.333, 99.99, 18)},
                  "57.31;8.99"}};
    // The sum of one amount column over the document's rows.
    const auto column = [](const QString &data, const char *field) {
        Money sum;
        const QRegularExpression re(QStringLiteral("\\|1:%1:([-0-9.]+)").arg(QLatin1String(field)));
        for (const QString &row : RowLines(data)) sum += Money::Parse(re.match(row).captured(1));
        return sum.Text();
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString key = SaveOrder(c.lines);
        for (OrderDocument doc : {OrderDocument::Invoice, OrderDocument::TaxInvoice}) {
            const QString data = Data(doc, key);
            EXPECT_EQ(
                column(data, "summa") + ';' + column(data, "summaNds") + ';' + column(data, "itog"),
                Fields(data, {"summaZ", "summaNdsZ", "itogZ"}).remove(QRegularExpression("[a-zA-Z]+=")));
            EXPECT_EQ(Field(data, "itogZ") + ';' + Field(data, "summaNdsZ"), c.totals);
        }
        const QString work = Data(OrderDocument::WorkOrder, key);
        const QVariant stored = FirstValue(db(), "SELECT ZakazSumma FROM TZakaz WHERE IddZakaz = ?", {key});
        EXPECT_EQ(QStringList(
                      {column(work, "summa"), Field(work, "itog"), Money::Roubles(stored.toDouble()).Text()}),
                  QStringList(3, QString(c.totals).section(u';', 0, 0)));
    }
}
