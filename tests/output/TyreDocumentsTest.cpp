#include "AppContext.h"
#include "DocumentFixture.h"
#include "ReportCommands.h"
#include "Scripted.h"
#include "TestRows.h"
#include "TyreStore.h"

#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

// A winter set of a client's car with the fixture's shop, printed by the commands as the clerk
// "Сидоров С.С."; the opener records what it is asked to show. On both databases: the receipt reads the
// client, the car and the shop.
class TyreDocumentsTest : public DocumentTest {
protected:
    void Fill() override {
        DocumentTest::Fill();
        TestRows::Put(db(), TestRows::Client{.key = "c1", .name = "Петров П.П.", .tel = "8-900-111-22-33"});
        TestRows::Put(db(), TestRows::Car{.key = "a1", .plate = "В222ВВ69", .make = "Kia Rio"});
        CompanyInfo shop = *CompanyStore(db()).Read();
        shop.Field("MainAdres") = "Тверь, ул. Шинная, 7", CompanyStore(db()).Save(shop);
        m_set.iddClient = "c1", m_set.iddAvto = "a1", m_set.code = "Ш/0042", m_set.maker = "Nokian";
        m_set.model = "Hakkapeliitta 10", m_set.size = "205/55 R16", m_set.rims = true;
        m_set.tread = {7.5, 7, 6.8}, m_set.damage = "порез #2 | правая\nзадняя", m_user.name = "Сидоров С.С.";
        m_set.dateIn = QDate(2026, 10, 1), m_set.paidUntil = QDate(2027, 4, 1),
        m_set.fee = Money::Kopecks(150000);
        m_set.plate = "В222ВВ69", m_set.clientName = "Петров П.П.",
        m_set.placeText = "Стеллаж A, полка 2, ячейка 5";
    }
    bool Print(bool (*command)(AppContext &, const TyreSet &, const DocumentPrinter::Opener &)) {
        AppContext ctx(db(), m_user, m_prompter, m_dialogs, m_work.path());
        return command(ctx, m_set, [this](const QString &path) { return m_opened << path, m_show; });
    }
    static QStringList Texts(const QString &joined) { return joined.split(u'~', Qt::SkipEmptyParts); }
    // Each text found after the one before it in the last document opened.
    void ExpectInOrder(const QStringList &expected) {
        const QString merged = Read(m_opened.value(m_opened.size() - 1));
        qsizetype at = 0;
        for (const QString &text : expected) {
            const qsizetype found = merged.indexOf(text, at);
            EXPECT_GE(found, 0) << S(text) << " after " << S(merged.mid(at, 80));
            at = std::max(at, found + 1);
        }
        EXPECT_FALSE(merged.contains(u'#'));  // no placeholder or section marker is left
        EXPECT_EQ(merged.count(u'{'), merged.count(u'}'));
    }

    TyreSet m_set;
    UserInfo m_user;
    ScriptedDialogs m_dialogs;
    QStringList m_opened;
    bool m_show = true;
};
ZV_INSTANTIATE_DB_TESTS(TyreDocumentsTest);

TEST_P(TyreDocumentsTest, ReceiptPutsEveryFieldInItsPlaceUnderDoc) {
    ASSERT_TRUE(Print(ReportCommands::TyreReceipt));
    EXPECT_EQ(S(m_opened.value(0)), S(m_work.filePath("doc/Kvitanciya_Ш_0042.doc")));
    ExpectInOrder(
        Texts("ООО \"Шинный двор\"~Тверь, ул. Шинная, 7~495-111-22-33~Ш/0042~01.10.2026~Петров П.П.~"
              "8-900-111-22-33~Kia Rio~В222ВВ69~зимние~Nokian Hakkapeliitta 10~205/55 R16~4 шт.~с дисками~" +
              m_set.TreadText() +
              "~порез \\'232 ¦ правая{\\par}задняя~Стеллаж A, полка 2, ячейка 5~01.10.2026~01.04.2027~"
              "1500.00 руб.~клиент~Сидоров С.С."));
    EXPECT_TRUE(m_prompter.All().isEmpty()) << S(m_prompter.All().join('\n'));
    // Without rims, tread or damage noted, and with no viewer to show it: the clerk learns where it is.
    m_set.rims = false, m_set.tread.clear(), m_set.damage.clear(), m_show = false;
    ASSERT_TRUE(Print(ReportCommands::TyreReceipt));
    ExpectInOrder(Texts("без дисков~не измерена~не отмечены"));
    EXPECT_TRUE(m_prompter.warnings.value(0).startsWith("Квитанция сохранена в файл «" + m_opened.value(1)));
}

// A label per tyre, typed text kept in its field; a set without tyres or without a code prints nothing.
TEST_P(TyreDocumentsTest, LabelsAreOnePerTyre) {
    m_set.count = 6, m_set.clientName = "ООО \"Ромашка\" |1:Code:X #1\nфилиал";
    ASSERT_TRUE(Print(ReportCommands::TyreLabels));
    EXPECT_EQ(S(m_opened.value(0)), S(m_work.filePath("doc/Etiketki_Ш_0042.doc")));
    const QString label =
        "В222ВВ69~ООО \"Ромашка\" ¦1:Code:X \\'231{\\par}филиал~Стеллаж A, полка 2, ячейка 5~"
        "Ш/0042~зимние~%1 из 6~";
    QString expected;
    for (int n = 1; n <= 6; ++n) expected += label.arg(n);
    ExpectInOrder(Texts(expected));
    EXPECT_EQ(Read(m_opened.value(0)).count("\\row"), 6);

    m_set.count = 0;
    EXPECT_FALSE(Print(ReportCommands::TyreLabels));
    m_set.code = " ";
    EXPECT_FALSE(Print(ReportCommands::TyreReceipt));
    EXPECT_EQ(m_opened.size(), 1);
    EXPECT_TRUE(m_prompter.warnings.value(0).startsWith("В комплекте Ш/0042 не указано ни одной шины"));
    EXPECT_TRUE(m_prompter.warnings.value(1).startsWith("Комплект ещё не принят на хранение"));
}

// As the clerk's office suite shows them: the receipt on one page with the longest notes, eight labels on two
// pages, four to a page. Where no office suite is installed there is nothing to look with.
TEST_P(TyreDocumentsTest, TheReceiptTakesOnePageAndLabelsGoFourToAPage) {
    const QString office = QStandardPaths::findExecutable(u"libreoffice"_s);
    if (office.isEmpty() || GetParam() != Backend::Sqlite) GTEST_SKIP() << "no LibreOffice, or already seen";
    const auto pages = [&](const QString &document) {
        QTemporaryDir out;
        QProcess convert;
        convert.start(office,
                      {u"--headless"_s, u"-env:UserInstallation=file://"_s + out.path() + u"/profile"_s,
                       u"--convert-to"_s, u"pdf"_s, u"--outdir"_s, out.path(), document});
        convert.waitForFinished(120000);
        QFile pdf(out.filePath(QFileInfo(document).completeBaseName() + u".pdf"_s));
        if (!pdf.open(QIODevice::ReadOnly)) return -1;
        return int(QString::fromLatin1(pdf.readAll()).count(QRegularExpression(u"/Type\\s*/Page[^s]"_s)));
    };
    m_set.damage = QString(u"глубокий порез на боковине, грыжа, "_s).repeated(12);
    m_set.clientName = u"Общество с ограниченной ответственностью «Транспортная компания Северо-Запад»"_s;
    ASSERT_TRUE(Print(ReportCommands::TyreReceipt));
    EXPECT_EQ(pages(m_opened.last()), 1);
    m_set.count = 8;
    ASSERT_TRUE(Print(ReportCommands::TyreLabels));
    EXPECT_EQ(pages(m_opened.last()), 2);
}
