#include "XlsxProbe.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QXmlStreamReader>

namespace {

QByteArray Part(const QString &xlsx, const QString &name, QString *error) {
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), xlsx, name});
    if (!unzip.waitForFinished(20000) || unzip.exitCode() != 0) *error = QStringLiteral("no part ") + name;
    return unzip.readAllStandardOutput();
}

}  // namespace

XlsxProbe XlsxProbe::Read(const QString &xlsx) {
    XlsxProbe p;
    QStringList strings;
    QXmlStreamReader s(Part(xlsx, QStringLiteral("xl/sharedStrings.xml"), &p.error));
    p.error.clear();  // a sheet of numbers only has no shared strings
    while (!s.atEnd())
        if (s.readNext() == QXmlStreamReader::StartElement && s.name() == u"t")
            strings << s.readElementText();

    QXmlStreamReader x(Part(xlsx, QStringLiteral("xl/worksheets/sheet1.xml"), &p.error));
    XlsxCell *cell = nullptr;
    bool shared = false;
    while (!x.atEnd()) {
        if (x.readNext() != QXmlStreamReader::StartElement) continue;
        const auto n = x.name();
        const auto a = x.attributes();
        if (n == u"c") {
            cell = &p.cells[a.value(QLatin1String("r")).toString()];
            shared = a.value(QLatin1String("t")) == u"s";
            cell->text = shared || a.value(QLatin1String("t")) == u"str" ||
                         a.value(QLatin1String("t")) == u"inlineStr";
        } else if (n == u"v" && cell) {
            const QString v = x.readElementText();
            cell->value = shared ? strings.value(v.toInt()) : v;
        } else if (n == u"mergeCell") {
            p.merges << a.value(QLatin1String("ref")).toString();
        }
    }
    if (x.hasError()) p.error = x.errorString();
    return p;
}

QList<QStringList> CalcRows(const QString &xlsx, QString *error) {
    QTemporaryDir out;
    QProcess calc;
    calc.start(QStringLiteral("soffice"),
               {QStringLiteral("--headless"), QStringLiteral("--norestore"),
                QStringLiteral("-env:UserInstallation=file://") + out.filePath(QStringLiteral("profile")),
                QStringLiteral("--convert-to"), QStringLiteral("csv:Text - txt - csv (StarCalc):9,34,76"),
                QStringLiteral("--outdir"), out.path(), xlsx});
    if (!calc.waitForFinished(120000) || calc.exitCode() != 0) {
        *error = QStringLiteral("soffice failed: ") + QString::fromLocal8Bit(calc.readAllStandardError());
        return {};
    }
    QFile csv(QDir(out.path()).filePath(QFileInfo(xlsx).completeBaseName() + QStringLiteral(".csv")));
    if (!csv.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("no CSV written");
        return {};
    }
    // Tab-separated; a field with quotes in it comes quoted with its quotes doubled.
    QList<QStringList> rows;
    for (const QString &line : QString::fromUtf8(csv.readAll()).split(u'\n', Qt::SkipEmptyParts)) {
        QStringList fields = line.chopped(line.endsWith(u'\r') ? 1 : 0).split(u'\t');
        for (QString &f : fields)
            if (f.size() > 1 && f.startsWith(u'"') && f.endsWith(u'"'))
                f = f.mid(1, f.size() - 2).replace(QStringLiteral("\"\""), QStringLiteral("\""));
        rows << fields;
    }
    return rows;
}
