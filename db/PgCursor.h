#pragma once

#include "RowCursor.h"

#include <memory>

class Database;
namespace PgResult {
class Stream;
}

// One SELECT on PostgreSQL whose rows are read as the server sends them (see PgResult::Stream). While it
// is being read the connection is its own: any other statement first has the rest of the rows taken in
// (Database does it), so nothing is lost and nothing waits on the other. Made by Database::OpenStream.
class PgCursor final : public RowCursor {
public:
    ~PgCursor() override;

    bool Next() override;
    int Columns() const override;
    QString Name(int column) const override;
    QMetaType Type(int column) const override;
    QVariant Value(int column) const override;
    bool Text(int column, QString *text) const override;

private:
    friend class Database;
    PgCursor(Database &db, std::unique_ptr<PgResult::Stream> stream);
    // Takes the first result in now, so that a connection found broken is seen while the statement can
    // still be sent again; the first Next hands it out.
    void Prime();
    bool Step();
    // Takes in the rest of the rows, so the connection can run another statement.
    void Buffer();

    Database &m_db;
    std::unique_ptr<PgResult::Stream> m_stream;
    bool m_primed = false;
    bool m_first = false;
};
