#include "DynamicRecordset.h"

#include "Database.h"
#include "Formats.h"
#include "PgResult.h"
#include "RowCursor.h"
#include "SqliteCursor.h"

#include <QLocale>
#include <QSqlField>
#include <QSqlRecord>
#include <cmath>

using Kind = CDynamicField::Kind;

namespace {

// "yyyy-MM-dd HH:mm:ss" (or with a T), as SQLite keeps every date: read by hand, the general parser costs
// far more than the rest of a row.
bool ParseIsoDateTime(QStringView t, QDateTime *out) {
    if (t.size() != 19 && t.size() != 10) return false;
    int v[6] = {0, 0, 0, 0, 0, 0};
    static const int starts[6] = {0, 5, 8, 11, 14, 17}, lengths[6] = {4, 2, 2, 2, 2, 2};
    const int parts = t.size() == 19 ? 6 : 3;
    for (int p = 0; p < parts; ++p) {
        for (int i = starts[p]; i < starts[p] + lengths[p]; ++i) {
            const char16_t c = t[i].unicode();
            if (c < u'0' || c > u'9') return false;
            v[p] = v[p] * 10 + (c - u'0');
        }
    }
    if (t[4] != u'-' || t[7] != u'-') return false;
    if (parts == 6 && ((t[10] != u' ' && t[10] != u'T') || t[13] != u':' || t[16] != u':')) return false;
    const QDate d(v[0], v[1], v[2]);
    const QTime tm(v[3], v[4], v[5]);
    if (!d.isValid() || !tm.isValid()) return false;
    *out = QDateTime(d, tm);
    return true;
}

QDateTime ParseDateText(const QString &text) {
    QDateTime quick;
    if (ParseIsoDateTime(text, &quick)) return quick;
    const QString t = text.trimmed();
    if (t.isEmpty()) return {};
    static const char *formats[] = {
        "yyyy-MM-dd HH:mm:ss", "yyyy-MM-ddTHH:mm:ss", "yyyy-MM-dd HH:mm:ss.zzz", "yyyy-MM-ddTHH:mm:ss.zzz",
        "yyyy-MM-dd",          "dd.MM.yyyy HH:mm:ss", "dd.MM.yyyy HH:mm",        "dd.MM.yyyy"};
    for (const char *f : formats) {
        QDateTime dt = QDateTime::fromString(t, QString::fromLatin1(f));
        if (dt.isValid()) return dt;
    }
    QDateTime dt = QDateTime::fromString(t, Qt::ISODateWithMs);
    if (dt.isValid()) return dt.toLocalTime();
    return QLocale().toDateTime(t, QLocale::ShortFormat);
}

bool IsNumberKind(Kind k) {
    return k == Kind::Byte || k == Kind::Short || k == Kind::Long || k == Kind::Single || k == Kind::Double;
}

}  // namespace

Kind CDynamicField::KindOf(QMetaType type) {
    switch (type.id()) {
        case QMetaType::Bool:
            return Kind::Boolean;
        case QMetaType::Char:
        case QMetaType::SChar:
        case QMetaType::UChar:
            return Kind::Byte;
        case QMetaType::Short:
        case QMetaType::UShort:
            return Kind::Short;
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Long:
        case QMetaType::ULong:
            return Kind::Long;
        case QMetaType::Float:
            return Kind::Single;
        case QMetaType::Double:
            return Kind::Double;
        case QMetaType::QDate:
        case QMetaType::QTime:
        case QMetaType::QDateTime:
            return Kind::DateTime;
        case QMetaType::QString:
        case QMetaType::LongLong:  // BIGINT and NUMERIC arrive as text
        case QMetaType::ULongLong:
            return Kind::Text;
        case QMetaType::QByteArray:
            return Kind::Binary;
        default:
            return Kind::Empty;
    }
}

void CDynamicField::Load(const QVariant &raw) {
    m_null = raw.isNull();
    if (m_null) {
        m_value = QVariant();
        return;
    }
    switch (m_kind) {
        case Kind::Boolean:
            // SQLite keeps Yes/No as 1/0; some drivers hand back "true"/"t".
            if (raw.typeId() == QMetaType::QString) {
                const QString s = raw.toString().trimmed().toLower();
                m_value = (s == u"t" || s == u"true" || s == u"yes" || Formats::LeadingLong(s) != 0);
            } else {
                m_value = raw.toBool() || raw.toLongLong() != 0;
            }
            break;
        case Kind::Byte:
        case Kind::Short:
        case Kind::Long:
            m_value = qint64(raw.toLongLong());
            break;
        case Kind::Single:
        case Kind::Double:
            m_value = raw.toDouble();
            break;
        case Kind::DateTime: {
            QDateTime dt =
                raw.typeId() == QMetaType::QString ? ParseDateText(raw.toString()) : raw.toDateTime();
            if (raw.typeId() == QMetaType::QDate) dt = QDateTime(raw.toDate(), QTime(0, 0));
            if (raw.typeId() == QMetaType::QTime) dt = QDateTime(QDate(1899, 12, 30), raw.toTime());
            m_value = dt;
            break;
        }
        case Kind::Text:
            // SQLite hands back numbers for computed columns whose type it cannot declare; keep them exact.
            if (raw.typeId() == QMetaType::Double) {
                m_value = QString::number(raw.toDouble(), 'g', 17);
            } else {
                m_value = raw.toString();
            }
            break;
        case Kind::Binary:
            m_value = raw.toByteArray();
            break;
        case Kind::Empty:
            m_value = QVariant();
            break;
    }
}

long CDynamicField::AsLong() const {
    if (m_null) return 0;
    switch (m_kind) {
        case Kind::Boolean:
            return m_value.toBool() ? 1 : 0;
        case Kind::Byte:
        case Kind::Short:
        case Kind::Long:
            return long(m_value.toLongLong());
        case Kind::Single:
        case Kind::Double:
            return long(std::trunc(m_value.toDouble()));
        case Kind::Text:
            return Formats::LeadingLong(m_value.toString());
        default:
            return 0;
    }
}

double CDynamicField::AsDouble() const {
    if (m_null) return 0.0;
    switch (m_kind) {
        case Kind::Boolean:
            return m_value.toBool() ? 1.0 : 0.0;
        case Kind::Byte:
        case Kind::Short:
        case Kind::Long:
            return double(m_value.toLongLong());
        case Kind::Single:
        case Kind::Double:
            return m_value.toDouble();
        case Kind::Text:
            return Formats::LeadingNumber(m_value.toString());
        default:
            return 0.0;
    }
}

QDateTime CDynamicField::AsDateTime() const {
    if (m_null) return {};
    switch (m_kind) {
        case Kind::Short:
        case Kind::Long:
            return QDateTime::fromSecsSinceEpoch(m_value.toLongLong());
        case Kind::Single:
        case Kind::Double:
            return QDateTime::fromSecsSinceEpoch(qint64(std::trunc(m_value.toDouble())));
        case Kind::DateTime:
            return m_value.toDateTime();
        case Kind::Text:
            return ParseDateText(m_value.toString());
        default:
            return {};
    }
}

QString CDynamicField::AsText() const {
    if (m_null) return {};
    switch (m_kind) {
        case Kind::Boolean:
            return m_value.toBool() ? QStringLiteral("T") : QStringLiteral("F");
        case Kind::Byte:
            return QString(QChar(char16_t(m_value.toLongLong() & 0xff)));
        case Kind::Short:
        case Kind::Long:
            return QString::number(m_value.toLongLong());
        case Kind::Single:
        case Kind::Double:
            return QString::asprintf("%f", m_value.toDouble());
        case Kind::DateTime:
            return QLocale().toString(m_value.toDateTime(), QLocale::ShortFormat);
        case Kind::Text:
            return m_value.toString();
        case Kind::Binary:
            return QString::fromUtf8(m_value.toByteArray());
        case Kind::Empty:
            return {};
    }
    return {};
}

void CDynamicField::SetLong(long value) {
    switch (m_kind) {
        case Kind::Boolean:
            m_value = value != 0;
            break;
        case Kind::Byte:
        case Kind::Short:
        case Kind::Long:
            m_value = qint64(value);
            break;
        case Kind::Single:
        case Kind::Double:
            m_value = double(value);
            break;
        case Kind::Text:
            m_value = QString::number(value);
            break;
        default:
            return;
    }
    m_null = false;
}

void CDynamicField::SetDouble(double value) {
    switch (m_kind) {
        case Kind::Boolean:
            m_value = value != 0.0;
            break;
        case Kind::Byte:
        case Kind::Short:
        case Kind::Long:
            m_value = qint64(std::trunc(value));
            break;
        case Kind::Single:
        case Kind::Double:
            m_value = value;
            break;
        case Kind::Text:
            m_value = QString::asprintf("%f", value);
            break;
        default:
            return;
    }
    m_null = false;
}

void CDynamicField::SetDateTime(const QDateTime &value) {
    if (m_kind == Kind::DateTime) {
        // Whole seconds only, as the column keeps them.
        m_value = value.isValid() ? QDateTime(value.date(), QTime(value.time().hour(), value.time().minute(),
                                                                  value.time().second()))
                                  : QDateTime();
        m_null = !value.isValid();
    } else if (m_kind == Kind::Text) {
        m_value = QLocale().toString(value, QLocale::ShortFormat);
        m_null = false;
    }
}

void CDynamicField::SetText(const QString &value) {
    switch (m_kind) {
        case Kind::Byte:
            m_value = qint64(value.isEmpty() ? 0 : value[0].unicode());
            break;
        case Kind::Short:
        case Kind::Long:
            m_value = qint64(Formats::LeadingLong(value));
            break;
        case Kind::Single:
        case Kind::Double:
            m_value = Formats::LeadingNumber(value);
            break;
        case Kind::DateTime:
            m_value = ParseDateText(value);
            break;
        case Kind::Text:
            m_value = value;
            break;
        case Kind::Boolean:
            m_value = Formats::LeadingLong(value) != 0;
            break;
        default:
            return;
    }
    m_null = false;
}

CDynamicRecordset::CDynamicRecordset(Database &db) : m_db(db) {}

CDynamicRecordset::~CDynamicRecordset() {
    Close();
}

bool CDynamicRecordset::Open(const QString &sql, const QVariantList &binds) {
    Close();
    m_cursor = m_db.OpenCursor(sql, binds);
    if (m_cursor) {
        StartCursor();
        return true;
    }
    m_query = m_db.Exec(sql, binds);
    m_pg = PgResult::ReaderOf(m_query);
    m_open = true;
    BuildFields();
    m_eof = !m_query.next();
    if (!m_eof) NewRow();
    return true;
}

bool CDynamicRecordset::OpenLong(const QString &sql, const QVariantList &binds) {
    Close();
    m_cursor = m_db.OpenStream(sql, binds);
    if (!m_cursor) return Open(sql, binds);
    StartCursor();
    return true;
}

void CDynamicRecordset::StartCursor() {
    // The cursor knows its columns once it has stepped (a computed column's type is its first value's).
    m_open = true;
    m_eof = !m_cursor->Next();
    BuildFields();
    if (!m_eof) NewRow();
}

void CDynamicRecordset::BuildFields() {
    m_fields.clear();
    m_names.clear();
    m_seen.clear();
    m_lookup = 0;
    const auto add = [this](int i, const QString &column, QMetaType type) {
        const QString base = column.toUpper();
        QString name = base;
        for (int n = 2; m_names.contains(name); ++n) name = base + QString::number(n);
        m_names.insert(name, i);
        m_fields.emplace_back(CDynamicField::KindOf(type), name);
    };
    if (m_cursor) {
        m_fields.reserve(size_t(m_cursor->Columns()));
        for (int i = 0; i < m_cursor->Columns(); ++i) add(i, m_cursor->Name(i), m_cursor->Type(i));
    } else {
        const QSqlRecord rec = m_query.record();
        m_fields.reserve(size_t(rec.count()));
        for (int i = 0; i < rec.count(); ++i) add(i, rec.fieldName(i), rec.field(i).metaType());
    }
    m_fieldRow.assign(m_fields.size(), -1);
}

void CDynamicRecordset::NewRow() {
    m_lookup = 0;
    ++m_row;
}

void CDynamicRecordset::LoadField(size_t index) const {
    CDynamicField &f = m_fields[index];
    const int column = int(index);
    const QVariant raw = m_cursor ? m_cursor->Value(column) : m_query.value(column);
    // A column whose type the driver could not tell (a computed one) takes the kind of its value.
    if ((f.kind() == Kind::Empty || f.kind() == Kind::Text) && !raw.isNull()) {
        const Kind k = CDynamicField::KindOf(raw.metaType());
        if (IsNumberKind(k)) f = CDynamicField(k, f.name());
    }
    f.Load(raw);
    m_fieldRow[index] = m_row;
}

void CDynamicRecordset::MoveNext() {
    if (IsEOF()) return;
    m_eof = m_cursor ? !m_cursor->Next() : !m_query.next();
    if (!m_eof) NewRow();
}

void CDynamicRecordset::Close() {
    m_cursor.reset();
    m_pg = nullptr;
    if (m_open) m_query.finish();
    m_query = QSqlQuery();
    m_open = false;
    m_eof = true;
}

int CDynamicRecordset::FieldIndex(const QString &name) const {
    const size_t n = m_lookup++;
    if (n < m_seen.size()) {
        const int guess = m_seen[n];
        if (guess >= 0 && name.compare(m_fields[size_t(guess)].name(), Qt::CaseInsensitive) == 0)
            return guess;
    }
    const int index = m_names.value(name.toUpper(), -1);
    if (n < m_seen.size())
        m_seen[n] = index;
    else if (n < 256)
        m_seen.push_back(index);
    return index;
}

const CDynamicField &CDynamicRecordset::Field(int index) const {
    static const CDynamicField empty;
    if (index < 0 || index >= int(m_fields.size())) return empty;
    const size_t i = size_t(index);
    if (m_fieldRow[i] != m_row) {
        // Past the last row only what was read on it is there; nothing older is handed out as current.
        if (IsEOF()) return empty;
        LoadField(i);
    }
    return m_fields[i];
}

QString CDynamicRecordset::TextAt(int column) const {
    // Only a text field: a number or a date is written out by the field's rules. A text column that
    // held a number on an earlier row has become a number field, so it is never read here again.
    if (column >= 0 && column < int(m_fields.size()) && !IsEOF() &&
        m_fields[size_t(column)].kind() == Kind::Text) {
        QString text;
        if (m_cursor ? m_cursor->Text(column, &text) : (m_pg && m_pg->Text(column, &text))) return text;
    }
    return Field(column).AsText();
}

const CDynamicField &CDynamicRecordset::Field(const QString &name) const {
    return Field(FieldIndex(name));
}
