#include "XlsxProbe.h"

#include <QProcess>
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
        const QXmlStreamAttributes a = x.attributes();
        if (n == u"c") {
            cell = &p.cells[a.value(QLatin1String("r")).toString()];
            shared = a.value(QLatin1String("t")) == u"s";
            cell->text = shared || a.value(QLatin1String("t")) == u"inlineStr";
        } else if (n == u"v" && cell) {
            const QString v = x.readElementText();
            cell->value = shared ? strings.value(v.toInt()) : v;
        } else if (n == u"mergeCell") {
            p.merges << a.value(QLatin1String("ref")).toString();
        } else if (n == u"pageSetUpPr" || n == u"pageSetup") {
            for (const auto &t : a) p.page << t.name().toString() + u'=' + t.value().toString();
        }
    }
    if (x.hasError()) p.error = x.errorString();
    return p;
}
