#include "Rows.h"

#include "Database.h"
#include "DateRange.h"
#include "DbError.h"
#include "DynamicRecordset.h"
#include "Formats.h"
#include "Schema.h"

#include <QStringList>

namespace {

QString Col(const QString &name) {
    return u'[' + name + u']';
}

// "[a] = ? AND [b] = ?" with its binds appended to `binds`.
QString Where(const QString &table, const Values &keys, QVariantList &binds) {
    QStringList parts;
    for (const ColumnValue &k : keys) {
        parts << Col(k.column) + QStringLiteral(" = ?");
        binds << Rows::ForColumn(table, k.column, k.value);
    }
    return parts.join(QStringLiteral(" AND "));
}

CDynamicField::Kind KindFor(ColType type) {
    switch (type) {
        case ColType::Text:
            return CDynamicField::Kind::Text;
        case ColType::Long:
            return CDynamicField::Kind::Long;
        case ColType::Double:
            return CDynamicField::Kind::Double;
        case ColType::Bool:
            return CDynamicField::Kind::Boolean;
        case ColType::DateTime:
            return CDynamicField::Kind::DateTime;
    }
    return CDynamicField::Kind::Empty;
}

QMetaType MetaFor(ColType type) {
    switch (type) {
        case ColType::Text:
            return QMetaType::fromType<QString>();
        case ColType::Long:
            return QMetaType::fromType<qint64>();
        case ColType::Double:
            return QMetaType::fromType<double>();
        case ColType::Bool:
            return QMetaType::fromType<bool>();
        case ColType::DateTime:
            return QMetaType::fromType<QDateTime>();
    }
    return {};
}

// A moment is stored only within DateRange (the zero date stands for "unset" and carries a time of day).
void CheckDate(const QString &table, const QString &column, const QDateTime &value) {
    const QDate day = value.date();
    if (DateRange::Contains(day) || day == Formats::ZeroDateTime().date()) return;
    throw DbError(QStringLiteral("Поле «%1»: дата должна быть %2.\nИсправьте значение: ничего не сохранено.")
                      .arg(Schema::Caption(table, column), DateRange::Text()),
                  table + u'.' + column);
}

}  // namespace

namespace Rows {

QVariant ForColumn(const QString &table, const QString &column, const QVariant &value) {
    ColType type;
    if (!Schema::ColumnType(table, column, &type)) return value;
    if (value.isNull() && value.typeId() != QMetaType::QString) return QVariant(MetaFor(type));
    CDynamicField field(KindFor(type), column);
    switch (value.typeId()) {
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Long:
        case QMetaType::ULong:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
            field.SetLong(long(value.toLongLong()));
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            field.SetDouble(value.toDouble());
            break;
        case QMetaType::QDateTime:
            field.SetDateTime(value.toDateTime());
            break;
        case QMetaType::QDate:
            field.SetDateTime(QDateTime(value.toDate(), QTime(0, 0)));
            break;
        default:
            field.SetText(value.toString());
            break;
    }
    if (field.IsNull()) return QVariant(MetaFor(type));
    if (type == ColType::Long) return qint64(field.value().toLongLong());
    if (type == ColType::DateTime) CheckDate(table, column, field.value().toDateTime());
    // Amounts and quantities are rounded to their decimals and held to the limit, whatever they came as.
    if (type == ColType::Double) return Schema::FitNumber(table, column, field.value().toDouble());
    if (type == ColType::Text) {
        // A NUL ends the text for some drivers and is refused by others: it is never stored.
        QString text = field.value().toString();
        text.remove(QChar(u'\0'));
        Schema::CheckLength(table, column, text);
        return text;
    }
    return field.value();
}

void Check(const QString &table, const Values &values) {
    for (const ColumnValue &v : values) ForColumn(table, v.column, v.value);
}

namespace {

QString InsertSql(const QString &table, const Values &values, QVariantList &binds) {
    QStringList cols, marks;
    for (const ColumnValue &v : values) {
        cols << Col(v.column);
        marks << QStringLiteral("?");
        binds << ForColumn(table, v.column, v.value);
    }
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
        .arg(Col(table), cols.join(u", "), marks.join(u", "));
}

}  // namespace

void Insert(Database &db, const QString &table, const Values &values) {
    QVariantList binds;
    db.Exec(InsertSql(table, values, binds), binds);
}

void InsertMany(Database &db, const QString &table, const QList<Values> &rows) {
    if (rows.isEmpty()) return;
    const Values &first = rows.first();
    QStringList cols;
    for (const ColumnValue &v : first) cols << Col(v.column);
    const QString mark = u'(' + QStringList(cols.size(), QStringLiteral("?")).join(u", ") + u')';
    // SQLite binds at most 32 766 values a statement; a chunk stays well under it.
    const qsizetype perStatement = qMax<qsizetype>(1, 2000 / qMax<qsizetype>(1, first.size()));
    for (qsizetype start = 0; start < rows.size(); start += perStatement) {
        const qsizetype end = qMin(rows.size(), start + perStatement);
        QVariantList binds;
        QStringList marks;
        for (qsizetype r = start; r < end; ++r) {
            const Values &row = rows[r];
            Q_ASSERT(row.size() == first.size());
            for (const ColumnValue &v : row) binds << ForColumn(table, v.column, v.value);
            marks << mark;
        }
        db.Exec(QStringLiteral("INSERT INTO %1 (%2) VALUES %3")
                    .arg(Col(table), cols.join(u", "), marks.join(u", ")),
                binds);
    }
}

bool InsertUnlessLive(Database &db, const QString &table, const Values &values, const QStringList &unique) {
    QVariantList binds;
    QStringList cols;
    for (const QString &c : unique) cols << Col(c);
    // The conflict target names the partial unique index, which both databases then wait on: a second
    // workstation adding the same row at the same moment adds nothing instead of failing.
    const QString sql =
        InsertSql(table, values, binds) +
        QStringLiteral(" ON CONFLICT (%1) WHERE [Delete] = FALSE DO NOTHING").arg(cols.join(u", "));
    return db.Exec(sql, binds).numRowsAffected() > 0;
}

void Store(Database &db, const QString &table, const QString &keyColumn, QString &key, const Values &values,
           const std::function<QString()> &newKey) {
    if (!key.isEmpty()) {
        Update(db, table, {{keyColumn, key}}, values);
        return;
    }
    const QString fresh = newKey();
    Insert(db, table, Values{{keyColumn, fresh}} + values);
    key = fresh;
}

int Update(Database &db, const QString &table, const Values &keys, const Values &values) {
    if (values.isEmpty()) return 0;
    QStringList sets;
    QVariantList binds;
    for (const ColumnValue &v : values) {
        sets << Col(v.column) + QStringLiteral(" = ?");
        binds << ForColumn(table, v.column, v.value);
    }
    const QString where = Where(table, keys, binds);
    QSqlQuery q =
        db.Exec(QStringLiteral("UPDATE %1 SET %2 WHERE %3").arg(Col(table), sets.join(u", "), where), binds);
    return q.numRowsAffected();
}

bool Exists(Database &db, const QString &table, const Values &keys) {
    QVariantList binds;
    const QString where = Where(table, keys, binds);
    QSqlQuery q = db.Exec(QStringLiteral("SELECT 1 FROM %1 WHERE %2").arg(Col(table), where), binds);
    return q.next();
}

bool InsertOrUpdate(Database &db, const QString &table, const Values &keys, const Values &rest) {
    // The update tells whether the row is there: one statement for the usual case, two for a new row.
    if (rest.isEmpty() ? Exists(db, table, keys) : Update(db, table, keys, rest) > 0) return false;
    Insert(db, table, keys + rest);
    return true;
}

int SoftDelete(Database &db, const QString &table, const Values &keys, const QString &flag) {
    return Update(db, table, keys, {{flag, true}});
}

int Delete(Database &db, const QString &table, const Values &keys) {
    QVariantList binds;
    const QString where = Where(table, keys, binds);
    QSqlQuery q = db.Exec(QStringLiteral("DELETE FROM %1 WHERE %2").arg(Col(table), where), binds);
    return q.numRowsAffected();
}

}  // namespace Rows
