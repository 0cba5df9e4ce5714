#pragma once

#include "DbError.h"
#include "DocumentPrinter.h"
#include "DocumentWriter.h"
#include "RtfTemplateFiller.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryDir>

// The document merge of `rows` table rows: a data file made from an order's real data file with its rows
// repeated, merged into the work order's template. Its raw limit reads the same two files and writes an
// output of the merged size the same safe way (aside, then renamed): the file work any merge does.
class MergeBench {
public:
    MergeBench(Database &db, const QString &iddZakaz, int rows) : m_rows(size_t(rows)) {
        if (!m_dir.isValid()) throw DbError(QStringLiteral("no temporary folder for the merge"));
        m_template =
            QStringLiteral(ZV_TEMPLATES_DIR "/") + DocumentFiles::Of(OrderDocument::WorkOrder).templateFile;
        const QList<QByteArray> lines =
            DocumentWriter(db).Data(OrderDocument::WorkOrder, iddZakaz).split('\n');
        // Header lines, then the table's rows (every prefix but 0), then the totals.
        QList<QByteArray> before, table, after;
        for (const QByteArray &line : lines) {
            if (line.isEmpty()) continue;
            if (!line.startsWith("|0:"))
                table << line;
            else
                (table.isEmpty() ? before : after) << line;
        }
        if (table.isEmpty()) throw DbError(QStringLiteral("the order's data file has no rows"));
        QByteArray data = before.join('\n') + '\n';
        for (int i = 0; i < rows; ++i) data += table[i % table.size()] + '\n';
        data += after.join('\n') + '\n';
        m_data = m_dir.filePath(QStringLiteral("data.txt"));
        m_output = m_dir.filePath(QStringLiteral("out.doc"));
        QFile f(m_data);
        if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size())
            throw DbError(QStringLiteral("cannot write %1").arg(m_data));
    }

    // Both return the table rows merged.
    size_t Program() {
        RtfTemplateFiller filler;
        if (filler.Fill(m_data, m_template, m_output) != 0) throw DbError(filler.LastMessage());
        return m_rows;
    }

    size_t Raw() {
        const QByteArray data = Read(m_data), rtf = Read(m_template);
        QByteArray out = rtf + data;
        out.resize(QFileInfo(m_output).size());
        QSaveFile f(m_dir.filePath(QStringLiteral("raw.doc")));
        if (!f.open(QIODevice::WriteOnly) || f.write(out) != out.size() || !f.commit())
            throw DbError(f.errorString());
        return m_rows;
    }

private:
    static QByteArray Read(const QString &path) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) throw DbError(QStringLiteral("cannot read %1").arg(path));
        return f.readAll();
    }

    QTemporaryDir m_dir;
    size_t m_rows;
    QString m_template, m_data, m_output;
};
