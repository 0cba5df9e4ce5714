#pragma once

#include "DocumentWriter.h"

#include <QList>
#include <QString>
#include <functional>

class Database;
class Prompter;

// Produces the ticked documents of one order: writes each data file, merges it into its template and
// hands the result to the desktop. Widget-free; messages go through the prompter.
class DocumentPrinter {
public:
    // Shows a produced file; false when nothing could show it.
    using Opener = std::function<bool(const QString &path)>;

    // workDir: where templates are looked for first. Outputs go to doc/ (made for its user alone)
    // under the current directory; the opener shows each produced file.
    DocumentPrinter(Database &db, Prompter &prompter, QString workDir, Opener opener);

    // In the order work order, invoice, tax invoice, act, request, whatever the order of the list.
    // Returns the outputs written (absolute paths); only those are opened. A failed document is
    // reported and the rest still run. Documents written but not opened are named in one message
    // with their folder, so the clerk always sees where the print went.
    QStringList Print(const QString &iddZakaz, const QList<OrderDocument> &ticked);

    // The template: the working directory first, then the installed templates folders.
    QString FindTemplate(const QString &name) const { return FindTemplate(m_workDir, name); }
    static QString FindTemplate(const QString &workDir, const QString &name);
    // "doc/ZNarad12.doc"; characters a file name cannot hold become "_".
    static QString OutputName(OrderDocument doc, const QString &number);

private:
    Database &m_db;
    Prompter &m_prompter;
    QString m_workDir;
    Opener m_opener;
};
