#include "DocumentWriter.h"
#include "RtfTemplateFiller.h"

#include "AmountInWords.h"
#include "ClientStore.h"
#include "CompanyStore.h"
#include "Cp1251.h"
#include "Database.h"
#include "DbError.h"
#include "Formats.h"
#include "OrderMath.h"
#include "OrderStore.h"
#include "PrivateFiles.h"

#include <QFile>
#include <QHash>
#include <QStringList>

namespace {

using TemplateData::Fields;
using TemplateData::Line;

QString Simple(const char *name, const QString &value) {
    return Line(0, {{name, value}});
}

QString Words(Money total) {
    return AmountInWords().Format(total.ToDouble(), true, false, QStringLiteral("643"));
}

// A row's figures, each already rounded to the kopeck, so that sums of rows are the printed totals.
struct Amounts {
    Money sum, vat;
    Money total() const { return sum + vat; }
    Amounts &operator+=(const Amounts &o) {
        sum += o.sum;
        vat += o.vat;
        return *this;
    }
};

Amounts Of(const OrderLine &line) {
    return {OrderMath::LineAmount(line), OrderMath::LineVat(line)};
}

QString Performers(const OrderLine &line) {
    QString names;
    for (const PickedWorker &w : line.workers)
        if (!w.deleted) names += w.workFio + u' ';
    return names;
}

// What the documents need beyond the order and its car: the payer's details and the shop's.
struct Parties {
    QHash<QString, QString> client, company;
};

// The payer's details from its store, by column name; none for a client gone meanwhile.
QHash<QString, QString> ClientDetails(Database &db, const QString &iddClient) {
    QHash<QString, QString> row;
    if (const std::optional<ClientRecord> client = ClientStore(db).Load(iddClient))
        for (const auto &[column, member] : ClientRecord::Columns()) row.insert(column, (*client).*member);
    return row;
}

// The shop's requisites from their store, by column name; none while they were never entered.
QHash<QString, QString> CompanyDetails(Database &db) {
    QHash<QString, QString> row;
    if (const std::optional<CompanyInfo> company = CompanyStore(db).Read())
        for (int i = 0; i < CompanyInfo::kFieldCount; ++i)
            row.insert(QString::fromLatin1(CompanyInfo::kFields[size_t(i)]), (*company)[i]);
    return row;
}

class Builder {
public:
    Builder(OrderDocument doc, const Order &order, const Parties &parties)
        : m_doc(doc), m_order(order), m_client(parties.client), m_company(parties.company) {}

    QString Build() {
        switch (m_doc) {
            case OrderDocument::WorkOrder:
            case OrderDocument::Act:
                WorkOrderHeader();
                break;
            case OrderDocument::Request:
                RequestHeader();
                break;
            case OrderDocument::Invoice:
                InvoiceHeader();
                break;
            case OrderDocument::TaxInvoice:
                TaxInvoiceHeader();
                break;
        }
        Rows();
        Totals();
        return m_out;
    }

private:
    bool Priced() const { return m_doc == OrderDocument::Invoice || m_doc == OrderDocument::TaxInvoice; }
    QString C(const char *field) const { return m_company.value(QString::fromLatin1(field)); }
    QString K(const char *field) const { return m_client.value(QString::fromLatin1(field)); }
    QString Number() const { return m_order.ZakazNomer; }
    QString Date() const { return Formats::Date(m_order.ZakazData); }

    void Company() {
        m_out += Simple("MainName", C("MainName"));
        m_out += Simple("MainINN", C("MainINN"));
        m_out += Simple("MainAdres", C("MainAdres"));
        m_out += Line(0, {{"MainTel", C("MainTel")}, {"MainFaks", C("MainFaks")}});
    }

    void WorkOrderHeader() {
        Company();
        m_out += Line(0, {{"ZakazNomer", Number()}, {"ZakazData", Date()}});
        if (m_doc == OrderDocument::Act) m_out += Simple("nomerZ", Number());
        const OrderCar &car = m_order.car;
        m_out += Line(0, {{"ClientName", m_order.client.ClientName}, {"AvtoMarka", car.AvtoMarka}});
        m_out += Line(0, {{"ClientAdres", m_order.client.ClientAdres}, {"AvtoNomer", car.AvtoNomer}});
        m_out += Line(0, {{"ClientINN", K("ClientINN")}, {"AvtoVIN", car.AvtoVin}});
        m_out += Line(0, {{"ClientTel", m_order.client.ClientTel}, {"AvtoDvig", car.AvtoDvig}});
        m_out += Simple("AvtoColor", car.AvtoColor);
        m_out += Simple("AvtoPrim", car.AvtoPrim);
    }

    void RequestHeader() {
        Company();
        const OrderCar &car = m_order.car;
        m_out += Simple("ZakazData", Date());
        m_out += Simple("ClientName", m_order.client.ClientName);
        m_out += Simple("ClientAdres", m_order.client.ClientAdres);
        m_out += Simple("ClientINN", K("ClientINN"));
        m_out += Simple("ClinetTel", m_order.client.ClientTel);
        m_out += Simple("AvtoMarka", car.AvtoMarka);
        m_out += Simple("AvtoNomer", car.AvtoNomer);
        m_out += Simple("AvtoVIN", car.AvtoVin);
        m_out += Simple("AvtoDvig", car.AvtoDvig);
        m_out += Simple("AvtoColor", car.AvtoColor);
        m_out += Simple("AvtoPrim", car.AvtoPrim);
    }

    void InvoiceHeader() {
        m_out += Simple("nomer", Number());
        m_out += Simple("data", Date());
        m_out += Simple("nomerZ", Number());
        m_out += Simple("MainName", C("MainName"));
        m_out += Simple("INN", C("MainINN"));
        m_out += Simple("MainChet", C("MainChet"));
        m_out += Simple("MainBank", C("MainBank"));
        m_out += Simple("MainKorChet", C("MainKorChet"));
        m_out += Simple("MainBIK", C("MainBIK"));
        m_out += Simple("MainAdres", C("MainAdres"));
        m_out += Simple("MainTel", C("MainTel"));
        m_out += Simple("MainFaks", C("MainFaks"));
        m_out += Simple("ClientName", m_order.client.ClientName);
        QString data;
        if (!K("ClientChet").trimmed().isEmpty())
            data = QStringLiteral("р/с ") + K("ClientChet") + QStringLiteral(" в ") + K("ClientBank") +
                   QStringLiteral(", кор.счет ") + K("ClientKorChet") + QStringLiteral(" БИК ") +
                   K("ClientBIK");
        data += QStringLiteral(" Адрес: ") + K("ClientAdresF");
        m_out += Simple("ClientData", data);
    }

    void TaxInvoiceHeader() {
        m_out += Simple("nomer", Number());
        m_out += Simple("data", Date());
        m_out += Simple("MainName", C("MainName"));
        m_out += Simple("MainAdres", C("MainAdres"));
        m_out += Simple("MainINN", C("MainINN"));
        m_out += Simple("ClientName", m_order.client.ClientName);
        m_out += Simple("ClientAdres", m_order.client.ClientAdres);
        m_out += Simple("ClientINN", K("ClientINN"));
    }

    // The amount fields of a row: a line's own, or a group's summed over its services.
    Fields AmountFields(const Amounts &a, const QString &rate, const OrderLine *line) const {
        if (Priced())
            return {{"summa", a.sum.Text()},
                    {"nds", rate},
                    {"summaNds", a.vat.Text()},
                    {"itog", a.total().Text()}};
        Fields f = {{"summa", a.total().Text()}};
        if (line) f.append({"work", Performers(*line)});
        return f;
    }

    void RowLine(const QString &pp, const QString &name, const OrderLine &line, const Fields &amounts) {
        Fields f = {{"pp", pp},
                    {"ServiceName", name},
                    {"kol", Formats::TwoDecimals(line.count)},
                    {"price", line.price.Text()}};
        f.append(amounts);
        m_out += Line(1, f);
        m_out += Simple("k", QString());
    }

    void Rows() {
        int pp = 0;
        for (const OrderLine &line : m_order.lines) {
            if (line.deleted) continue;
            const QString number = QString::number(++pp);
            m_quantity += line.count;
            if (line.IsPackage()) {
                Amounts group;
                for (const OrderLine &child : line.children)
                    if (!child.deleted) group += Of(child);
                RowLine(number, line.name, line, AmountFields(group, QStringLiteral("-"), nullptr));
                for (const OrderLine &child : line.children) {
                    if (child.deleted) continue;
                    const Amounts a = Of(child);
                    m_total += a;
                    RowLine(QString(), QStringLiteral(" - ") + child.name, child,
                            AmountFields(a, Formats::TwoDecimals(child.prNds), &child));
                }
            } else {
                const Amounts a = Of(line);
                m_total += a;
                RowLine(number, line.name, line, AmountFields(a, Formats::TwoDecimals(line.prNds), &line));
            }
        }
    }

    void Totals() {
        const QString itog = m_total.total().Text();
        const QString vat = m_total.vat.Text();
        switch (m_doc) {
            case OrderDocument::WorkOrder:
            case OrderDocument::Act:
            case OrderDocument::Request:
                m_out += Simple("itog", itog);
                m_out += Simple("itogP", Words(m_total.total()));
                m_out += Simple("SummaNDS", vat);
                break;
            case OrderDocument::Invoice:
                m_out += Simple("colZ", Formats::TwoDecimals(m_quantity));
                m_out += Simple("summaZ", m_total.sum.Text());
                m_out += Simple("summaNdsZ", vat);
                m_out += Simple("itogZ", itog);
                m_out += Simple("itogP", Words(m_total.total()));
                m_out += Simple("SumNDS", vat);
                m_out += Simple("MainChif", C("MainDirector"));
                m_out += Simple("MainByx", C("MainByx"));
                break;
            case OrderDocument::TaxInvoice:
                m_out += Simple("summaZ", m_total.sum.Text());
                m_out += Simple("summaNdsZ", vat);
                m_out += Simple("itogZ", itog);
                m_out += Simple("MainChif", C("MainDirector"));
                m_out += Simple("MainByx", C("MainByx"));
                break;
        }
    }

    OrderDocument m_doc;
    const Order &m_order;
    const QHash<QString, QString> &m_client, &m_company;
    QString m_out;
    Amounts m_total;
    double m_quantity = 0;
};

}  // namespace

DocumentFiles DocumentFiles::Of(OrderDocument doc) {
    switch (doc) {
        case OrderDocument::WorkOrder:
            return {QStringLiteral("zakaz_narad.txt"), QStringLiteral("szakaz_nar.rtf"),
                    QStringLiteral("ZNarad")};
        case OrderDocument::Invoice:
            return {QStringLiteral("chet.txt"), QStringLiteral("schet.rtf"), QStringLiteral("Chet")};
        case OrderDocument::TaxInvoice:
            return {QStringLiteral("chetFakt.txt"), QStringLiteral("schetFakt.rtf"),
                    QStringLiteral("ChetFakt")};
        case OrderDocument::Act:
            return {QStringLiteral("akt.txt"), QStringLiteral("sakt.rtf"), QStringLiteral("Akt")};
        case OrderDocument::Request:
            return {QStringLiteral("zajvka.txt"), QStringLiteral("szajvka.rtf"), QStringLiteral("Zajvka")};
    }
    return {};
}

QList<OrderDocument> DocumentFiles::InPrintOrder() {
    return {OrderDocument::WorkOrder, OrderDocument::Invoice, OrderDocument::TaxInvoice, OrderDocument::Act,
            OrderDocument::Request};
}

QByteArray DocumentWriter::Data(OrderDocument doc, const QString &iddZakaz, QString *number) {
    const std::optional<Order> order = OrderStore(m_db).Load(iddZakaz);
    if (!order) throw DbError(QStringLiteral("Заказ не найден в базе данных: возможно, он удалён."));
    const Parties parties{ClientDetails(m_db, order->IddVlad), CompanyDetails(m_db)};
    if (number) *number = order->ZakazNomer;
    return Cp1251::FromUnicode(Builder(doc, *order, parties).Build());
}

QString DocumentWriter::Write(OrderDocument doc, const QString &iddZakaz, const QString &dataPath) {
    QString number;
    const QByteArray data = Data(doc, iddZakaz, &number);
    if (!PrivateFiles::Write(dataPath, data).isEmpty())
        throw DbError(QStringLiteral("Не могу записать файл данных %1").arg(dataPath));
    return number;
}
