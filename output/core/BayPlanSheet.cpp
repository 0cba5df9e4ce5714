#include "BayPlanSheet.h"

#include "Cp1251.h"
#include "Formats.h"
#include "PrivateFiles.h"
#include "Prompter.h"
#include "RtfTemplateFiller.h"

#include <QDir>
#include <QStringList>
#include <QTemporaryDir>

using TemplateData::Line;

BayPlanSheet::BayPlanSheet(Prompter &prompter, QString workDir, DocumentPrinter::Opener opener)
    : m_prompter(prompter), m_workDir(std::move(workDir)), m_opener(std::move(opener)) {}

QByteArray BayPlanSheet::Data(const BayPlanDay &plan, const QDateTime &printed) {
    // In the template's order: the title, then each bay's heading (section 1) followed by its orders
    // (section 2), then the free bays and when the sheet was printed.
    QString out = Line(0, {{"PlanDate", Formats::Date(plan.day)}}) + Line(0, {{"MainName", plan.company}});
    QStringList free;
    for (const BayPlanDay::Bay &bay : plan.bays) {
        if (bay.rows.isEmpty()) {
            free << bay.name;
            continue;
        }
        out += Line(1, {{"Box", bay.name}});
        for (const BayPlanRow &o : bay.rows)
            out += Line(2, {{"time", o.time},
                            {"nomer", o.number},
                            {"AvtoNomer", o.plate},
                            {"ClientName", o.client},
                            {"services", o.services}});
    }
    const QString freeText =
        free.isEmpty() ? QString() : QStringLiteral("Весь день свободны: ") + free.join(QStringLiteral(", "));
    out += Line(0, {{"FreeBays", freeText}});
    out += Line(0, {{"Printed", Formats::DateTime(printed)}});
    return Cp1251::FromUnicode(out);
}

QString BayPlanSheet::OutputName(const QDate &day) {
    return QStringLiteral("doc/PlanBoxov_") + day.toString(QStringLiteral("yyyy-MM-dd")) +
           QStringLiteral(".doc");
}

QString BayPlanSheet::Print(const BayPlanDay &plan) {
    // Without a single order the template's tables would print empty.
    if (plan.Orders() == 0) {
        m_prompter.Warning(QStringLiteral("На %1 на боксах ничего не запланировано: печатать нечего.")
                               .arg(Formats::Date(plan.day)));
        return {};
    }
    // The data for the merge go to a folder of this print's own, for its user alone.
    const QTemporaryDir data(QDir(QDir::tempPath()).filePath(QStringLiteral("trellvark-XXXXXX")));
    const QString dataPath = data.filePath(QStringLiteral("plan_box.txt"));
    if (!data.isValid() || !PrivateFiles::Write(dataPath, Data(plan)).isEmpty()) {
        m_prompter.Error(QStringLiteral("Не могу записать файл данных %1").arg(dataPath));
        return {};
    }
    if (!PrivateFiles::MakeFolder(QDir::current().filePath(QStringLiteral("doc")))) {
        m_prompter.Warning(QStringLiteral("Не могу создать папку doc для документов!"));
        return {};
    }
    const QString output = OutputName(plan.day);
    // After a failed merge nothing is opened: an older sheet of that name may be another plan.
    if (RtfTemplateFiller(&m_prompter)
            .Fill(dataPath, DocumentPrinter::FindTemplate(m_workDir, kTemplate), output) != 0)
        return {};
    const QString path = QDir::current().absoluteFilePath(output);
    if (!m_opener || !m_opener(path))
        m_prompter.Warning(
            QStringLiteral("План работ сохранён в файл «%1».\nОткрыть его не удалось: не найдена "
                           "программа для просмотра документов.")
                .arg(path));
    return path;
}
