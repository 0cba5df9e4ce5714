#include "PgCursor.h"

#include "Database.h"
#include "PgResult.h"

PgCursor::PgCursor(Database &db, std::unique_ptr<PgResult::Stream> stream)
    : m_db(db), m_stream(std::move(stream)) {}

PgCursor::~PgCursor() {
    m_stream.reset();  // what was still to come is taken in and let go first
    m_db.StreamEnded(this);
}

void PgCursor::Prime() {
    m_first = Step();
    m_primed = true;
}

bool PgCursor::Next() {
    if (m_primed) {
        m_primed = false;
        return m_first;
    }
    return Step();
}

bool PgCursor::Step() {
    QSqlError error;
    if (m_stream->Next(&error)) return true;
    // Read to the end, or failed: the connection is free again either way.
    m_db.StreamEnded(this);
    if (error.isValid()) m_db.Fail(error);
    return false;
}

void PgCursor::Buffer() {
    m_stream->Buffer();
}

int PgCursor::Columns() const {
    return m_stream->Columns();
}

QString PgCursor::Name(int column) const {
    return m_stream->Name(column);
}

QMetaType PgCursor::Type(int column) const {
    return m_stream->Type(column);
}

QVariant PgCursor::Value(int column) const {
    return m_stream->Value(column);
}

bool PgCursor::Text(int column, QString *text) const {
    return m_stream->Text(column, text);
}
