#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

class Database;

// The five printed documents of an order, in the order they are produced when several are asked for.
enum class OrderDocument { WorkOrder, Invoice, TaxInvoice, Act, Request };

// Where each document's data file and template live and how its output is named.
struct DocumentFiles {
    QString dataFile;      // in the working directory
    QString templateFile;  // in the working directory or the installed templates folder
    QString outputPrefix;  // under doc/, followed by the order number and ".doc"

    static DocumentFiles Of(OrderDocument doc);
    static QList<OrderDocument> InPrintOrder();
};

// Reads an order with its lines, workers, client, car and the shop's details and writes the data file
// that the document's template is merged with. Widget-free.
class DocumentWriter {
public:
    explicit DocumentWriter(Database &db) : m_db(db) {}

    // The data-file text (Windows-1251, lines ending in a line feed); number receives ZakazNomer.
    // Throws DbError with the driver's text, or with a message when the order is not found.
    QByteArray Data(OrderDocument doc, const QString &iddZakaz, QString *number = nullptr);
    // Writes Data to the file (created or truncated) and returns the order number. Throws DbError,
    // also when the file cannot be written.
    QString Write(OrderDocument doc, const QString &iddZakaz, const QString &dataPath);

private:
    Database &m_db;
};
