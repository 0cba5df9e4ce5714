// What the clerk sees: the produced documents opened by LibreOffice, read back as text and as PDF.
#include "DocumentFixture.h"
#include "DocumentPrinter.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

class DocumentLibreOfficeTest : public DocumentTest {
protected:
    void SetUp() override {
        for (const char *name : {"soffice", "libreoffice"})
            if (m_soffice.isEmpty()) m_soffice = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (m_soffice.isEmpty()) {
            // The test command installs LibreOffice; only a bare developer machine may go without.
            if (!qEnvironmentVariableIsEmpty("ZV_REQUIRE_PG"))
                FAIL() << "LibreOffice (soffice) is not installed";
            GTEST_SKIP() << "LibreOffice is not installed";
        }
        DocumentTest::SetUp();
    }

    // Converts the files with one LibreOffice run; returns the converted files' contents in the same order.
    QList<QByteArray> Convert(const QStringList &files, const QString &filter, const QString &ext) {
        const QString out = m_work.filePath(ext);
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(m_soffice, QStringList{"-env:UserInstallation=file://" + m_work.filePath("lo-profile"),
                                       "--headless", "--norestore", "--convert-to", filter, "--outdir", out} +
                               files);
        EXPECT_TRUE(p.waitForFinished(240000)) << "LibreOffice did not finish";
        EXPECT_EQ(p.exitCode(), 0) << p.readAll().toStdString();
        QList<QByteArray> converted;
        for (const QString &f : files) {
            QFile c(QDir(out).filePath(QFileInfo(f).completeBaseName() + u'.' + ext));
            EXPECT_TRUE(c.open(QIODevice::ReadOnly)) << S(c.fileName());
            converted << c.readAll();
            const QString keep = qEnvironmentVariable("ZV_KEEP_DOCUMENTS");  // a folder to look at them in
            if (!keep.isEmpty()) c.copy(QDir(keep).filePath(QFileInfo(c).fileName()));
        }
        return converted;
    }

    QString m_soffice;
};
ZV_INSTANTIATE_SCREEN_TESTS(DocumentLibreOfficeTest);

TEST_P(DocumentLibreOfficeTest, EveryDocumentShowsTheOrderAndFitsOnePage) {
    const QStringList names = {"Балансировка колеса", "Монтаж шины", "Мойка кузова", "Чернение резины"};
    const QString key = SaveOrder({Group("pkg", "Шиномонтаж R16",
                                         {Line("a", names[0], 4, 150, 20, {"Петров П.П."}),
                                          Line("b", names[1], 4, 200, 20, {"Сидоров С.С."})}),
                                   Line("c", names[2], 1, 500, 20), Line("d", names[3], 1, 120.5, 20)});
    QStringList produced;
    DocumentPrinter printer(db(), m_prompter, m_work.path(), [&](const QString &p) { produced << p; });
    printer.Print(key, DocumentFiles::InPrintOrder());
    ASSERT_EQ(produced.size(), 5) << S(m_prompter.All().join(u';'));

    const QList<QByteArray> texts = Convert(produced, "txt:Text (encoded):UTF8", "txt");
    const QString total = "2424.60";  // (1400 + 500 + 120.50) + 20 % VAT
    const QString words = "Две тысячи четыреста двадцать четыре рубля 60 копеек";
    for (int i = 0; i < texts.size(); ++i) {
        const QString text = QString::fromUtf8(texts[i]);
        const OrderDocument doc = DocumentFiles::InPrintOrder()[i];
        SCOPED_TRACE(S(produced[i]));
        EXPECT_TRUE(doc == OrderDocument::Request || text.contains(m_number));
        for (const QString &shown :
             names + QStringList{"05.03.2024", "Шиномонтаж #1 и #2", "Шиномонтаж R16", total})
            EXPECT_TRUE(text.contains(shown)) << S(shown);
        // The text export writes a run of blanks with thin spaces.
        EXPECT_TRUE(doc == OrderDocument::TaxInvoice || text.simplified().contains(words));
        EXPECT_FALSE(text.contains("#itog"));
    }
    const QRegularExpression page("/Type\\s*/Page[^s]");
    for (const QByteArray &pdf : Convert(produced, "pdf", "pdf"))
        EXPECT_EQ(QString::fromLatin1(pdf).count(page), 1);
}
