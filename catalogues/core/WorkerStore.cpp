#include "WorkerStore.h"

#include "ChangedMeanwhile.h"
#include "Database.h"
#include "DbError.h"
#include "DynamicRecordset.h"
#include "KeyGen.h"
#include "Rows.h"

namespace {

const QString kTable = QStringLiteral("SWork");

const QString kSelect = QStringLiteral(
    "SELECT SWork.IddWork, SWork.WorkFIO, SWork.WorkAdres, SWork.WorkTel, SWork.WorkDataIn, SWork.WorkOut, "
    "SWork.WorkDataOut, SWork.WorkSalary, SWork.[Delete] FROM SWork ");

WorkerRecord Read(const CDynamicRecordset &rs) {
    WorkerRecord w;
    w.iddWork = rs.Text(QStringLiteral("IddWork"));
    w.workFio = rs.Text(QStringLiteral("WorkFIO"));
    w.workAdres = rs.Text(QStringLiteral("WorkAdres"));
    w.workTel = rs.Text(QStringLiteral("WorkTel"));
    w.workDataIn = rs.Date(QStringLiteral("WorkDataIn"));
    w.workOut = rs.Bool(QStringLiteral("WorkOut"));
    w.workDataOut = rs.Date(QStringLiteral("WorkDataOut"));
    w.workSalary = rs.Amount(QStringLiteral("WorkSalary"));
    w.deleted = rs.Bool(QStringLiteral("Delete"));
    return w;
}

// What the card edits: neither WorkSalary nor the deletion mark, so saving the card of a deleted
// worker does not bring him back.
Values CardFields(const WorkerRecord &w) {
    return {{QStringLiteral("WorkFIO"), w.workFio}, {QStringLiteral("WorkAdres"), w.workAdres},
            {QStringLiteral("WorkTel"), w.workTel}, {QStringLiteral("WorkDataIn"), w.workDataIn},
            {QStringLiteral("WorkOut"), w.workOut}, {QStringLiteral("WorkDataOut"), w.workDataOut}};
}

}  // namespace

QList<WorkerRecord> WorkerStore::List() {
    QList<WorkerRecord> workers;
    CDynamicRecordset rs(m_db);
    rs.Open(kSelect + QStringLiteral("WHERE SWork.[Delete] = FALSE ORDER BY SWork.WorkFIO, SWork.IddWork"));
    for (; !rs.IsEOF(); rs.MoveNext()) workers << Read(rs);
    return workers;
}

std::optional<WorkerRecord> WorkerStore::Load(const QString &iddWork) {
    CDynamicRecordset rs(m_db);
    rs.Open(kSelect + QStringLiteral("WHERE SWork.IddWork = ?"), {iddWork});
    if (rs.IsEOF()) return std::nullopt;
    return Read(rs);
}

QString WorkerStore::Insert(const WorkerRecord &worker, const QString &login) {
    const QString key = NewKey(login);
    Rows::Insert(m_db, kTable,
                 Values{{QStringLiteral("IddWork"), key}} + CardFields(worker) +
                     Values{{QStringLiteral("Delete"), false}});
    return key;
}

void WorkerStore::Update(const WorkerRecord &worker, const std::optional<WorkerRecord> &loaded) {
    Transaction tx(m_db);
    if (loaded) {
        ChangedMeanwhile::LockRow(m_db, kTable, QStringLiteral("IddWork"), worker.iddWork);
        ChangedMeanwhile::Expect(Load(worker.iddWork), *loaded,
                                 [&](const WorkerRecord &w) { return w.deleted && !loaded->deleted; });
    }
    CDynamicRecordset rs(m_db);
    rs.Open(QStringLiteral("SELECT SWork.WorkOut FROM SWork WHERE SWork.IddWork = ?"), {worker.iddWork});
    if (rs.IsEOF()) throw DbError(QStringLiteral("Сотрудник не найден в базе данных."));
    const bool wasOut = rs.Bool(QStringLiteral("WorkOut"));
    rs.Close();

    Rows::Update(m_db, kTable, {{QStringLiteral("IddWork"), worker.iddWork}}, CardFields(worker));
    // Only a change of the dismissal mark touches the links: re-saving a worker's address must not bring
    // back a link that was removed from a service by hand.
    if (wasOut != worker.workOut) {
        m_db.Exec(QStringLiteral("UPDATE ServiceWork SET [Delete] = ? WHERE IddWork = ?"),
                  {worker.workOut, worker.iddWork});
    }
    tx.Commit();
}

bool WorkerStore::Delete(const QString &iddWork) {
    const Values key = {{QStringLiteral("IddWork"), iddWork}};
    Transaction tx(m_db);
    if (Rows::SoftDelete(m_db, kTable, key) == 0) {
        tx.Commit();  // nothing written; an uncommitted end would doom a caller's transaction
        return false;
    }
    Rows::SoftDelete(m_db, QStringLiteral("ServiceWork"), key);
    Rows::SoftDelete(m_db, QStringLiteral("TWork"), key);
    Rows::SoftDelete(m_db, QStringLiteral("TWorkPay"), key, QStringLiteral("DeleteWorkPay"));
    tx.Commit();
    return true;
}
