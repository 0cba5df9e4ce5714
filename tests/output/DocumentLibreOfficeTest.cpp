// What the clerk sees: the produced documents opened by LibreOffice, read back as text and as PDF.
#include "DocumentFixture.h"
#include "DocumentPrinter.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

namespace {

QString Soffice() {
    for (const char *name : {"soffice", "libreoffice"}) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!path.isEmpty()) return path;
    }
    return {};
}

}  // namespace

class DocumentLibreOfficeTest : public DocumentTest {
protected:
    void SetUp() override {
        m_soffice = Soffice();
        if (m_soffice.isEmpty()) {
            // The test command installs LibreOffice; only a bare developer machine may go without.
            if (!qEnvironmentVariableIsEmpty("ZV_REQUIRE_PG"))
                FAIL() << "LibreOffice (soffice) is not installed";
            GTEST_SKIP() << "LibreOffice is not installed";
        }
        DocumentTest::SetUp();
    }

    // Converts the files with one LibreOffice run; returns the converted files in the same order.
    QStringList Convert(const QStringList &files, const QString &filter, const QString &ext) {
        const QString out = m_work.filePath(ext);
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(m_soffice,
                QStringList{QStringLiteral("-env:UserInstallation=file://") +
                                m_work.filePath(QStringLiteral("lo-profile")),
                            QStringLiteral("--headless"), QStringLiteral("--norestore"),
                            QStringLiteral("--convert-to"), filter, QStringLiteral("--outdir"), out} +
                    files);
        EXPECT_TRUE(p.waitForFinished(240000)) << "LibreOffice did not finish";
        EXPECT_EQ(p.exitCode(), 0) << p.readAll().toStdString();
        QStringList converted;
        for (const QString &f : files)
            converted << QDir(out).filePath(QFileInfo(f).completeBaseName() + u'.' + ext);
        return converted;
    }

    QString m_soffice;
};
INSTANTIATE_TEST_SUITE_P(Db, DocumentLibreOfficeTest, ::testing::Values(Backend::Sqlite), BackendName);

TEST_P(DocumentLibreOfficeTest, EveryDocumentShowsTheOrderAndFitsOnePage) {
    const QStringList names = {QStringLiteral("Балансировка колеса"), QStringLiteral("Монтаж шины"),
                               QStringLiteral("Мойка кузова"), QStringLiteral("Чернение резины")};
    const QString key = SaveOrder(
        {Group(QStringLiteral("pkg"), QStringLiteral("Шиномонтаж R16"),
               {Line(QStringLiteral("a"), names[0], 4, 150, 20, {QStringLiteral("Петров П.П.")}),
                Line(QStringLiteral("b"), names[1], 4, 200, 20, {QStringLiteral("Сидоров С.С.")})}),
         Line(QStringLiteral("c"), names[2], 1, 500, 20), Line(QStringLiteral("d"), names[3], 1, 120.5, 20)});
    QStringList produced;
    DocumentPrinter printer(db(), m_prompter, m_work.path(), [&](const QString &p) { produced << p; });
    printer.Print(key, DocumentFiles::InPrintOrder());
    ASSERT_EQ(produced.size(), 5) << m_prompter.All().join(u';').toStdString();

    const QStringList texts =
        Convert(produced, QStringLiteral("txt:Text (encoded):UTF8"), QStringLiteral("txt"));
    const QString total = QStringLiteral("2424.60");  // (1400 + 500 + 120.50) + 20 % VAT
    const QString words = QStringLiteral("Две тысячи четыреста двадцать четыре рубля 60  копеек");
    for (int i = 0; i < texts.size(); ++i) {
        QFile f(texts[i]);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << texts[i].toStdString();
        const QString text = QString::fromUtf8(f.readAll());
        const OrderDocument doc = DocumentFiles::InPrintOrder()[i];
        SCOPED_TRACE(texts[i].toStdString());
        EXPECT_TRUE(doc == OrderDocument::Request || text.contains(m_number));
        EXPECT_TRUE(text.contains(QStringLiteral("05.03.2024")));
        EXPECT_TRUE(text.contains(QStringLiteral("Шиномонтаж #1 и #2")));
        EXPECT_TRUE(text.contains(QStringLiteral("Шиномонтаж R16")));
        for (const QString &name : names) EXPECT_TRUE(text.contains(name)) << name.toStdString();
        EXPECT_TRUE(text.contains(total));
        // The text export writes a run of blanks with thin spaces.
        EXPECT_TRUE(doc == OrderDocument::TaxInvoice || text.simplified().contains(words.simplified()));
        EXPECT_FALSE(text.contains(u'#' + QStringLiteral("itog")));
    }

    const QStringList pdfs = Convert(produced, QStringLiteral("pdf"), QStringLiteral("pdf"));
    const QRegularExpression page(QStringLiteral("/Type\\s*/Page[^s]"));
    for (const QString &pdf : pdfs) {
        QFile f(pdf);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << pdf.toStdString();
        EXPECT_EQ(QString::fromLatin1(f.readAll()).count(page), 1) << pdf.toStdString();
        const QString keep = qEnvironmentVariable("ZV_KEEP_DOCUMENTS");  // a folder to look at them in
        if (!keep.isEmpty()) QFile::copy(pdf, QDir(keep).filePath(QFileInfo(pdf).fileName()));
    }
}
