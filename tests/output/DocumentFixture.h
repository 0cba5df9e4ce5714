#pragma once

#include "ClientStore.h"
#include "CompanyStore.h"
#include "Cp1251.h"
#include "OrderStore.h"
#include "Rub.h"
#include "ScriptedPrompter.h"
#include "TestDb.h"

#include <QDir>
#include <QFile>

// An order in a fresh database, with the shop's details, printed in a temporary folder that is the
// current directory meanwhile (documents go to doc/ there).
class DocumentTest : public DbTest {
protected:
    void Fill() override {
        ASSERT_TRUE(m_work.isValid());
        m_old = QDir::currentPath();
        QDir::setCurrent(m_work.path());
        CompanyInfo company;
        company.Field("MainName") = "ООО \"Шинный двор\"", company.Field("MainINN") = "7701234567/770101001";
        company.Field("MainTel") = "495-111-22-33", company.Field("MainDirector") = "Иванов И.И.";
        CompanyStore(db()).Save(company);
    }
    void TearDown() override {
        if (!m_old.isEmpty()) QDir::setCurrent(m_old);
        DbTest::TearDown();
    }

    static OrderLine Line(const QString &key, const QString &name, double count, double price, double nds,
                          const QStringList &workers = {}) {
        OrderLine l;
        l.iddService = key, l.name = name, l.count = count, l.price = Rub(price), l.prNds = nds;
        for (int i = 0; i < workers.size(); ++i)
            l.workers << PickedWorker{QString(), QStringLiteral("w%1").arg(i), workers[i], false};
        return l;
    }
    static OrderLine Group(const QString &key, const QString &name, QList<OrderLine> services) {
        OrderLine g = Line(key, name, 1, 0, 0);
        for (OrderLine &s : services) s.iddTop = key;
        g.iddTop = Group::kPackage, g.children = services;
        return g;
    }

    // Saves an order for the client (with a settlement account when bank is true); returns its key.
    QString SaveOrder(const QList<OrderLine> &lines, const QString &client = "Шиномонтаж #1 и #2",
                      bool bank = true,
                      const OrderCar &car = {
                          "А001АА69", "Лада Гранта", "XTA21900000000001", {}, "белый", {}}) {
        Order o;
        o.client = {client, "Тверь, пр. Мира, 1", "8-900-000-00-01"};
        o.car = car, o.lines = lines;
        o.ZakazData = QDateTime(QDate(2024, 3, 5), QTime(0, 0));
        o.ZakazBegin = o.ZakazBeginIn = QDateTime(QDate(2024, 3, 5), QTime(10, 0));
        const QString key = OrderStore(db()).Save(o, "test");
        ClientRecord c = *ClientStore(db()).Load(o.IddVlad);
        c.clientINN = "690000000001", c.clientAdresF = "Тверь, ул. Фактическая, 2";
        if (bank) c.clientChet = "40702810000000000099", c.clientBank = "АО Банк";
        if (bank) c.clientKorChet = "30101810000000000001", c.clientBIK = "042809679";
        ClientStore(db()).Save(c);
        m_number = o.ZakazNomer;
        return key;
    }

    static std::string S(const QString &s) { return s.toStdString(); }
    static QString Read(const QString &path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? Cp1251::ToUnicode(f.readAll()) : QString();
    }

    QTemporaryDir m_work;
    QString m_old;
    QString m_number;
    ScriptedPrompter m_prompter;
};
