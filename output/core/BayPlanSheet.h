#pragma once

#include "DocumentPrinter.h"
#include "ExcelReports.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>

class Prompter;

// The day's bay plan as the sheet the clerk prints for the workshop wall: the title with the day and the
// shop's name, per bay that has work a heading and a table of its orders (time, order, plate, client,
// services), and the bays free all day. The plan is written as a data file and merged into its template
// as the order documents are, into doc/ under the current directory, and shown. Widget-free; messages go
// through the prompter.
class BayPlanSheet {
public:
    static constexpr const char *kTemplate = "splan_box.rtf";

    // workDir: where the template is looked for first; the opener shows the written sheet.
    BayPlanSheet(Prompter &prompter, QString workDir, DocumentPrinter::Opener opener);

    // The data-file text the template is merged with (Windows-1251, lines ending in a line feed).
    static QByteArray Data(const BayPlanDay &plan, const QDateTime &printed = QDateTime::currentDateTime());
    // "doc/PlanBoxov_2026-03-02.doc": a later print of the same day replaces the earlier one.
    static QString OutputName(const QDate &day);

    // Writes the sheet and shows it; returns the file written (absolute), or "" after telling the clerk
    // why there is none. A day with nothing planned is refused: there is nothing to hang up.
    QString Print(const BayPlanDay &plan);

private:
    Prompter &m_prompter;
    QString m_workDir;
    DocumentPrinter::Opener m_opener;
};
