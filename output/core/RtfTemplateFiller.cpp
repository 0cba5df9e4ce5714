#include "RtfTemplateFiller.h"

#include "PrivateFiles.h"

#include "Cp1251.h"
#include "Prompter.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace {

const QByteArray kPage = QByteArrayLiteral("{\\page}");

bool IsBlank(char c) {
    return c == ' ' || c == '\n' || c == '\r' || c == '\t';
}

// A placeholder as the word processor may have left it, "Na{\b me}", made back into "Name".
QByteArray CleanName(QByteArray text) {
    text.replace('{', QByteArray()).replace('}', QByteArray());
    // Control words end at a blank ...
    for (qsizetype from = 0;;) {
        const qsizetype bs = text.indexOf('\\', from);
        if (bs < 0) break;
        qsizetype blank = bs + 1;
        while (blank < text.size() && !IsBlank(text[blank])) ++blank;
        if (blank >= text.size()) break;
        text.remove(bs, blank - bs + 1);
        from = bs;
    }
    // ... or where the next one starts.
    for (;;) {
        const qsizetype bs = text.indexOf('\\');
        const qsizetype next = bs < 0 ? -1 : text.indexOf('\\', bs + 1);
        if (next < 0) break;
        text.remove(bs, next - bs);
    }
    if (text.size() > 1) {
        QByteArray kept;
        for (char c : std::as_const(text))
            if (!IsBlank(c)) kept += c;
        text = kept;
    }
    return text;
}

// "D<n>" with n > 0: the start of a repeated section; returns n or 0.
int SectionStart(const QByteArray &name) {
    if (name.size() < 2 || name[0] != 'D') return 0;
    bool ok = false;
    const int n = name.mid(1).toInt(&ok);
    return ok && n > 0 ? n : 0;
}

}  // namespace

QByteArray RtfTemplateFiller::ReplaceAll(const QByteArray &source, const QByteArray &replacement,
                                         const QByteArray &search) {
    if (search.isEmpty()) return source;
    QByteArray out;
    out.reserve(source.size());
    qsizetype from = 0;
    for (qsizetype at; (at = source.indexOf(search, from)) >= 0; from = at + search.size())
        out.append(source.constData() + from, at - from).append(replacement);
    out.append(source.constData() + from, source.size() - from);
    return out;
}

QByteArray RtfTemplateFiller::FormatNow(int kind) {
    const QDateTime now = QDateTime::currentDateTime();
    if (kind == 1)
        return QByteArray::number(now.date().day()) + '.' + QByteArray::number(now.date().month()) + '.' +
               QByteArray::number(now.date().year());
    if (kind == 2)
        return QByteArray::number(now.time().hour()) + ':' + QByteArray::number(now.time().minute()) + ':' +
               QByteArray::number(now.time().second());
    return {};
}

QByteArray RtfTemplateFiller::EscapeValue(const QByteArray &value) {
    QByteArray out;
    out.reserve(value.size() + 8);
    for (char c : value) {
        switch (c) {
            case '\\':
                out += "\\'5C";
                break;
            case '{':
                out += "\\'7B";
                break;
            case '}':
                out += "\\'7D";
                break;
            case '#':
                out += "\\'23";
                break;  // a "#" would otherwise start a span that the clean-up removes
            default:
                out += c;
        }
    }
    out = ReplaceAll(out, QByteArrayLiteral("{\\par}"), QByteArrayLiteral("|EOL:"));
    return ReplaceAll(out, kPage, QByteArrayLiteral("|EOP:"));
}

QByteArray RtfTemplateFiller::PreparePlaceholders(const QByteArray &rtf) {
    // One pass pairs the "#" characters: each pair is a placeholder, cleaned, filled in or dropped.
    QByteArray out;
    out.reserve(rtf.size());
    QList<qsizetype> sectionStarts;
    qsizetype i = 0;
    while (i < rtf.size()) {
        const qsizetype open = rtf.indexOf('#', i);
        const qsizetype close = open < 0 ? -1 : rtf.indexOf('#', open + 1);
        if (close < 0) break;
        out.append(rtf.constData() + i, open - i);
        i = close + 1;
        const QByteArray text = rtf.mid(open + 1, close - open - 1);
        if (text.contains("\\'")) continue;  // non-Latin text between two "#" is no placeholder
        const QByteArray name = CleanName(text);
        if (name.isEmpty())
            out += "\\'23";
        else if (name == "DATE")
            out += FormatNow(1);
        else if (name == "TIME")
            out += FormatNow(2);
        else if (name == "EOP")
            out += kPage;
        else {
            if (SectionStart(name)) sectionStarts << out.size();
            out += '#' + name + '#';
        }
    }
    out.append(rtf.constData() + i, rtf.size() - i);

    // A section-start marker leaves no empty paragraph: its group loses its "\par ". Done from the
    // last marker backwards so earlier positions stay valid.
    for (qsizetype k = sectionStarts.size() - 1; k >= 0; --k) {
        const qsizetype at = sectionStarts[k];
        const qsizetype groupOpen = out.lastIndexOf('{', at);
        const qsizetype groupClose = out.indexOf('}', at);
        if (groupOpen < 0 || groupClose < 0) continue;
        const QByteArray group = out.mid(groupOpen + 1, groupClose - groupOpen - 1);
        out.replace(groupOpen + 1, group.size(),
                    ReplaceAll(group, QByteArray(), QByteArrayLiteral("\\par ")));
    }
    return out;
}

void RtfTemplateFiller::Fail(const QString &message) {
    m_message = message;
    if (m_prompter) m_prompter->Warning(message);
}

void RtfTemplateFiller::Tokenize(const QByteArray &prepared) {
    m_template.clear();
    m_ids.clear();
    m_occurrences.clear();
    m_sections.clear();
    qsizetype i = 0;
    while (i < prepared.size()) {
        const qsizetype open = prepared.indexOf('#', i);
        const qsizetype close = open < 0 ? -1 : prepared.indexOf('#', open + 1);
        if (close < 0) break;
        if (open > i) m_template.append(Piece{prepared.mid(i, open - i), -1});
        const QByteArray name = prepared.mid(open + 1, close - open - 1);
        int id = m_ids.value(name, -1);
        if (id < 0) {
            id = int(m_ids.size());
            m_ids.insert(name, id);
            m_occurrences.append(QVector<int>());
        }
        m_occurrences[id].append(int(m_template.size()));
        m_template.append(Piece{'#' + name + '#', id});
        i = close + 1;
    }
    if (i < prepared.size()) m_template.append(Piece{prepared.mid(i), -1});
}

int RtfTemplateFiller::NextOccurrence(int id, int from) const {
    if (id < 0) return -1;
    const QVector<int> &occ = m_occurrences[id];
    const auto it = std::lower_bound(occ.begin(), occ.end(), from);
    return it == occ.end() ? -1 : *it;
}

const RtfTemplateFiller::Section &RtfTemplateFiller::SectionOf(int n) {
    auto it = m_sections.find(n);
    if (it != m_sections.end()) return *it;
    Section s;
    s.names.resize(m_ids.size());
    s.start = NextOccurrence(NameId('D' + QByteArray::number(n)), 0);
    if (s.start >= 0) s.end = NextOccurrence(NameId(QByteArray::number(n) + 'D'), s.start + 1);
    if (s.end < 0) s.start = -1;
    for (int k = s.start + 1; s.start >= 0 && k < s.end; ++k)
        if (m_template[k].name >= 0) s.names[m_template[k].name] = true;
    return *m_sections.insert(n, s);
}

void RtfTemplateFiller::AppendTemplate(int from, int to) {
    for (int k = from; k < to; ++k) {
        m_output.append(m_template[k]);
        if (m_template[k].name >= 0) m_unfilled[m_template[k].name].append(int(m_output.size() - 1));
    }
}

void RtfTemplateFiller::FillName(int id, const QByteArray &value, int from) {
    if (id < 0) return;
    QVector<int> &places = m_unfilled[id];
    qsizetype kept = 0;
    for (int idx : std::as_const(places)) {
        if (idx >= from)
            m_output[idx] = Piece{value, -1};
        else
            places[kept++] = idx;
    }
    places.resize(kept);
}

bool RtfTemplateFiller::UnfilledFrom(int id, int from) const {
    return id >= 0 && !m_unfilled[id].isEmpty() && m_unfilled[id].back() >= from;
}

void RtfTemplateFiller::SimpleField(const QByteArray &name, const QByteArray &value) {
    const int id = NameId(name);
    if (id < 0) return;
    if (m_unfilled[id].isEmpty()) {
        // Filled at its first occurrence at or after the current position.
        const int at = NextOccurrence(id, m_pos);
        if (at < 0) return;
        AppendTemplate(m_pos, at + 1);
        m_pos = at + 1;
    }
    FillName(id, value);
}

void RtfTemplateFiller::RowField(int n, const QByteArray &name, const QByteArray &value, int line) {
    const int id = NameId(name);
    const Section &section = SectionOf(n);
    // Only the newest row is looked at and filled: a placeholder an earlier row left empty (a group
    // row has no performers) stays empty instead of taking the next row's value.
    if (!UnfilledFrom(id, m_rowStart)) {
        m_rowLine = line;
        if (section.start >= 0 && section.start >= m_pos) {
            AppendTemplate(m_pos, section.start);
            m_pos = section.end + 1;
        }
        m_rowStart = int(m_output.size());
        if (section.start >= 0) AppendTemplate(section.start + 1, section.end);
    } else if (line != m_rowLine && section.start >= 0 && section.names[id]) {
        m_rowStart = int(m_output.size());
        AppendTemplate(section.start + 1, section.end);
        m_rowLine = line;
    }
    FillName(id, value, m_rowStart);
}

void RtfTemplateFiller::HandleFields(const QByteArray &line, int lineNo) {
    // The prefix "|<n>:" of the first field; its next occurrence ends each value.
    const qsizetype bar = line.indexOf('|');
    const qsizetype colon = line.indexOf(':', bar + 1);
    if (colon < 0) return;
    const QByteArray digits = line.mid(bar + 1, colon - bar - 1);
    if (digits.isEmpty() || digits.size() > 3 ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return;
    const int n = digits.toInt();
    const QByteArray prefix = line.mid(bar, colon - bar + 1);
    for (qsizetype at = bar; at >= 0;) {
        const qsizetype nameStart = at + prefix.size();
        const qsizetype nameEnd = line.indexOf(':', nameStart);
        if (nameEnd < 0) return;
        const qsizetype next = line.indexOf(prefix, nameEnd + 1);
        const QByteArray name = line.mid(nameStart, nameEnd - nameStart);
        const QByteArray value =
            EscapeValue(line.mid(nameEnd + 1, (next < 0 ? line.size() : next) - nameEnd - 1));
        if (!name.isEmpty()) {
            if (n == 0)
                SimpleField(name, value);
            else
                RowField(n, name, value, lineNo);
        }
        at = next;
    }
}

int RtfTemplateFiller::Fill(const QString &dataPath, const QString &templatePath, const QString &outputName) {
    m_message.clear();
    QFile templ(templatePath);
    if (!templ.open(QIODevice::ReadOnly)) {
        Fail(QStringLiteral("Не открыт файл шаблона!"));
        return 1;
    }
    QByteArray rtf = templ.readAll();
    templ.close();
    rtf.replace("\r\n", "\n");

    QFile data(dataPath);
    if (!data.open(QIODevice::ReadOnly)) {
        Fail(QStringLiteral("Не открыт файл данных"));
        return 1;
    }
    if (!rtf.contains("{\\rtf")) {
        data.close();
        Fail(QStringLiteral("Формат файла шаблона - не RTF"));
        return 1;
    }
    // Every font prints Cyrillic.
    rtf = ReplaceAll(rtf, QByteArrayLiteral("\\fcharset204"), QByteArrayLiteral("\\fcharset0"));
    Tokenize(PreparePlaceholders(rtf));

    m_output.clear();
    m_unfilled = QVector<QVector<int>>(m_ids.size());
    m_pos = 0;
    m_rowLine = -1;
    m_rowStart = 0;
    bool oem = false;
    int lineNo = 0;
    while (!data.atEnd()) {
        QByteArray line = data.readLine();
        ++lineNo;
        if (line.endsWith('\n')) line.chop(1);
        if (line.endsWith('\r')) line.chop(1);
        if (line.isEmpty() || line[0] == '#') continue;
        if (line.contains("|DOS:")) {
            oem = true;
            continue;
        }
        if (line.contains("|WIN:")) {
            oem = false;
            continue;
        }
        if (line == "|EOP:") {
            m_output.append(Piece{kPage, -1});
            continue;
        }
        if (!line.contains('|')) continue;
        HandleFields(oem ? Cp1251::FromOem866(line) : line, lineNo);
    }
    data.close();
    AppendTemplate(m_pos, int(m_template.size()));

    // Placeholders no field filled and the section markers go.
    QByteArray merged;
    for (const Piece &p : std::as_const(m_output))
        if (p.name < 0) merged += p.text;
    m_output.clear();
    return WriteOutput(outputName, merged);
}

int RtfTemplateFiller::WriteOutput(const QString &outputName, const QByteArray &content) {
    const QString path = QDir::current().filePath(QString(outputName).replace(u'\\', u'/'));
    // Written aside and renamed at the end, so a failed write leaves an older file as it was; for the user
    // alone, and never through a link planted at the name.
    if (!PrivateFiles::Write(path, ReplaceAll(content, QByteArrayLiteral("\r\n"), QByteArrayLiteral("\n")))
             .isEmpty()) {
        Fail(QStringLiteral("Не могу открыть файл отчета!"));
        return 1;
    }
    return 0;
}

QString TemplateData::Line(int section, const Fields &fields) {
    QString line;
    const QString prefix = QStringLiteral("|%1:").arg(section);
    for (const auto &[name, value] : fields) {
        QString v = value;
        v.remove(u'\r').replace(u'|', u'\u00A6').replace(u'\n', QStringLiteral("|EOL:"));
        line += prefix + QString::fromLatin1(name) + u':' + v;
    }
    return line + u'\n';
}
