#pragma once

#include "AppContext.h"
#include "CCarDirDlg.h"
#include "CClientDirDlg.h"
#include "CClientDlg.h"
#include "CClientOrdersPage.h"
#include "COrderFormDlg.h"
#include "COrderFormQuestionDlg.h"
#include "COrderPaymentDlg.h"
#include "CServiceDirDlg.h"
#include "CServiceDlg.h"
#include "CWorkerDirDlg.h"
#include "CarStore.h"
#include "ClientStore.h"
#include "CounterStore.h"
#include "DynamicRecordset.h"
#include "KeyedList.h"
#include "OrderCarClientPart.h"
#include "OrderFixtures.h"
#include "OrderLinesPart.h"
#include "OrderMath.h"
#include "OrderPaymentsPart.h"
#include "OrderStore.h"
#include "PaymentStore.h"
#include "Rows.h"
#include "Rub.h"
#include "Scripted.h"
#include "ServiceStore.h"
#include "TestDb.h"
#include "Widgets.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimeEdit>
#include <QTreeWidget>
#include <functional>

namespace OrderForm {

inline Money Total(const COrderFormDlg &form) {
    return OrderMath::Compute(form.order().lines).total;
}

inline void Select(QTreeWidget *list, QTreeWidgetItem *item) {
    list->setCurrentItem(item);
    item->setSelected(true);
}

// Ticks the named top-level rows of the services directory and closes it.
inline ScriptedDialogs::Step PickServices(const QStringList &names) {
    return [names](QDialog &d) {
        auto &dir = dynamic_cast<CServiceDirDlg &>(d);
        auto *list = dir.findChild<QTreeWidget *>(QStringLiteral("services"));
        for (const QString &n : names) {
            QTreeWidgetItem *row = FindRow(list, n, 0);
            EXPECT_NE(row, nullptr) << n.toStdString();
            // The row with everything under it: a package's services, a service's performers.
            std::function<void(QTreeWidgetItem *)> tick = [&](QTreeWidgetItem *item) {
                item->setCheckState(0, Qt::Checked);
                for (int i = 0; i < item->childCount(); ++i) tick(item->child(i));
            };
            if (row) tick(row);
        }
        dir.accept();
        return dir.result();
    };
}

inline ScriptedDialogs::Step Answer(bool yes, QString *text = nullptr, QString *heading = nullptr) {
    return [=](QDialog &d) {
        auto &q = dynamic_cast<COrderFormQuestionDlg &>(d);
        if (text) *text = q.Text();
        if (heading) *heading = q.windowTitle();
        Child<QPushButton>(q, yes ? "yes" : "no")->click();
        return q.result();
    };
}

inline ScriptedDialogs::Step Pay(const QString &amount, Money *debtShown = nullptr) {
    return [=](QDialog &d) {
        auto &p = dynamic_cast<COrderPaymentDlg &>(d);
        if (debtShown) *debtShown = p.DebtBefore();
        Child<QLineEdit>(p, "amount")->setText(amount);
        p.accept();
        return p.result();
    };
}

}  // namespace OrderForm

using namespace OrderForm;

// An order form over a catalogue of two workers, a package with one service, a wash and one client.
class OrderFormDlgTest : public DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        ctx = std::make_unique<AppContext>(Context(QString(28, u'1')));
        for (auto [id, fio] : {std::pair{"w1", "Петров"}, std::pair{"w2", "Сидоров"}})
            Rows::Insert(db(), QStringLiteral("SWork"),
                         {{QStringLiteral("IddWork"), QString::fromUtf8(id)},
                          {QStringLiteral("WorkFIO"), QString::fromUtf8(fio)},
                          {QStringLiteral("WorkOut"), false},
                          {QStringLiteral("Delete"), false}});
        ServiceStore services(db());
        ServiceCard tyre;
        tyre.packageText = QStringLiteral("Шиномонтаж");
        tyre.name = QStringLiteral("Снятие");
        tyre.price = Rub(100);
        tyre.prNds = 18;
        tyre.time = QTime(0, 30);
        tyre.performers = {{QString(), QStringLiteral("w1"), QStringLiteral("Петров"), false}};
        services.SaveCard(tyre, QStringLiteral("anna"));
        ServiceCard wash;
        wash.name = QStringLiteral("Мойка");
        wash.price = Rub(300);
        wash.time = QTime(1, 0);
        wash.performers = {{QString(), QStringLiteral("w1"), QStringLiteral("Петров"), false}};
        services.SaveCard(wash, QStringLiteral("anna"));
        washKey = wash.iddService;

        ClientRecord client;
        client.iddClient = QStringLiteral("k1");
        client.clientName = QStringLiteral("Кузнецов");
        client.clientAdres = QStringLiteral("Лесная, 1");
        client.clientTel = QStringLiteral("111");
        ClientStore(db()).Save(client);
        CounterValues counters;
        counters.payNomer = 40;
        CounterStore(db()).WriteAll(counters);
    }

    AppContext Context(const QString &rights) {
        return AppContext(
            db(), UserInfo{QStringLiteral("u1"), QStringLiteral("anna"), QStringLiteral("Анна"), rights},
            prompter, dialogs, QString());
    }

    QString AddCar(const QString &id, const QString &plate, const QString &owner = {}) {
        CarRecord car;
        car.iddAvto = id;
        car.avtoNomer = plate;
        car.avtoMarka = QStringLiteral("ВАЗ");
        car.avtoColor = QStringLiteral("белый");
        car.avtoVin = QStringLiteral("VIN-") + id.toUpper();
        car.avtoDvig = QStringLiteral("D-") + id.toUpper();
        QList<CarOwner> owners;
        if (!owner.isEmpty()) owners << CarOwner{QString(), id, owner, false, {}, {}};
        CarStore(db()).Save(car, owners, QStringLiteral("anna"));
        return owners.isEmpty() ? QString() : owners[0].iddAvtoVlad;
    }

    // Fills the car and client of a new form and adds the wash.
    void Fill(COrderFormDlg &form, const QString &plate = QStringLiteral("а777аа")) {
        Child<QLineEdit>(form, "plate")->setText(plate);
        Child<QComboBox>(form, "client")->setEditText(QStringLiteral("Иванов"));
        dialogs.Then(PickServices({QStringLiteral("Мойка")}));
        form.lines()->AddLines();
    }

    bool Deleted(const QString &table, const QString &key, const QString &value) {
        CDynamicRecordset rs(db());
        rs.Open(QStringLiteral("SELECT [Delete] FROM %1 WHERE %2 = ?").arg(table, key), {value});
        EXPECT_FALSE(rs.IsEOF()) << value.toStdString();
        return rs.Bool(QStringLiteral("Delete"));
    }

    long PayCounter() { return CounterStore(db()).NextPayNumber() - 1; }

    ScriptedPrompter prompter;
    ScriptedDialogs dialogs;
    std::unique_ptr<AppContext> ctx;
    QString washKey;
};
