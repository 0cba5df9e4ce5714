#include "DocumentPrinter.h"

#include "DbError.h"
#include "PrivateFiles.h"
#include "Prompter.h"
#include "RtfTemplateFiller.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

DocumentPrinter::DocumentPrinter(Database &db, Prompter &prompter, QString workDir, Opener opener)
    : m_db(db), m_prompter(prompter), m_workDir(std::move(workDir)), m_opener(std::move(opener)) {}

QString DocumentPrinter::FindTemplate(const QString &workDir, const QString &name) {
    const QString appDir = QCoreApplication::applicationDirPath();
    QStringList folders = {workDir, QDir(workDir).filePath(QStringLiteral("templates")),
                           QDir(appDir).filePath(QStringLiteral("templates")),
                           QDir(appDir).filePath(QStringLiteral("../share/trellvark/templates"))};
#ifdef ZV_TEMPLATES_DIR
    folders << QStringLiteral(ZV_TEMPLATES_DIR);
#endif
    for (const QString &folder : folders) {
        const QString path = QDir(folder).filePath(name);
        if (QFileInfo::exists(path)) return path;
    }
    return QDir(workDir).filePath(name);  // missing: the filler says so
}

QString DocumentPrinter::OutputName(OrderDocument doc, const QString &number) {
    QString safe = number;
    for (QChar &c : safe)
        if (c == u'/' || c == u'\\' || c == u':' || c == u'*' || c == u'?' || c == u'"' || c == u'<' ||
            c == u'>' || c == u'|')
            c = u'_';
    return QStringLiteral("doc/") + DocumentFiles::Of(doc).outputPrefix + safe + QStringLiteral(".doc");
}

QStringList DocumentPrinter::Print(const QString &iddZakaz, const QList<OrderDocument> &ticked) {
    QStringList produced, notOpened;
    // The data for the merge go to a folder of this print's own, for its user alone: two workstations
    // printing from one shared folder never write each other's, and nobody else can read them.
    const QTemporaryDir data(QDir(QDir::tempPath()).filePath(QStringLiteral("trellvark-XXXXXX")));
    if (!data.isValid()) {
        m_prompter.Error(QStringLiteral("Не могу записать файл данных %1").arg(data.errorString()));
        return produced;
    }
    for (OrderDocument doc : DocumentFiles::InPrintOrder()) {
        if (!ticked.contains(doc)) continue;
        const DocumentFiles files = DocumentFiles::Of(doc);
        const QString dataPath = data.filePath(files.dataFile);
        QString number;
        try {
            number = DocumentWriter(m_db).Write(doc, iddZakaz, dataPath);
        } catch (const DbError &e) {
            m_prompter.Error(e.text());
            continue;
        }
        const QString output = OutputName(doc, number);
        if (!PrivateFiles::MakeFolder(QDir::current().filePath(QStringLiteral("doc")))) {
            m_prompter.Warning(QStringLiteral("Не могу создать папку doc для документов!"));
            continue;
        }
        RtfTemplateFiller filler(&m_prompter);
        // After a failed merge nothing is opened: an older file of that name is not this order's.
        if (filler.Fill(dataPath, FindTemplate(files.templateFile), output) != 0) continue;
        const QString path = QDir::current().absoluteFilePath(output);
        produced << path;
        if (!m_opener || !m_opener(path)) notOpened << QFileInfo(path).fileName();
    }
    if (!notOpened.isEmpty())
        m_prompter.Warning(QStringLiteral("Документы сохранены в папке «%1»: %2.\nОткрыть их не удалось: не "
                                          "найдена программа для просмотра документов.")
                               .arg(QDir::current().absoluteFilePath(QStringLiteral("doc")),
                                    notOpened.join(QStringLiteral(", "))));
    return produced;
}
