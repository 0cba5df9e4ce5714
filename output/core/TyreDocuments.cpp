#include "TyreDocuments.h"

#include "CarStore.h"
#include "ClientStore.h"
#include "CompanyStore.h"
#include "Cp1251.h"
#include "Formats.h"
#include "PrivateFiles.h"
#include "Prompter.h"
#include "RtfTemplateFiller.h"

#include <QDir>
#include <QTemporaryDir>

using TemplateData::Line;

namespace {

// The set's code as part of a file name: letters, digits, "-" and "_" stay, anything else (a separator,
// a dot, a control character) becomes "_".
QString SafeCode(const QString &code) {
    QString safe = code;
    for (QChar &c : safe)
        if (!c.isLetterOrNumber() && c != u'-' && c != u'_') c = u'_';
    return safe;
}

}  // namespace

TyreDocuments::Details TyreDocuments::Read(Database &db, const TyreSet &set, const QString &clerk) {
    Details d;
    d.clerk = clerk;
    if (const std::optional<CompanyInfo> company = CompanyStore(db).Read()) {
        d.shopName = company->Field("MainName");
        d.shopAddress = company->Field("MainAdres");
        d.shopPhone = company->Field("MainTel");
    }
    if (!set.iddClient.isEmpty())
        if (const std::optional<ClientRecord> client = ClientStore(db).Load(set.iddClient))
            d.clientPhone = client->clientTel;
    if (!set.iddAvto.isEmpty())
        if (const std::optional<CarRecord> car = CarStore(db).Load(set.iddAvto)) d.carMake = car->avtoMarka;
    return d;
}

TyreDocuments::TyreDocuments(Prompter &prompter, QString workDir, DocumentPrinter::Opener opener)
    : m_prompter(prompter), m_workDir(std::move(workDir)), m_opener(std::move(opener)) {}

QByteArray TyreDocuments::ReceiptData(const TyreSet &set, const Details &details) {
    // In the template's order, each field once: a field is filled at its first place after the text
    // already merged.
    const QString tread = set.tread.isEmpty() ? QStringLiteral("не измерена") : set.TreadText();
    const QString damage = set.damage.trimmed().isEmpty() ? QStringLiteral("не отмечены") : set.damage;
    const QString model = QStringList{set.maker, set.model}.join(u' ').trimmed();
    const QString out =
        Line(0, {{"MainName", details.shopName},
                 {"MainAdres", details.shopAddress},
                 {"MainTel", details.shopPhone}}) +
        Line(0, {{"Code", set.code}, {"ReceiptDate", Formats::Date(set.dateIn)}}) +
        Line(0, {{"ClientName", set.clientName}, {"ClientTel", details.clientPhone}}) +
        Line(0, {{"AvtoMarka", details.carMake}, {"AvtoNomer", set.plate}}) +
        Line(0, {{"Season", SeasonText(set.season)},
                 {"Model", model},
                 {"Size", set.size},
                 {"Count", QStringLiteral("%1 шт.").arg(set.count)},
                 {"Rims", set.rims ? QStringLiteral("с дисками") : QStringLiteral("без дисков")},
                 {"Tread", tread},
                 {"Damage", damage}}) +
        Line(0, {{"Place", set.placeText}}) +
        Line(0, {{"DateIn", Formats::Date(set.dateIn)}, {"PaidUntil", Formats::Date(set.paidUntil)}}) +
        Line(0, {{"Fee", set.fee.Text()}}) + Line(0, {{"Clerk", details.clerk}});
    return Cp1251::FromUnicode(out);
}

QByteArray TyreDocuments::LabelsData(const TyreSet &set) {
    // A data line per tyre: each starts the label row anew.
    QString out;
    for (int n = 1; n <= set.count; ++n)
        out += Line(1, {{"AvtoNomer", set.plate},
                        {"ClientName", set.clientName},
                        {"Place", set.placeText},
                        {"Code", set.code},
                        {"Season", SeasonText(set.season)},
                        {"Number", QStringLiteral("%1 из %2").arg(n).arg(set.count)}});
    return Cp1251::FromUnicode(out);
}

QString TyreDocuments::ReceiptName(const TyreSet &set) {
    return QStringLiteral("doc/Kvitanciya_") + SafeCode(set.code) + QStringLiteral(".doc");
}

QString TyreDocuments::LabelsName(const TyreSet &set) {
    return QStringLiteral("doc/Etiketki_") + SafeCode(set.code) + QStringLiteral(".doc");
}

QString TyreDocuments::PrintReceipt(const TyreSet &set, const Details &details) {
    if (!Printable(set)) return {};
    return Write(ReceiptData(set, details), kReceiptTemplate, ReceiptName(set),
                 QStringLiteral("Квитанция сохранена"));
}

QString TyreDocuments::PrintLabels(const TyreSet &set) {
    if (!Printable(set)) return {};
    if (set.count < 1) {
        m_prompter.Warning(
            QStringLiteral("В комплекте %1 не указано ни одной шины: этикетки печатать не на что.")
                .arg(set.code));
        return {};
    }
    return Write(LabelsData(set), kLabelsTemplate, LabelsName(set), QStringLiteral("Этикетки сохранены"));
}

bool TyreDocuments::Printable(const TyreSet &set) {
    // The code is the receipt's number and what the labels are matched by; a card not yet saved has none.
    if (!set.code.trimmed().isEmpty()) return true;
    m_prompter.Warning(
        QStringLiteral("Комплект ещё не принят на хранение: у него нет кода.\nСохраните "
                       "карточку комплекта, затем печатайте."));
    return false;
}

QString TyreDocuments::Write(const QByteArray &data, const char *templateName, const QString &output,
                             const QString &what) {
    // The data for the merge go to a folder of this print's own, for its user alone.
    const QTemporaryDir folder(QDir(QDir::tempPath()).filePath(QStringLiteral("trellvark-XXXXXX")));
    const QString dataPath = folder.filePath(QStringLiteral("tyres.txt"));
    if (!folder.isValid() || !PrivateFiles::Write(dataPath, data).isEmpty()) {
        m_prompter.Error(QStringLiteral("Не могу записать файл данных %1").arg(dataPath));
        return {};
    }
    if (!PrivateFiles::MakeFolder(QDir::current().filePath(QStringLiteral("doc")))) {
        m_prompter.Warning(QStringLiteral("Не могу создать папку doc для документов!"));
        return {};
    }
    // After a failed merge nothing is opened: an older file of that name is not this print.
    if (RtfTemplateFiller(&m_prompter)
            .Fill(dataPath, DocumentPrinter::FindTemplate(m_workDir, QString::fromLatin1(templateName)),
                  output) != 0)
        return {};
    const QString path = QDir::current().absoluteFilePath(output);
    if (!m_opener || !m_opener(path))
        m_prompter.Warning(QStringLiteral("%1 в файл «%2».\nОткрыть его не удалось: не найдена "
                                          "программа для просмотра документов.")
                               .arg(what, path));
    return path;
}
