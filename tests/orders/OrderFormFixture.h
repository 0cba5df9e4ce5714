#pragma once

#include "CCarDirDlg.h"
#include "CClientDirDlg.h"
#include "COrderFormDlg.h"
#include "COrderFormQuestionDlg.h"
#include "COrderPaymentDlg.h"
#include "CServiceDirDlg.h"
#include "CServiceDlg.h"
#include "ClientStore.h"
#include "CounterStore.h"
#include "KeyedList.h"
#include "OrderCarClientPart.h"
#include "OrderFixtures.h"
#include "OrderLinesPart.h"
#include "OrderPaymentsPart.h"
#include "OrderStore.h"
#include "PaymentStore.h"
#include "ScreenTest.h"
#include "ServiceStore.h"
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

namespace OrderForm {

// Every right but the one given.
inline QString AllBut(int denied) {
    QString r(Rights::kCount, u'1');
    r[denied] = u'0';
    return r;
}

// Ticks the named top-level rows of the services directory and closes it.
inline ScriptedDialogs::Step PickServices(const QStringList &names) {
    return [names](QDialog &d) {
        auto &dir = dynamic_cast<CServiceDirDlg &>(d);
        auto *list = dir.findChild<QTreeWidget *>(u"services"_s);
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
        return dir.accept(), dir.result();
    };
}

// Chooses the car or the client (or its owner link when given) in its directory, which closes.
template <class Directory>
ScriptedDialogs::Step Choose(const QString &key, const QString &link = {}) {
    return [=](QDialog &d) {
        EXPECT_TRUE(dynamic_cast<Directory &>(d).Select(key, link)) << key.toStdString();
        return d.reject(), d.result();
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
        return p.accept(), p.result();
    };
}

}  // namespace OrderForm

using namespace OrderForm;
using Fixture::Head;
using Fixture::Text;

// An order form over a catalogue of a worker, a package with one service, a wash and one client.
class OrderFormDlgTest : public ScreenTest {
protected:
    void Fill() override {
        ScreenTest::Fill();
        TestRows::Put(db(), TestRows::Worker{.key = "w1", .fio = "Петров"});
        TestRows::Put(
            db(), TestRows::Client{.key = "k1", .name = "Кузнецов", .tel = "111", .address = "Лесная, 1"});
        TestRows::PutCounters(db(), 0, 40, 0);
        const PickedWorkers petrov = {{QString(), u"w1"_s, u"Петров"_s, false}};
        ServiceCard tyre{.packageText = u"Шиномонтаж"_s, .name = u"Снятие"_s, .price = Rub(100), .prNds = 18};
        tyre.time = QTime(0, 30), tyre.performers = petrov;
        ServiceCard wash{.name = u"Мойка"_s, .price = Rub(300), .time = QTime(1, 0), .performers = petrov};
        ServiceStore services(db());
        services.SaveCard(tyre, u"anna"_s);
        services.SaveCard(wash, u"anna"_s);
        washKey = wash.iddService;
    }

    // A car with its VIN and engine number made of its key; returns its owner link when it has an owner.
    QString AddCar(const QString &id, const QString &plate, const QString &owner = {}) {
        TestRows::Car car{.key = id, .plate = plate, .owner = owner};
        car.vin = u"VIN-"_s + id.toUpper(), car.engine = u"D-"_s + id.toUpper();
        TestRows::Put(db(), car);
        return owner.isEmpty() ? QString() : id + u"-"_s + owner;
    }

    // Fills the car and client of a new form and adds the wash.
    void Fill(COrderFormDlg &form, const QString &plate = u"а777аа"_s) {
        Child<QLineEdit>(form, "plate")->setText(plate);
        Child<QComboBox>(form, "client")->setEditText(u"Иванов"_s);
        AddWash(form);
    }
    void AddWash(COrderFormDlg &form) {
        dialogs.Then(PickServices({u"Мойка"_s}));
        form.lines()->AddLines();
    }

    // The car and client the form shows: client|phone|plate|engine.
    static QString CarClient(const COrderFormDlg &form) {
        return Child<QComboBox>(form, "client")->currentText() + u'|' +
               Child<QLineEdit>(form, "phone")->text() + u'|' + Child<QLineEdit>(form, "plate")->text() +
               u'|' + Child<QLineEdit>(form, "engine")->text();
    }

    long PayCounter() { return CounterStore(db()).ReadAll()->payNomer; }

    QString washKey;
};
