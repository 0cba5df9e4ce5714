#include "ChangeLogStore.h"

#include "ChangeLog.h"
#include "Database.h"
#include "DynamicRecordset.h"
#include "Formats.h"
#include "Schema.h"
#include "SqlConditions.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

struct Kind {
    const char *name;
    QStringList tables;
};

const QList<Kind> &AllKinds() {
    static const QList<Kind> kinds = {
        {"Заказы", {"TZakaz", "TService", "TWork"}},
        {"Платежи", {"TPay", "TWorkPay"}},
        {"Клиенты и автомобили", {"SClient", "SAvto", "AvtoVlad"}},
        {"Услуги", {"SService", "ServiceWork"}},
        {"Сотрудники", {"SWork"}},
        {"Боксы", {"SBox"}},
        {"Пользователи", {"SUser"}},
        {"Сведения и нумерация", {"SMain", "Number"}},
        {"Журнал изменений", {"ZvLog"}},
    };
    return kinds;
}

struct ActionName {
    char code;
    const char *text;
};
constexpr ActionName kActions[] = {
    {ChangeLog::kInsert, "добавление"},      {ChangeLog::kUpdate, "изменение"},
    {ChangeLog::kDelete, "удаление"},        {ChangeLog::kMarkDeleted, "удаление (пометка)"},
    {ChangeLog::kRestore, "восстановление"}, {ChangeLog::kArchive, "перенос в архив"},
};

// The filter's actions and the codes each takes in.
QString CodesOf(const QString &action) {
    if (action == u"удаление") return QStringLiteral("DX");
    for (const ActionName &a : kActions)
        if (action == QString::fromUtf8(a.text)) return QString(QLatin1Char(a.code));
    return {};
}

// Fields the schema keeps no caption for.
const QHash<QString, QString> &ExtraCaptions() {
    static const QHash<QString, QString> captions = {
        {"zakazdata", "Дата заказа"},
        {"zakazbegin", "Дата предварительного заказа"},
        {"zakazbeginin", "Дата начала заказа"},
        {"zakazendout", "Дата исполнения заказа"},
        {"zakazstatus", "Статус"},
        {"delete", "Удалено"},
        {"deleteworkpay", "Удалено"},
        {"typepay", "Вид платежа"},
        {"datapay", "Дата"},
        {"time", "Время"},
        {"prjob", "Оплата исполнителям в %"},
        {"workdatain", "Дата приёма"},
        {"workout", "Уволен"},
        {"workdataout", "Дата увольнения"},
        {"paynomer", "Счётчик приходов"},
        {"outpaynomer", "Счётчик расходов"},
        {"salarynomer", "Счётчик выплат"},
        {"zakazplanend", "Окончание по записи"},
        {"count", "Количество"},
    };
    return captions;
}

QString FieldName(const QString &table, const QString &column) {
    const QString lower = column.toLower();
    if (table == u"Number" && lower == u"zakaznomer") return QStringLiteral("Счётчик заказов");
    const auto extra = ExtraCaptions().constFind(lower);
    if (extra != ExtraCaptions().constEnd()) return extra.value();
    return Schema::Caption(table, column);
}

QString ValueText(const QString &table, const QString &column, const QJsonValue &value) {
    if (value.isNull() || value.isUndefined()) return QStringLiteral("—");
    ColType type = ColType::Text;
    Schema::ColumnType(table, column, &type);
    if (value.isBool()) return value.toBool() ? QStringLiteral("да") : QStringLiteral("нет");
    if (type == ColType::Bool) return value.toDouble() != 0 ? QStringLiteral("да") : QStringLiteral("нет");
    if (type == ColType::DateTime) {
        QString text = value.toString();
        text.replace(u'T', u' ');
        const QDateTime at = QDateTime::fromString(text.left(19), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        if (!at.isValid()) return text;
        // A time of day alone is kept on the zero day.
        return at.date().year() <= 1900 ? Formats::Time(at) : Formats::DateTime(at);
    }
    if (value.isDouble()) {
        const double number = value.toDouble();
        return type == ColType::Double ? Formats::TwoDecimals(number) : QString::number(qint64(number));
    }
    return value.toString();
}

}  // namespace

QStringList ChangeLogStore::Kinds() {
    QStringList names;
    for (const Kind &k : AllKinds()) names << QString::fromUtf8(k.name);
    return names;
}

QString ChangeLogStore::KindOf(const QString &table) {
    for (const Kind &k : AllKinds())
        if (k.tables.contains(table)) return QString::fromUtf8(k.name);
    return table;
}

QStringList ChangeLogStore::Actions() {
    return {QStringLiteral("добавление"), QStringLiteral("изменение"), QStringLiteral("удаление"),
            QStringLiteral("восстановление"), QStringLiteral("перенос в архив")};
}

QString ChangeLogStore::ActionText(char action) {
    for (const ActionName &a : kActions)
        if (a.code == action) return QString::fromUtf8(a.text);
    return QString(QLatin1Char(action));
}

QList<FieldChange> ChangeLogStore::Fields(const ChangeLogEntry &entry, bool keys) {
    QList<FieldChange> fields;
    const QJsonObject changes = QJsonDocument::fromJson(entry.changes.toUtf8()).object();
    // In the order the schema lists the table's columns; the database's own spelling of a name may differ
    // in case (PostgreSQL folds it).
    QHash<QString, QString> byLower;
    for (auto it = changes.begin(); it != changes.end(); ++it) byLower.insert(it.key().toLower(), it.key());
    const auto add = [&](const QString &column, const QString &stored) {
        if (!keys && column.startsWith(QLatin1StringView("Idd"), Qt::CaseInsensitive)) return;
        const QJsonArray pair = changes.value(stored).toArray();
        fields.append({FieldName(entry.table, column), ValueText(entry.table, column, pair.at(0)),
                       ValueText(entry.table, column, pair.at(1))});
    };
    for (const TableDef &t : Schema::Tables()) {
        if (entry.table != QLatin1StringView(t.name)) continue;
        for (const ColumnDef &c : t.columns) {
            const QString column = QString::fromLatin1(c.name);
            const QString stored = byLower.take(column.toLower());
            if (!stored.isEmpty()) add(column, stored);
        }
    }
    for (const QString &stored : std::as_const(byLower)) add(stored, stored);
    return fields;
}

QString ChangeLogStore::Describe(const ChangeLogEntry &entry) {
    QStringList parts;
    // The keys of an added or deleted row say nothing beside its other fields; a changed key is a change.
    const bool whole = entry.action == ChangeLog::kInsert || entry.action == ChangeLog::kDelete;
    for (const FieldChange &f : Fields(entry, !whole)) {
        if (entry.action == ChangeLog::kInsert)
            parts << f.field + QStringLiteral(": ") + f.after;
        else if (entry.action == ChangeLog::kDelete)
            parts << f.field + QStringLiteral(": ") + f.before;
        else
            parts << f.field + QStringLiteral(": ") + f.before + QStringLiteral(" → ") + f.after;
    }
    return parts.join(QStringLiteral("; "));
}

QStringList ChangeLogStore::Users() {
    CDynamicRecordset rs(m_db);
    rs.Open(QStringLiteral("SELECT DISTINCT Login FROM SUser WHERE Login IS NOT NULL ORDER BY Login"));
    QStringList users;
    for (; !rs.IsEOF(); rs.MoveNext()) users << rs.Field(0).AsText();
    return users;
}

QList<ChangeLogEntry> ChangeLogStore::Search(const ChangeLogFilter &filter, int most, bool *more) {
    SqlConditions where;
    if (!filter.iddZakaz.isEmpty()) {
        where.And(QStringLiteral("l.IddZakaz = ?"), {filter.iddZakaz});
    } else if (!filter.iddPay.isEmpty()) {
        where.And(QStringLiteral("l.Idd = ? AND l.Tbl IN ('TPay', 'TWorkPay')"), {filter.iddPay});
    } else {
        where.Period(QStringLiteral("l.At"), filter.from, filter.to);
    }
    where.Equals(QStringLiteral("l.UserName"), filter.user);
    if (!filter.kind.isEmpty()) {
        QStringList tables;
        for (const Kind &k : AllKinds())
            if (filter.kind == QString::fromUtf8(k.name)) tables = k.tables;
        where.And(QStringLiteral("l.Tbl IN ('%1')")
                      .arg(tables.isEmpty() ? QStringLiteral("-") : tables.join(u"', '")));
    }
    if (!filter.action.isEmpty()) {
        QStringList codes;
        for (const QChar c : CodesOf(filter.action)) codes << QString(c);
        where.And(QStringLiteral("l.Action IN ('%1')")
                      .arg(codes.isEmpty() ? QStringLiteral("-") : codes.join(u"', '")));
    }
    const QString text = filter.text.trimmed();
    CDynamicRecordset rs(m_db);
    // The client of each entry shown is looked up by its order, one row at a time, rather than joining the
    // orders and clients of the years. The text is looked for below, in any case and alphabet, so then every
    // entry of the filters is read.
    rs.Open(QStringLiteral(
                "SELECT l.Serial, l.At, l.UserName, l.Host, l.Tbl, l.Idd, l.IddZakaz, l.Nomer, l.Action, "
                "l.Label, l.Changes, (SELECT c.ClientName FROM TZakaz z JOIN SClient c ON c.IddClient = "
                "z.IddVlad WHERE z.IddZakaz = l.IddZakaz) FROM ZvLog l") +
                (where.where().isEmpty() ? QString() : QStringLiteral(" WHERE ") + where.where()) +
                QStringLiteral(" ORDER BY l.At DESC, l.Serial DESC") +
                (text.isEmpty() ? QStringLiteral(" LIMIT %1").arg(most + 1) : QString()),
            where.binds());
    if (more) *more = false;
    QList<ChangeLogEntry> entries;
    for (; !rs.IsEOF(); rs.MoveNext()) {
        ChangeLogEntry e;
        e.serial = rs.Field(0).AsLong();
        e.at = rs.Field(1).AsDateTime();
        e.user = rs.Field(2).AsText();
        e.host = rs.Field(3).AsText();
        e.table = rs.Field(4).AsText();
        e.key = rs.Field(5).AsText();
        e.iddZakaz = rs.Field(6).AsText();
        e.orderNumber = rs.Field(7).AsText();
        const QString action = rs.Field(8).AsText();
        e.action = action.isEmpty() ? '?' : char(action.at(0).toLatin1());
        e.label = rs.Field(9).AsText();
        e.changes = rs.Field(10).AsText();
        e.client = rs.Field(11).AsText();
        if (e.table == u"SClient") e.client = e.label;
        if (!text.isEmpty()) {
            const QString seen =
                QStringList{e.label, e.orderNumber, e.client, e.user, e.host, Describe(e)}.join(u'\n');
            if (!seen.contains(text, Qt::CaseInsensitive)) continue;
        }
        if (entries.size() == most) {
            if (more) *more = true;
            break;
        }
        entries << e;
    }
    return entries;
}
