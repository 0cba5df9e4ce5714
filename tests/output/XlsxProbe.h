#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

// What a written .xlsx holds, read back from its XML parts, for checking workbooks the program writes.
struct XlsxCell {
    QString value;  // the text, or the number as stored
    bool text = false;
};

struct XlsxProbe {
    QMap<QString, XlsxCell> cells;  // by "B4"
    QStringList merges;             // "A1:G2"
    QStringList page;               // the page set-up's attributes: "paperSize=9"
    QString error;                  // why the file could not be read

    static XlsxProbe Read(const QString &xlsx);
};
