#pragma once

#include "DocumentPrinter.h"
#include "TyreStore.h"

#include <QByteArray>
#include <QString>

class Database;
class Prompter;

// The papers of a set of tyres taken in for storage: the receipt the client keeps, and a label for each
// tyre with the plate, the client, the place and the set's code. Each is written as a data file and merged
// into its template as the order documents are, into doc/ under the current directory, and shown.
// Widget-free; messages go through the prompter.
class TyreDocuments {
public:
    static constexpr const char *kReceiptTemplate = "stire_receipt.rtf";
    static constexpr const char *kLabelsTemplate = "stire_labels.rtf";

    // What the receipt prints besides the set itself.
    struct Details {
        QString shopName = {}, shopAddress = {}, shopPhone = {};
        QString clientPhone = {};
        QString carMake = {};
        QString clerk = {};  // who takes the set in and signs for the shop
    };
    // The shop's requisites, the client's phone and the car's make as stored now (what is gone stays
    // empty), with the clerk given. Throws DbError.
    static Details Read(Database &db, const TyreSet &set, const QString &clerk);

    // workDir: where the templates are looked for first; the opener shows the written document.
    TyreDocuments(Prompter &prompter, QString workDir, DocumentPrinter::Opener opener);

    // The data-file texts the templates are merged with (Windows-1251, lines ending in a line feed).
    static QByteArray ReceiptData(const TyreSet &set, const Details &details);
    static QByteArray LabelsData(const TyreSet &set);
    // "doc/Kvitanciya_<code>.doc", "doc/Etiketki_<code>.doc": a later print of the set replaces the earlier;
    // characters a file name cannot safely hold become "_".
    static QString ReceiptName(const TyreSet &set);
    static QString LabelsName(const TyreSet &set);

    // Each writes its document and shows it; returns the file written (absolute), or "" after telling the
    // clerk why there is none. A set not taken in yet has no code to print and is refused, and so are labels
    // for a set of no tyres.
    QString PrintReceipt(const TyreSet &set, const Details &details);
    QString PrintLabels(const TyreSet &set);

private:
    bool Printable(const TyreSet &set);
    QString Write(const QByteArray &data, const char *templateName, const QString &output,
                  const QString &what);

    Prompter &m_prompter;
    QString m_workDir;
    DocumentPrinter::Opener m_opener;
};
