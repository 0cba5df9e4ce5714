#include "BenchTarget.h"

namespace {

// Removes "--name VALUE" (or "--name=VALUE") from the arguments.
bool TakeOption(QStringList &args, const QString &name, QString *value) {
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == name && i + 1 < args.size()) {
            *value = args[i + 1];
            args.remove(i, 2);
            return true;
        }
        if (args[i].startsWith(name + u'=')) {
            *value = args[i].mid(name.size() + 1);
            args.remove(i);
            return true;
        }
    }
    return false;
}

}  // namespace

bool BenchTarget::FromArguments(QStringList &args, BenchTarget *target, double *scale, QString *error) {
    QString file, pairs, scaleText = QStringLiteral("0.01");
    const bool sqlite = TakeOption(args, QStringLiteral("--sqlite"), &file);
    const bool pg = TakeOption(args, QStringLiteral("--pg"), &pairs);
    QString unpaidText = QString::number(kUnpaidShare);
    TakeOption(args, QStringLiteral("--scale"), &scaleText);
    TakeOption(args, QStringLiteral("--unpaid"), &unpaidText);
    bool ok = false;
    const double unpaid = unpaidText.toDouble(&ok);
    if (!ok || unpaid < 0 || unpaid > 0.5) {
        *error = QStringLiteral("--unpaid wants the share of finished orders left owing, from 0 to 0.5");
        return false;
    }
    *scale = scaleText.toDouble(&ok);
    if (!ok || *scale <= 0 || *scale > 10) {
        *error = QStringLiteral("--scale wants a number above 0, such as 1.0, 0.1 or 0.01");
        return false;
    }
    if (sqlite == pg) {
        *error = QStringLiteral(
            "name one database: --sqlite FILE or --pg \"host=... port=... dbname=... user=...\"");
        return false;
    }
    if (pg && pairs.startsWith(u"PGSQL;")) pairs = pairs.mid(6);
    *target = sqlite ? Sqlite(file) : Postgres(pairs);
    target->SetUnpaid(unpaid);
    return true;
}

QString BenchTarget::Schema(double scale) const {
    return QStringLiteral("zv_bench_") + QString::number(scale).replace(u'.', u'_');
}

QString BenchTarget::Connect(double scale) const {
    if (!m_postgres) return QStringLiteral("SQLITE;DATABASE=") + m_where;
    return QStringLiteral("PGSQL;") + m_where + QStringLiteral(" options=-csearch_path=") + Schema(scale);
}
