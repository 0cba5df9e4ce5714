#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QVector>

#include <utility>

class Prompter;

// What a data file holds: lines of fields that share a section prefix.
namespace TemplateData {
using Fields = QList<std::pair<const char *, QString>>;
// One data line of fields of the section. A line break inside a value would end the data line, so it is
// written as the line-break marker; a "|" would let typed text start a field or a code-page switch of its
// own ("|0:", "|DOS:"), so it is printed as the broken bar.
QString Line(int section, const Fields &fields);
}  // namespace TemplateData

// Merges a data file (lines of "|<n>:<name>:<value>" fields) into an RTF template whose placeholders
// are "#name#", with repeated table rows between "#D<n>#" and "#<n>D#", and writes the result. Works on
// Windows-1251 bytes throughout. Create it on the stack for one document.
class RtfTemplateFiller {
public:
    // Failures are shown through the prompter (when given) and kept in LastMessage().
    explicit RtfTemplateFiller(Prompter *prompter = nullptr) : m_prompter(prompter) {}

    // 0 when the output was written, 1 on any failure; after a failure no output is written and an
    // older file of that name stays as it was. outputName is relative to the current directory.
    int Fill(const QString &dataPath, const QString &templatePath, const QString &outputName);
    const QString &LastMessage() const { return m_message; }

    // Every occurrence of search replaced once; the scan goes on after the inserted text.
    static QByteArray ReplaceAll(const QByteArray &source, const QByteArray &replacement,
                                 const QByteArray &search);
    // 1: today as "d.m.yyyy"; 2: the time as "h:m:s" (no leading zeros); anything else: empty.
    static QByteArray FormatNow(int kind);
    // Writes content under the current directory, line feeds as CR LF. 0 on success, 1 on failure.
    int WriteOutput(const QString &outputName, const QByteArray &content);

    // The template with its placeholders cleaned of formatting, the reserved names filled in, "##"
    // written as an escaped "#" and the section-start groups without paragraph marks.
    static QByteArray PreparePlaceholders(const QByteArray &rtf);
    // A data-file value made safe for RTF.
    static QByteArray EscapeValue(const QByteArray &value);

private:
    struct Piece {
        QByteArray text;
        int name = -1;  // a placeholder still unfilled: its name id
    };
    struct Section {
        int start = -1, end = -1;  // token indices of #D<n># and #<n>D# in the template
        QVector<bool> names;       // which name ids the row template holds
    };

    void Fail(const QString &message);
    void Tokenize(const QByteArray &prepared);
    int NameId(const QByteArray &name) const { return m_ids.value(name, -1); }
    void AppendTemplate(int from, int to);
    // Fills the unfilled places of a name at output piece from and later.
    void FillName(int id, const QByteArray &value, int from = 0);
    bool UnfilledFrom(int id, int from) const;
    int NextOccurrence(int id, int from) const;
    const Section &SectionOf(int n);
    void SimpleField(const QByteArray &name, const QByteArray &value);
    void RowField(int n, const QByteArray &name, const QByteArray &value, int line);
    void HandleFields(const QByteArray &line, int lineNo);

    Prompter *m_prompter;
    QString m_message;

    QList<Piece> m_template;
    QHash<QByteArray, int> m_ids;
    QVector<QVector<int>> m_occurrences;  // per name id: token indices in the template, ascending
    QHash<int, Section> m_sections;

    QList<Piece> m_output;
    QVector<QVector<int>> m_unfilled;  // per name id: piece indices in the output
    int m_pos = 0;                     // the remainder is the template from this token on
    int m_rowLine = -1;                // the data line that started the current row
    int m_rowStart = 0;                // the output piece where the newest row begins
};
