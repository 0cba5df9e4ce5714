#include "AmountInWords.h"
#include "DbError.h"
#include "DocumentFixture.h"
#include "DocumentPrinter.h"
#include "DocumentWriter.h"
#include "RtfTemplateFiller.h"

#include <QRegularExpression>

namespace {

QStringList RowLines(const QString &data) {
    QStringList rows;
    for (const QString &line : data.split(u'\n'))
        if (line.startsWith(QStringLiteral("|1:"))) rows << line;
    return rows;
}

QString Field(const QString &data, const QString &name) {
    const QRegularExpression re(QStringLiteral("\\|0:%1:([^\\n]*)").arg(name));
    const auto m = re.match(data);
    return m.hasMatch() ? m.captured(1) : QStringLiteral("<missing>");
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
    const QString key = SaveOrder({Group(QStringLiteral("pkg"), QStringLiteral("Шиномонтаж R15"),
                                         {Line(QStringLiteral("a"), QStringLiteral("Балансировка"), 4, 100,
                                               20, {QStringLiteral("Петров")}),
                                          Line(QStringLiteral("b"), QStringLiteral("Монтаж"), 4, 50, 0,
                                               {QStringLiteral("Петров"), QStringLiteral("Сидоров")}),
                                          Line(QStringLiteral("c"), QStringLiteral("Снятие"), 1, 10.5, 10)}),
                                   Line(QStringLiteral("wash"), QStringLiteral("Мойка"), 1, 400, 20)});

    const QString work = Data(OrderDocument::WorkOrder, key);
    const QStringList rows = RowLines(work);
    ASSERT_EQ(rows.size(), 5);
    EXPECT_EQ(rows[0],
              QStringLiteral("|1:pp:1|1:ServiceName:Шиномонтаж R15|1:kol:1.00|1:price:0.00|1:summa:691.55"));
    EXPECT_EQ(rows[1], QStringLiteral("|1:pp:|1:ServiceName: - Балансировка|1:kol:4.00|1:price:100.00"
                                      "|1:summa:480.00|1:work:Петров "));
    EXPECT_TRUE(rows[2].startsWith(QStringLiteral("|1:pp:|1:ServiceName: - ")));
    EXPECT_TRUE(rows[2].endsWith(QStringLiteral("|1:summa:200.00|1:work:Петров Сидоров ")));
    EXPECT_TRUE(rows[3].startsWith(QStringLiteral("|1:pp:|1:ServiceName: - Снятие")));
    EXPECT_TRUE(rows[4].startsWith(QStringLiteral("|1:pp:2|1:ServiceName:Мойка")));
    // Each row is followed by the empty field k.
    EXPECT_EQ(work.count(QStringLiteral("\n|0:k:\n")), 5);
    EXPECT_EQ(Field(work, QStringLiteral("itog")), QStringLiteral("1171.55"));
    EXPECT_EQ(Field(work, QStringLiteral("SummaNDS")), QStringLiteral("161.05"));
    EXPECT_EQ(Field(work, QStringLiteral("itogP")),
              QStringLiteral("Одна тысяча сто семьдесят один рубль 55  копеек"));
    EXPECT_TRUE(work.contains(QStringLiteral("|0:MainTel:495-111-22-33|0:MainFaks:495-111-22-34\n")));
    EXPECT_TRUE(work.contains(QStringLiteral("|0:ZakazNomer:%1|0:ZakazData:05.03.2024\n").arg(m_number)));
    EXPECT_TRUE(work.contains(QStringLiteral("|0:ClientName:Шиномонтаж #1 и #2|0:AvtoMarka:Лада Гранта\n")));
    EXPECT_FALSE(work.contains(QStringLiteral("nomerZ")));

    const QString invoice = Data(OrderDocument::Invoice, key);
    const QStringList irows = RowLines(invoice);
    ASSERT_EQ(irows.size(), 5);
    EXPECT_TRUE(irows[0].endsWith(QStringLiteral("|1:summa:610.50|1:nds:-|1:summaNds:81.05|1:itog:691.55")));
    EXPECT_TRUE(
        irows[1].endsWith(QStringLiteral("|1:summa:400.00|1:nds:20.00|1:summaNds:80.00|1:itog:480.00")));
    EXPECT_EQ(Field(invoice, QStringLiteral("colZ")), QStringLiteral("2.00"));
    EXPECT_EQ(Field(invoice, QStringLiteral("summaZ")), QStringLiteral("1010.50"));
    EXPECT_EQ(Field(invoice, QStringLiteral("summaNdsZ")), QStringLiteral("161.05"));
    EXPECT_EQ(Field(invoice, QStringLiteral("itogZ")), QStringLiteral("1171.55"));
    EXPECT_EQ(Field(invoice, QStringLiteral("MainChif")), QStringLiteral("Иванов И.И."));
    EXPECT_EQ(Field(invoice, QStringLiteral("INN")), QStringLiteral("7701234567/770101001"));
    EXPECT_EQ(
        Field(invoice, QStringLiteral("ClientData")),
        QStringLiteral("р/с 40702810000000000099 в АО Банк, кор.счет 30101810000000000001 БИК 042809679 "
                       "Адрес: Тверь, ул. Фактическая, 2"));

    EXPECT_EQ(Field(Data(OrderDocument::Act, key), QStringLiteral("nomerZ")), m_number);
    const QString request = Data(OrderDocument::Request, key);
    EXPECT_EQ(Field(request, QStringLiteral("ClinetTel")), QStringLiteral("8-900-000-00-01"));
    EXPECT_EQ(Field(request, QStringLiteral("ZakazNomer")), QStringLiteral("<missing>"));
    const QString tax = Data(OrderDocument::TaxInvoice, key);
    EXPECT_EQ(Field(tax, QStringLiteral("ClientINN")), QStringLiteral("690000000001"));
    EXPECT_EQ(Field(tax, QStringLiteral("colZ")), QStringLiteral("<missing>"));
}

TEST_P(DocumentWriterTest, OrderWithoutLinesGivesHeadersAndZeroTotals) {
    const QString key = SaveOrder({});
    const QString work = Data(OrderDocument::WorkOrder, key);
    EXPECT_TRUE(RowLines(work).isEmpty());
    EXPECT_EQ(Field(work, QStringLiteral("itog")), QStringLiteral("0.00"));
    EXPECT_EQ(Field(work, QStringLiteral("itogP")), QString());
    EXPECT_EQ(Field(work, QStringLiteral("MainName")), QStringLiteral("ООО \"Шинный двор\""));
    const QString invoice = Data(OrderDocument::Invoice, key);
    for (const char *total : {"colZ", "summaZ", "summaNdsZ", "itogZ", "SumNDS"})
        EXPECT_EQ(Field(invoice, QString::fromLatin1(total)), QStringLiteral("0.00")) << total;

    // The merged work order keeps its table heading and shows the zero total.
    const QString data = m_work.filePath(QStringLiteral("d.txt"));
    DocumentWriter(db()).Write(OrderDocument::WorkOrder, key, data);
    ASSERT_EQ(RtfTemplateFiller(&m_prompter)
                  .Fill(data, QStringLiteral(ZV_TEMPLATES_DIR "/szakaz_nar.rtf"), QStringLiteral("out.doc")),
              0);
    const QString doc = Read(m_work.filePath(QStringLiteral("out.doc")));
    EXPECT_TRUE(doc.contains(QStringLiteral("Наименование работ")));
    EXPECT_TRUE(doc.contains(QStringLiteral("0.00")));
    EXPECT_FALSE(doc.contains(u'#'));
}

TEST_P(DocumentWriterTest, ClientWithoutSettlementAccount) {
    const QString key = SaveOrder({}, QStringLiteral("Частное лицо"), false);
    EXPECT_EQ(Field(Data(OrderDocument::Invoice, key), QStringLiteral("ClientData")),
              QStringLiteral(" Адрес: Тверь, ул. Фактическая, 2"));
}

TEST_P(DocumentWriterTest, TypedTextNeitherVanishesNorStartsFieldsOfItsOwn) {
    const QString key = SaveOrder({Line(QStringLiteral("x"), QStringLiteral("Мойка\nсалона 洗车"), 1, 1, 0)},
                                  QStringLiteral("Ли Вэй 李伟|0:INN:000|DOS:"));
    const QString work = Data(OrderDocument::WorkOrder, key);
    EXPECT_EQ(Field(work, QStringLiteral("ClientName")).section(u'|', 0, 0),
              QStringLiteral("Ли Вэй ??¦0:INN:000¦DOS:"));
    EXPECT_FALSE(work.contains(QStringLiteral("|0:INN:000")));
    EXPECT_FALSE(work.contains(QStringLiteral("|DOS:")));
    // A line break inside a value stays inside its data line.
    EXPECT_TRUE(RowLines(work).value(0).contains(QStringLiteral("Мойка|EOL:салона ??")));
}

TEST_P(DocumentWriterTest, MissingOrderIsReported) {
    EXPECT_THROW(DocumentWriter(db()).Data(OrderDocument::Act, QStringLiteral("nope")), DbError);
    DocumentPrinter printer(db(), m_prompter, m_work.path(), [](const QString &) { FAIL() << "opened"; });
    EXPECT_TRUE(printer.Print(QStringLiteral("nope"), {OrderDocument::Act}).isEmpty());
    EXPECT_EQ(m_prompter.errors.size(), 1);
}

TEST_P(DocumentWriterTest, OnlyTickedDocumentsInPrintOrder) {
    const QString key = SaveOrder({Line(QStringLiteral("x"), QStringLiteral("Мойка"), 1, 100, 20)});
    QStringList opened;
    DocumentPrinter printer(db(), m_prompter, m_work.path(), [&](const QString &p) { opened << p; });
    ASSERT_FALSE(QDir(m_work.filePath(QStringLiteral("doc"))).exists());
    const QStringList produced =
        printer.Print(key, {OrderDocument::Request, OrderDocument::TaxInvoice, OrderDocument::WorkOrder});
    const QString doc = QDir(m_work.path()).filePath(QStringLiteral("doc/"));
    EXPECT_EQ(opened, QStringList({doc + QStringLiteral("ZNarad") + m_number + QStringLiteral(".doc"),
                                   doc + QStringLiteral("ChetFakt") + m_number + QStringLiteral(".doc"),
                                   doc + QStringLiteral("Zajvka") + m_number + QStringLiteral(".doc")}));
    EXPECT_EQ(produced, opened);
    EXPECT_TRUE(m_prompter.All().isEmpty()) << m_prompter.All().join(u';').toStdString();
    for (const QString &path : opened) {
        const QString text = Read(path);
        EXPECT_TRUE(text.startsWith(QStringLiteral("{\\rtf1"))) << path.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("Мойка"))) << path.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("Шиномонтаж \\'231 и \\'232"))) << path.toStdString();
    }
    EXPECT_TRUE(QFile::exists(m_work.filePath(QStringLiteral("zakaz_narad.txt"))));
    EXPECT_FALSE(QFile::exists(m_work.filePath(QStringLiteral("chet.txt"))));
    EXPECT_FALSE(QFile::exists(doc + QStringLiteral("Akt") + m_number + QStringLiteral(".doc")));
}

TEST_P(DocumentWriterTest, FailedMergeOpensNothing) {
    const QString key = SaveOrder({});
    // A template in the working directory comes before the installed one.
    QFile broken(m_work.filePath(QStringLiteral("sakt.rtf")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a template");
    broken.close();
    QDir().mkpath(QStringLiteral("doc"));
    const QString older = QStringLiteral("doc/Akt") + m_number + QStringLiteral(".doc");
    QFile old(older);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("older order");
    old.close();

    QStringList opened;
    DocumentPrinter printer(db(), m_prompter, m_work.path(), [&](const QString &p) { opened << p; });
    EXPECT_EQ(printer.Print(key, {OrderDocument::Act, OrderDocument::Invoice}).size(), 1);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_TRUE(opened[0].contains(QStringLiteral("/doc/Chet")));
    EXPECT_EQ(m_prompter.warnings, QStringList{QStringLiteral("Формат файла шаблона - не RTF")});
    EXPECT_EQ(Read(older), QStringLiteral("older order"));
}

TEST(DocumentPrinterNames, OutputNamesAreSafeFileNames) {
    EXPECT_EQ(DocumentPrinter::OutputName(OrderDocument::Invoice, QStringLiteral("А/12")),
              QStringLiteral("doc/ChetА_12.doc"));
    EXPECT_EQ(DocumentPrinter::OutputName(OrderDocument::WorkOrder, QStringLiteral("7")),
              QStringLiteral("doc/ZNarad7.doc"));
}

TEST_P(DocumentWriterTest, EveryFieldWrittenReachesItsTemplate) {
    // Distinct values everywhere, so a placeholder missing from a template (or misspelt) shows as a
    // value lost in the merge.
    const QString key = SaveOrder(
        {Group(QStringLiteral("g"), QStringLiteral("vGroup"),
               {Line(QStringLiteral("s"), QStringLiteral("vSub"), 3, 7.25, 18, {QStringLiteral("vWorker")})}),
         Line(QStringLiteral("t"), QStringLiteral("vSingle"), 2, 11, 20)});
    Values company;
    for (const char *f : {"MainName", "MainINN", "MainAdres", "MainTel", "MainFaks", "MainBank", "MainChet",
                          "MainKorChet", "MainBIK", "MainDirector", "MainByx"})
        company << ColumnValue{QString::fromLatin1(f), QStringLiteral("v") + QString::fromLatin1(f)};
    Rows::Update(db(), QStringLiteral("SMain"), {{QStringLiteral("IddMain"), QStringLiteral("1")}}, company);
    const OrderCar car{QStringLiteral("vNomer"), QStringLiteral("vMarka"), QStringLiteral("vVin"),
                       QStringLiteral("vDvig"),  QStringLiteral("vColor"), QStringLiteral("vPrim")};
    Rows::Update(db(), QStringLiteral("SAvto"),
                 {{QStringLiteral("IddAvto"), OrderStore(db()).Load(key)->IddAvto}},
                 {{QStringLiteral("AvtoNomer"), car.AvtoNomer},
                  {QStringLiteral("AvtoMarka"), car.AvtoMarka},
                  {QStringLiteral("AvtoVin"), car.AvtoVin},
                  {QStringLiteral("AvtoDvig"), car.AvtoDvig},
                  {QStringLiteral("AvtoColor"), car.AvtoColor},
                  {QStringLiteral("AvtoPrim"), car.AvtoPrim}});

    for (OrderDocument doc : DocumentFiles::InPrintOrder()) {
        const DocumentFiles files = DocumentFiles::Of(doc);
        SCOPED_TRACE(files.templateFile.toStdString());
        const QString dataPath = m_work.filePath(files.dataFile);
        DocumentWriter(db()).Write(doc, key, dataPath);
        ASSERT_EQ(RtfTemplateFiller(&m_prompter)
                      .Fill(dataPath, QStringLiteral(ZV_TEMPLATES_DIR "/") + files.templateFile,
                            QStringLiteral("out.doc")),
                  0);
        const QByteArray merged = Cp1251::FromUnicode(Read(m_work.filePath(QStringLiteral("out.doc"))));
        const QString data = Read(dataPath);
        int checked = 0;
        for (const QString &line : data.split(u'\n', Qt::SkipEmptyParts)) {
            const QString prefix = line.left(line.indexOf(u':') + 1);
            for (const QString &field : line.split(prefix, Qt::SkipEmptyParts)) {
                const QString name = field.section(u':', 0, 0), value = field.section(u':', 1);
                if (value.trimmed().isEmpty() || name == u"k") continue;
                EXPECT_TRUE(merged.contains(RtfTemplateFiller::EscapeValue(Cp1251::FromUnicode(value))))
                    << name.toStdString() << " = " << value.toStdString();
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
        const char *total, *vat;
    } cases[] = {
        {"thirds at 20 %",
         {Line(QStringLiteral("a"), QStringLiteral("Мойка"), 1, 333.33, 20),
          Line(QStringLiteral("b"), QStringLiteral("Чистка"), 1, 333.33, 20),
          Line(QStringLiteral("c"), QStringLiteral("Сушка"), 1, 333.33, 20)},
         "1200.00",
         "200.01"},
        {"half kopecks of VAT",
         {Line(QStringLiteral("a"), QStringLiteral("Вентиль"), 1, 0.25, 10),
          Line(QStringLiteral("b"), QStringLiteral("Грузик"), 3, 0.35, 18)},
         "1.52",
         "0.22"},
        {"fractional quantities",
         {Line(QStringLiteral("a"), QStringLiteral("Герметик"), 1.5, 10.01, 20),
          Line(QStringLiteral("b"), QStringLiteral("Паста"), 0.333, 99.99, 18)},
         "57.31",
         "8.99"},
    };
    const auto money = [](const QString &row, const char *field) {
        const QRegularExpression re(QStringLiteral("\\|1:%1:([-0-9.]+)").arg(QLatin1String(field)));
        return Money::Parse(re.match(row).captured(1));
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString key = SaveOrder(c.lines);
        for (OrderDocument doc : {OrderDocument::Invoice, OrderDocument::TaxInvoice}) {
            const QString data = Data(doc, key);
            Money sum, vat, total;
            for (const QString &row : RowLines(data)) {
                sum += money(row, "summa");
                vat += money(row, "summaNds");
                total += money(row, "itog");
            }
            EXPECT_EQ(sum.Text(), Field(data, QStringLiteral("summaZ")));
            EXPECT_EQ(vat.Text(), Field(data, QStringLiteral("summaNdsZ")));
            EXPECT_EQ(total.Text(), Field(data, QStringLiteral("itogZ")));
            EXPECT_EQ(sum + vat, total);
            EXPECT_EQ(Field(data, QStringLiteral("itogZ")), QLatin1String(c.total));
            EXPECT_EQ(Field(data, QStringLiteral("summaNdsZ")), QLatin1String(c.vat));
        }
        const QString work = Data(OrderDocument::WorkOrder, key);
        Money rows;
        for (const QString &row : RowLines(work)) rows += money(row, "summa");
        EXPECT_EQ(rows.Text(), Field(work, QStringLiteral("itog")));
        EXPECT_EQ(Field(work, QStringLiteral("itog")), QLatin1String(c.total));
        EXPECT_EQ(Field(work, QStringLiteral("itogP")),
                  AmountInWords().Format(Money::Parse(QString::fromLatin1(c.total)).ToDouble(), true, false,
                                         QStringLiteral("643")));
        const QVariant stored =
            FirstValue(db(), QStringLiteral("SELECT ZakazSumma FROM TZakaz WHERE IddZakaz = ?"), {key});
        EXPECT_EQ(Money::Roubles(stored.toDouble()).Text(), QLatin1String(c.total));
    }
}
