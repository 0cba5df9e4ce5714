#include "PgResult.h"

#include <libpq-fe.h>
#include <QCoreApplication>
#include <QDateTime>
#include <QLocale>
#include <QSqlDriver>
#include <QSqlField>
#include <QSqlRecord>
#include <QSqlResult>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

// The server's type numbers (pg_type.oid) the driver tells apart.
enum : Oid {
    kBool = 16,
    kBytea = 17,
    kInt8 = 20,
    kInt2 = 21,
    kInt4 = 23,
    kRegproc = 24,
    kXid = 28,
    kCid = 29,
    kFloat4 = 700,
    kFloat8 = 701,
    kAbstime = 702,
    kReltime = 703,
    kDate = 1082,
    kTime = 1083,
    kTimestamp = 1114,
    kTimestampTz = 1184,
    kTimeTz = 1266,
    kNumeric = 1700,
    kVoid = 2278,  // the driver takes it for an oid
};

// The type the driver hands a column of this server type out as.
QMetaType TypeOf(Oid type) {
    switch (type) {
        case kBool:
            return QMetaType::fromType<bool>();
        case kInt8:
            return QMetaType::fromType<qlonglong>();
        case kInt2:
        case kInt4:
        case kVoid:
        case kRegproc:
        case kXid:
        case kCid:
            return QMetaType::fromType<int>();
        case kNumeric:
        case kFloat4:
        case kFloat8:
            return QMetaType::fromType<double>();
        case kAbstime:
        case kReltime:
        case kDate:
            return QMetaType::fromType<QDate>();
        case kTime:
        case kTimeTz:
            return QMetaType::fromType<QTime>();
        case kTimestamp:
        case kTimestampTz:
            return QMetaType::fromType<QDateTime>();
        case kBytea:
            return QMetaType::fromType<QByteArray>();
        default:
            return QMetaType::fromType<QString>();
    }
}

// A server's moment as the driver reads it: in the computer's time (a moment with a zone is moved to it).
QDateTime Moment(const char *text) {
    return QDateTime::fromString(QString::fromLatin1(text), Qt::ISODate).toLocalTime();
}

// Read in the C locale whatever the program's locale is (the server writes "1.5").
QVariant Number(const char *text) {
    bool ok = false;
    const double value = QByteArray::fromRawData(text, qsizetype(qstrlen(text))).toDouble(&ok);
    if (ok) return value;
    if (qstricmp(text, "NaN") == 0) return std::nan("");
    if (qstricmp(text, "Infinity") == 0) return HUGE_VAL;
    if (qstricmp(text, "-Infinity") == 0) return -HUGE_VAL;
    return {};
}

// A value as the driver hands it out for a column of this type.
QVariant ValueOf(const PGresult *result, int row, int column, QMetaType type) {
    if (PQgetisnull(result, row, column)) return QVariant(type, nullptr);
    const char *text = PQgetvalue(result, row, column);
    switch (type.id()) {
        case QMetaType::Bool:
            return text[0] == 't';
        case QMetaType::QString:
            return QString::fromUtf8(text, PQgetlength(result, row, column));
        case QMetaType::LongLong: {
            // A value of 0 and above comes unsigned, as from the driver.
            const QByteArray digits = QByteArray::fromRawData(text, qsizetype(qstrlen(text)));
            if (text[0] == '-') return digits.toLongLong();
            return digits.toULongLong();
        }
        case QMetaType::Int:
            return std::atoi(text);
        case QMetaType::Double:
            return Number(text);
        case QMetaType::QDate:
            return QDate::fromString(QLatin1StringView(text), Qt::ISODate);
        case QMetaType::QTime:
            return QTime::fromString(QLatin1StringView(text), Qt::ISODate);
        case QMetaType::QDateTime:
            return Moment(text);
        case QMetaType::QByteArray: {
            size_t length = 0;
            unsigned char *bytes = PQunescapeBytea(reinterpret_cast<const unsigned char *>(text), &length);
            QByteArray value(reinterpret_cast<const char *>(bytes), qsizetype(length));
            PQfreemem(bytes);
            return value;
        }
        default:
            return {};
    }
}

// The text of a column whose values the driver hands out as strings.
bool TextOf(const PGresult *result, int row, int column, QMetaType type, QString *text) {
    if (type.id() != QMetaType::QString) return false;
    if (PQgetisnull(result, row, column))
        *text = QString();
    else
        *text = QString::fromUtf8(PQgetvalue(result, row, column), PQgetlength(result, row, column));
    return true;
}

// Every row of one finished statement, held until the query is let go.
class Rows final : public QSqlResult, public PgResult::Reader {
public:
    Rows(const QSqlDriver *driver, PGresult *result) : QSqlResult(driver), m_result(result) {
        const int columns = PQnfields(result);
        m_types.reserve(size_t(columns));
        for (int i = 0; i < columns; ++i) m_types.push_back(TypeOf(PQftype(result, i)));
        m_rows = PQntuples(result);
        setSelect(PQresultStatus(result) == PGRES_TUPLES_OK);
        setActive(true);
        setAt(QSql::BeforeFirstRow);
    }
    ~Rows() override { PQclear(m_result); }
    Rows(const Rows &) = delete;
    Rows &operator=(const Rows &) = delete;

    bool Text(int column, QString *text) const override {
        if (column < 0 || column >= int(m_types.size()) || at() < 0) return false;
        return TextOf(m_result, at(), column, m_types[size_t(column)], text);
    }

protected:
    QVariant data(int column) override {
        if (column < 0 || column >= int(m_types.size()) || at() < 0) return {};
        return ValueOf(m_result, at(), column, m_types[size_t(column)]);
    }
    bool isNull(int column) override {
        return at() < 0 || column < 0 || column >= int(m_types.size()) || PQgetisnull(m_result, at(), column);
    }
    bool reset(const QString &) override { return false; }
    bool fetch(int row) override {
        if (!isSelect() || row < 0 || row >= m_rows) return false;
        setAt(row);
        return true;
    }
    bool fetchFirst() override { return fetch(0); }
    bool fetchLast() override { return fetch(m_rows - 1); }
    bool fetchNext() override { return fetch(at() + 1); }
    int size() override { return isSelect() ? m_rows : -1; }
    int numRowsAffected() override { return QByteArray(PQcmdTuples(m_result)).toInt(); }
    QSqlRecord record() const override {
        QSqlRecord record;
        if (!isSelect()) return record;
        for (int i = 0; i < int(m_types.size()); ++i) {
            QSqlField field(QString::fromUtf8(PQfname(m_result, i)), m_types[size_t(i)]);
            field.setValue(QVariant(m_types[size_t(i)]));
            record.append(field);
        }
        return record;
    }

private:
    PGresult *m_result;
    std::vector<QMetaType> m_types;
    int m_rows = 0;
};

// The failure as the driver reports it: its words, the server's message with the SQLSTATE, and the code.
QSqlError Failure(pg_conn *connection, PGresult *result, const char *what) {
    QString message = QString::fromUtf8(PQerrorMessage(connection));
    QString code;
    if (result) {
        code = QString::fromLatin1(PQresultErrorField(result, PG_DIAG_SQLSTATE));
        message += QStringLiteral("(%1)").arg(code);
    }
    return QSqlError(QStringLiteral("QPSQL: ") + QCoreApplication::translate("QPSQLResult", what), message,
                     QSqlError::StatementError, code);
}

// A failed result's own failure, worded as Failure words it: a stream's results may be read after its
// connection was let go (see Stream::Buffer).
QSqlError ResultFailure(PGresult *result, const char *what) {
    const QString code = QString::fromLatin1(PQresultErrorField(result, PG_DIAG_SQLSTATE));
    return QSqlError(QStringLiteral("QPSQL: ") + QCoreApplication::translate("QPSQLResult", what),
                     QString::fromUtf8(PQresultErrorMessage(result)) + QStringLiteral("(%1)").arg(code),
                     QSqlError::StatementError, code);
}

// The values as libpq takes a statement's parameters.
struct Parameters {
    explicit Parameters(const QVariantList &values);
    std::vector<QByteArray> texts;
    std::vector<const char *> pointers;
    std::vector<int> lengths;
    std::vector<int> formats;
};

// The result as a query, or the failure; the result is let go either way.
QSqlQuery Take(pg_conn *connection, const QSqlDriver *driver, PGresult *result, QSqlError *error) {
    const ExecStatusType status = result ? PQresultStatus(result) : PGRES_FATAL_ERROR;
    if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK && status != PGRES_EMPTY_QUERY) {
        *error = Failure(connection, result, "Unable to create query");
        PQclear(result);
        return QSqlQuery();
    }
    QSqlQuery query(new Rows(driver, result));
    return query;
}

// A value as the text the server reads for a parameter (or bytes, for a byte string).
QByteArray ParameterText(const QVariant &value) {
    switch (value.typeId()) {
        case QMetaType::Bool:
            return value.toBool() ? QByteArrayLiteral("true") : QByteArrayLiteral("false");
        case QMetaType::Double:
        case QMetaType::Float: {
            const double number = value.toDouble();
            if (std::isnan(number)) return QByteArrayLiteral("NaN");
            if (std::isinf(number))
                return number > 0 ? QByteArrayLiteral("Infinity") : QByteArrayLiteral("-Infinity");
            return QByteArray::number(number, 'g', QLocale::FloatingPointShortest);
        }
        case QMetaType::QByteArray:
            return value.toByteArray();
        default:
            return value.toString().toUtf8();
    }
}

Parameters::Parameters(const QVariantList &values)
    : texts(size_t(values.size())),
      pointers(size_t(values.size()), nullptr),
      lengths(size_t(values.size()), 0),
      formats(size_t(values.size()), 0) {
    for (qsizetype i = 0; i < values.size(); ++i) {
        const QVariant &value = values[i];
        if (value.isNull()) continue;
        const size_t at = size_t(i);
        texts[at] = ParameterText(value);
        pointers[at] = texts[at].constData();
        lengths[at] = int(texts[at].size());
        formats[at] = value.typeId() == QMetaType::QByteArray ? 1 : 0;
    }
}

}  // namespace

namespace PgResult {

const Reader *ReaderOf(const QSqlQuery &query) {
    return dynamic_cast<const Rows *>(query.result());
}

bool Prepare(pg_conn *connection, const QByteArray &name, const QString &text, QSqlError *error) {
    PGresult *result = PQprepare(connection, name.constData(), text.toUtf8().constData(), 0, nullptr);
    const bool ok = result && PQresultStatus(result) == PGRES_COMMAND_OK;
    if (!ok) *error = Failure(connection, result, "Unable to prepare statement");
    PQclear(result);
    return ok;
}

QSqlQuery RunPrepared(pg_conn *connection, const QSqlDriver *driver, const QByteArray &name,
                      const QVariantList &values, QSqlError *error) {
    const Parameters p(values);
    PGresult *result = PQexecPrepared(connection, name.constData(), int(values.size()), p.pointers.data(),
                                      p.lengths.data(), p.formats.data(), 0);
    return Take(connection, driver, result, error);
}

QSqlQuery Run(pg_conn *connection, const QSqlDriver *driver, const QString &text, QSqlError *error) {
    return Take(connection, driver, PQexec(connection, text.toUtf8().constData()), error);
}

std::unique_ptr<Stream> Stream::Start(pg_conn *connection, const QByteArray &name, const QVariantList &values,
                                      QSqlError *error) {
    // What the driver's own forward-only query left unread is let go first, as PQexec does it.
    while (PGresult *left = PQgetResult(connection)) PQclear(left);
    const Parameters p(values);
    if (!PQsendQueryPrepared(connection, name.constData(), int(values.size()), p.pointers.data(),
                             p.lengths.data(), p.formats.data(), 0)) {
        *error = Failure(connection, nullptr, "Unable to create query");
        return nullptr;
    }
    // Refused only when it comes too late, which it cannot here; the results then come whole, and are
    // handed out row by row all the same.
    PQsetSingleRowMode(connection);
    return std::unique_ptr<Stream>(new Stream(connection));
}

Stream::~Stream() {
    PQclear(m_result);
    for (PGresult *taken : m_taken) PQclear(taken);
    while (!m_drained) PQclear(Take());
}

PGresult *Stream::Take() {
    if (!m_taken.empty()) {
        PGresult *result = m_taken.front();
        m_taken.pop_front();
        return result;
    }
    if (m_drained) return nullptr;
    PGresult *result = PQgetResult(m_connection);
    if (!result) m_drained = true;
    return result;
}

void Stream::Buffer() {
    while (!m_drained) {
        PGresult *result = PQgetResult(m_connection);
        if (!result) {
            m_drained = true;
            break;
        }
        m_taken.push_back(result);
    }
}

void Stream::Describe(const PGresult *result) {
    m_described = true;
    const int columns = PQnfields(result);
    for (int i = 0; i < columns; ++i) {
        m_names.push_back(QString::fromUtf8(PQfname(result, i)));
        m_types.push_back(TypeOf(PQftype(result, i)));
    }
}

bool Stream::Next(QSqlError *error) {
    if (m_result && ++m_row < PQntuples(m_result)) return true;
    PQclear(m_result);
    m_result = nullptr;
    m_row = -1;
    if (m_failed) return false;
    // Each row comes as a result of its own; the statement ends with one that has none (or with the
    // failure), and then nothing.
    while (PGresult *result = Take()) {
        const ExecStatusType status = PQresultStatus(result);
        if (m_failed) {
            // nothing is handed out after the failure
        } else if (status == PGRES_SINGLE_TUPLE || status == PGRES_TUPLES_OK) {
            if (!m_described) Describe(result);
            if (PQntuples(result) > 0) {
                m_result = result;
                m_row = 0;
                return true;
            }
        } else if (status != PGRES_COMMAND_OK && status != PGRES_EMPTY_QUERY) {
            m_failed = true;
            // worded as the whole result's failure is, wherever it came
            *error = ResultFailure(result, "Unable to create query");
        }
        PQclear(result);
    }
    return false;
}

QVariant Stream::Value(int column) const {
    if (!m_result || column < 0 || column >= Columns()) return {};
    return ValueOf(m_result, m_row, column, m_types[size_t(column)]);
}

bool Stream::Text(int column, QString *text) const {
    if (!m_result || column < 0 || column >= Columns()) return false;
    return TextOf(m_result, m_row, column, m_types[size_t(column)], text);
}

}  // namespace PgResult
