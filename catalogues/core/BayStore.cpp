#include "BayStore.h"

#include "ChangedMeanwhile.h"
#include "Database.h"
#include "DynamicRecordset.h"
#include "KeyGen.h"
#include "Rows.h"

namespace {

const QString kTable = QStringLiteral("SBox");

BayRecord Read(const CDynamicRecordset &rs) {
    return {rs.Text(QStringLiteral("IddBox")), rs.Text(QStringLiteral("NameBox")),
            rs.Text(QStringLiteral("PrimBox")), rs.Bool(QStringLiteral("Delete"))};
}

}  // namespace

QList<BayRecord> BayStore::List() {
    QList<BayRecord> bays;
    CDynamicRecordset rs(m_db);
    rs.Open(QStringLiteral("SELECT SBox.IddBox, SBox.NameBox, SBox.PrimBox, SBox.[Delete] FROM SBox "
                           "WHERE SBox.[Delete] = ? ORDER BY SBox.NameBox, SBox.IddBox"),
            {false});
    for (; !rs.IsEOF(); rs.MoveNext()) bays << Read(rs);
    return bays;
}

std::optional<BayRecord> BayStore::Load(const QString &iddBox) {
    CDynamicRecordset rs(m_db);
    rs.Open(QStringLiteral("SELECT SBox.IddBox, SBox.NameBox, SBox.PrimBox, SBox.[Delete] FROM SBox "
                           "WHERE SBox.IddBox = ?"),
            {iddBox});
    if (rs.IsEOF()) return std::nullopt;
    return Read(rs);
}

QString BayStore::Add(const QString &name, const QString &note, const QString &login) {
    const QString key = NewKey(login);
    Rows::Insert(m_db, kTable,
                 {{QStringLiteral("IddBox"), key},
                  {QStringLiteral("NameBox"), name},
                  {QStringLiteral("PrimBox"), note},
                  {QStringLiteral("Delete"), false}});
    return key;
}

bool BayStore::Update(const QString &iddBox, const QString &name, const QString &note,
                      const std::optional<BayRecord> &loaded) {
    Transaction tx(m_db);
    if (loaded) {
        ChangedMeanwhile::LockRow(m_db, kTable, QStringLiteral("IddBox"), iddBox);
        ChangedMeanwhile::Expect(Load(iddBox), *loaded,
                                 [&](const BayRecord &b) { return b.deleted && !loaded->deleted; });
    }
    const bool found =
        Rows::Update(m_db, kTable, {{QStringLiteral("IddBox"), iddBox}},
                     {{QStringLiteral("NameBox"), name}, {QStringLiteral("PrimBox"), note}}) > 0;
    tx.Commit();
    return found;
}

bool BayStore::Delete(const QString &iddBox) {
    return Rows::SoftDelete(m_db, kTable, {{QStringLiteral("IddBox"), iddBox}}) > 0;
}
