#include "ServiceStore.h"

#include "ChangedMeanwhile.h"
#include "Database.h"
#include "DbError.h"
#include "DynamicRecordset.h"
#include "Formats.h"
#include "KeyGen.h"
#include "Rows.h"

#include <QHash>

namespace {

const QString kTable = QStringLiteral("SService");
const QString kLinks = QStringLiteral("ServiceWork");

const QString kServiceColumns = QStringLiteral(
    "SService.IddService, SService.IddTop, SService.[Name], SService.Price, SService.PrNDS, SService.Summa, "
    "SService.PrJob, SService.Job, SService.[Time], SService.[Delete]");

ServiceRecord ReadService(const CDynamicRecordset &rs) {
    ServiceRecord s;
    s.iddService = rs.Text(QStringLiteral("IddService"));
    s.iddTop = rs.Text(QStringLiteral("IddTop"));
    s.name = rs.Text(QStringLiteral("Name"));
    s.price = rs.Amount(QStringLiteral("Price"));
    s.prNds = rs.Double(QStringLiteral("PrNDS"));
    s.summa = rs.Amount(QStringLiteral("Summa"));
    s.prJob = rs.Bool(QStringLiteral("PrJob"));
    s.job = rs.Double(QStringLiteral("Job"));
    const QDateTime t = rs.Date(QStringLiteral("Time"));
    s.time = t.isValid() ? QTime(t.time().hour(), t.time().minute()) : QTime(0, 0);
    s.deleted = rs.Bool(QStringLiteral("Delete"));
    return s;
}

PickedWorker ReadLink(const CDynamicRecordset &rs) {
    PickedWorker w;
    w.iddServiceWork = rs.Text(QStringLiteral("IddServiceWork"));
    w.iddWork = rs.Text(QStringLiteral("IddWork"));
    w.workFio = rs.Text(QStringLiteral("WorkFIO"));
    return w;
}

// The live performer links, as "link/worker" in order: the workers' names are theirs, not the service's.
QStringList LiveLinks(const PickedWorkers &performers) {
    QStringList links;
    for (const PickedWorker &w : performers)
        if (!w.deleted) links << w.iddServiceWork + u'/' + w.iddWork;
    links.sort();
    return links;
}

SelectedService ServiceEntry(const ServiceNode &node, const QSet<QString> &checkedLinks) {
    SelectedService e{node.service, {}, {}};
    for (const PickedWorker &w : node.performers)
        if (!w.iddServiceWork.isEmpty() && checkedLinks.contains(w.iddServiceWork)) e.performers << w;
    return e;
}

}  // namespace

ServiceTree ServiceStore::LoadTree() {
    ServiceTree tree;
    QHash<QString, qsizetype> packageAt;
    CDynamicRecordset rs(m_db);
    rs.Open(QStringLiteral("SELECT %1 FROM SService WHERE SService.IddTop = ? AND SService.[Delete] = FALSE "
                           "ORDER BY SService.[Name], SService.IddService")
                .arg(kServiceColumns),
            {Group::kPackage});
    for (; !rs.IsEOF(); rs.MoveNext()) {
        PackageNode p;
        p.package = ReadService(rs);
        packageAt.insert(p.package.iddService, tree.packages.size());
        tree.packages << p;
    }

    // Where each service went, so its performers can be attached without a query per service.
    QHash<QString, ServiceNode *> nodeOf;
    CDynamicRecordset services(m_db);
    services.Open(
        QStringLiteral("SELECT %1 FROM SService WHERE SService.IddTop <> ? AND SService.[Delete] = FALSE "
                       "ORDER BY SService.[Name], SService.IddService")
            .arg(kServiceColumns),
        {Group::kPackage});
    for (; !services.IsEOF(); services.MoveNext()) {
        ServiceNode node;
        node.service = ReadService(services);
        if (node.service.iddTop == Group::kStandalone) {
            tree.standalone << node;
        } else if (auto it = packageAt.constFind(node.service.iddTop); it != packageAt.cend()) {
            tree.packages[*it].services << node;
        }
        // A service whose package is gone stays hidden, as its package does.
    }
    for (PackageNode &p : tree.packages)
        for (ServiceNode &s : p.services) nodeOf.insert(s.service.iddService, &s);
    for (ServiceNode &s : tree.standalone) nodeOf.insert(s.service.iddService, &s);

    CDynamicRecordset links(m_db);
    links.Open(QStringLiteral(
        "SELECT ServiceWork.IddServiceWork, ServiceWork.IddService, ServiceWork.IddWork, "
        "SWork.WorkFIO FROM ServiceWork INNER JOIN SWork ON ServiceWork.IddWork = SWork.IddWork "
        "WHERE ServiceWork.[Delete] = FALSE ORDER BY SWork.WorkFIO, ServiceWork.IddServiceWork"));
    for (; !links.IsEOF(); links.MoveNext()) {
        if (ServiceNode *node = nodeOf.value(links.Text(QStringLiteral("IddService"))))
            node->performers << ReadLink(links);
    }
    return tree;
}

QList<ServiceRecord> ServiceStore::Packages() {
    QList<ServiceRecord> list;
    CDynamicRecordset rs(m_db);
    rs.Open(QStringLiteral("SELECT %1 FROM SService WHERE SService.IddTop = ? AND SService.[Delete] = FALSE "
                           "ORDER BY SService.[Name], SService.IddService")
                .arg(kServiceColumns),
            {Group::kPackage});
    for (; !rs.IsEOF(); rs.MoveNext()) list << ReadService(rs);
    return list;
}

std::optional<ServiceRecord> ServiceStore::Load(const QString &iddService) {
    CDynamicRecordset rs(m_db);
    rs.Open(QStringLiteral("SELECT %1 FROM SService WHERE SService.IddService = ?").arg(kServiceColumns),
            {iddService});
    if (rs.IsEOF()) return std::nullopt;
    return ReadService(rs);
}

std::optional<ServiceRecord> ServiceStore::FindLive(const QString &iddService, bool packageOnly) {
    if (iddService.isEmpty()) return std::nullopt;
    CDynamicRecordset rs(m_db);
    QString sql =
        QStringLiteral("SELECT %1 FROM SService WHERE SService.IddService = ? AND SService.[Delete] = FALSE")
            .arg(kServiceColumns);
    QVariantList binds{iddService};
    if (packageOnly) {
        sql += QStringLiteral(" AND SService.IddTop = ?");
        binds << Group::kPackage;
    }
    rs.Open(sql, binds);
    if (rs.IsEOF()) return std::nullopt;
    return ReadService(rs);
}

PickedWorkers ServiceStore::Performers(const QString &iddService) {
    PickedWorkers list;
    CDynamicRecordset rs(m_db);
    rs.Open(QStringLiteral(
                "SELECT ServiceWork.IddServiceWork, ServiceWork.IddService, ServiceWork.IddWork, "
                "SWork.WorkFIO FROM ServiceWork INNER JOIN SWork ON ServiceWork.IddWork = SWork.IddWork "
                "WHERE ServiceWork.IddService = ? AND ServiceWork.[Delete] = FALSE "
                "ORDER BY SWork.WorkFIO, ServiceWork.IddServiceWork"),
            {iddService});
    for (; !rs.IsEOF(); rs.MoveNext()) list << ReadLink(rs);
    return list;
}

bool ServiceStore::Delete(const QString &iddService) {
    Transaction tr(m_db);
    if (!Load(iddService)) {
        tr.Commit();  // nothing written; an uncommitted end would doom a caller's transaction
        return false;
    }
    // Breadth-first over the rows filed under the deleted one; the visited set stops a row that names
    // itself (or a loop of rows) as its package from running forever.
    QStringList queue{iddService};
    QSet<QString> visited{iddService};
    while (!queue.isEmpty()) {
        const QString id = queue.takeFirst();
        m_db.Exec(QStringLiteral("UPDATE SService SET [Delete] = ? WHERE IddService = ?"), {true, id});
        CDynamicRecordset rs(m_db);
        rs.Open(QStringLiteral("SELECT SService.IddService FROM SService WHERE SService.IddTop = ?"), {id});
        for (; !rs.IsEOF(); rs.MoveNext()) {
            const QString child = rs.Text(QStringLiteral("IddService"));
            if (!visited.contains(child)) {
                visited.insert(child);
                queue << child;
            }
        }
    }
    tr.Commit();
    return true;
}

void ServiceStore::SaveCard(ServiceCard &card, const QString &login) {
    // Work on a copy: keys handed out inside a transaction that rolls back must not stick to the card,
    // or a second attempt would "update" rows that were never stored.
    ServiceCard out = card;
    out.packageText = out.packageText.trimmed();
    out.name = out.name.trimmed();

    Transaction tr(m_db);
    if (out.existing && out.loaded) {
        const std::optional<ServiceRecord> &loaded = out.loaded;
        ChangedMeanwhile::LockRow(m_db, kTable, QStringLiteral("IddService"), loaded->iddService);
        ChangedMeanwhile::Expect(Load(loaded->iddService), *loaded,
                                 [&](const ServiceRecord &s) { return s.deleted && !loaded->deleted; });
        if (LiveLinks(Performers(loaded->iddService)) != LiveLinks(out.loadedPerformers))
            throw ChangedMeanwhile(false);
    }
    if (!out.packageText.isEmpty()) {
        const bool editingPackage = out.existing && out.iddTop == Group::kPackage;
        const QString id = editingPackage ? out.iddService : out.iddTop;
        const Values values = {{QStringLiteral("IddTop"), Group::kPackage},
                               {QStringLiteral("Name"), out.packageText},
                               {QStringLiteral("Price"), 0.0},
                               {QStringLiteral("PrNDS"), 0.0},
                               {QStringLiteral("Summa"), 0.0},
                               {QStringLiteral("Job"), 0.0},
                               {QStringLiteral("PrJob"), false}};
        // Only a package row is taken as the package: a key that names a service must not turn it into one.
        // A live row is changed without its deletion mark, which is a right of its own (see ServerRoles), and
        // only by its own card: a service filed in a package picked from the list leaves the package's name
        // as stored, rather than writing back the list's, which another workstation may have changed since.
        if (FindLive(id, true)) {
            if (editingPackage) Rows::Update(m_db, kTable, {{QStringLiteral("IddService"), id}}, values);
        } else {
            const QString key = NewKey(login) + u'p';
            Values row{{QStringLiteral("IddService"), key}};
            row << values << ColumnValue{QStringLiteral("Time"), Formats::TimeOfDay(QTime(0, 0))}
                << ColumnValue{QStringLiteral("Delete"), false};
            Rows::Insert(m_db, kTable, row);
            if (editingPackage)
                out.iddService = key;
            else
                out.iddTop = key;
        }
    }

    if (!out.name.isEmpty()) {
        const Money price = out.price;
        const double prNds = out.prNds;
        const Values values = {
            {QStringLiteral("IddTop"), out.iddTop.isEmpty() ? Group::kStandalone : out.iddTop},
            {QStringLiteral("Name"), out.name},
            {QStringLiteral("Price"), price.ToDouble()},
            {QStringLiteral("PrNDS"), prNds},
            // Stored as shown on the card, so the catalogue and the screen never differ by a rounding.
            {QStringLiteral("Summa"), PriceWithVat(price, prNds).ToDouble()},
            {QStringLiteral("Job"), out.job},
            {QStringLiteral("Time"), Formats::TimeOfDay(out.time)},
            {QStringLiteral("PrJob"), out.prJob}};
        if (FindLive(out.iddService, false)) {
            Rows::Update(m_db, kTable, {{QStringLiteral("IddService"), out.iddService}}, values);
        } else {
            out.iddService = NewKey(login) + u'u';
            Values row{{QStringLiteral("IddService"), out.iddService}};
            row << values << ColumnValue{QStringLiteral("Delete"), false};
            Rows::Insert(m_db, kTable, row);
        }

        for (qsizetype i = 0; i < out.performers.size(); ++i) {
            PickedWorker &w = out.performers[i];
            if (w.iddServiceWork.isEmpty()) {
                if (w.deleted) continue;  // added and removed again before saving
                // The position suffix keeps keys apart even when the time-based part repeats.
                const QString key = NewKey(login) + QString::number(i);
                Rows::Insert(m_db, kLinks,
                             {{QStringLiteral("IddServiceWork"), key},
                              {QStringLiteral("IddService"), out.iddService},
                              {QStringLiteral("IddWork"), w.iddWork},
                              {QStringLiteral("Delete"), false}});
                w.iddServiceWork = key;
            } else {
                Rows::Update(m_db, kLinks, {{QStringLiteral("IddServiceWork"), w.iddServiceWork}},
                             {{QStringLiteral("IddService"), out.iddService},
                              {QStringLiteral("IddWork"), w.iddWork},
                              {QStringLiteral("Delete"), w.deleted}});
            }
        }
    }
    tr.Commit();
    card = out;
}

SelectedServices ServiceStore::Select(const ServiceTree &tree, const QSet<QString> &checkedRows,
                                      const QSet<QString> &checkedLinks) {
    SelectedServices list;
    for (const PackageNode &p : tree.packages) {
        if (!checkedRows.contains(p.package.iddService)) continue;
        SelectedService e{p.package, {}, {}};
        for (const ServiceNode &s : p.services) e.children.push_back(ServiceEntry(s, checkedLinks));
        list.push_back(std::move(e));
    }
    for (const ServiceNode &s : tree.standalone)
        if (checkedRows.contains(s.service.iddService)) list.push_back(ServiceEntry(s, checkedLinks));
    return list;
}

void MergePicked(PickedWorkers &list, const PickedWorkers &picked) {
    for (const PickedWorker &p : picked) {
        PickedWorker *live = nullptr, *removed = nullptr;
        for (PickedWorker &w : list) {
            if (w.iddWork != p.iddWork) continue;
            if (!w.deleted)
                live = &w;
            else if (!removed)
                removed = &w;
        }
        if (live) continue;
        if (removed) {
            removed->deleted = false;  // restore the removed link rather than add a second one
            continue;
        }
        PickedWorker w = p;
        w.iddServiceWork.clear();
        w.deleted = false;
        list << w;
    }
}
