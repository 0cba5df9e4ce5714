#pragma once

#include "Cp1251.h"
#include "Database.h"
#include "OrderStore.h"
#include "Rows.h"
#include "Rub.h"
#include "ScriptedPrompter.h"
#include "TestDb.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

// An order in a fresh database, with the shop's details, printed in a temporary folder that is the
// current directory meanwhile (documents go to doc/ there).
class DocumentTest : public DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        ASSERT_TRUE(m_work.isValid());
        m_old = QDir::currentPath();
        QDir::setCurrent(m_work.path());
        Rows::Update(db(), QStringLiteral("SMain"), {{QStringLiteral("IddMain"), QStringLiteral("1")}},
                     {{QStringLiteral("MainName"), QStringLiteral("ООО \"Шинный двор\"")},
                      {QStringLiteral("MainINN"), QStringLiteral("7701234567/770101001")},
                      {QStringLiteral("MainAdres"), QStringLiteral("Москва, ул. Колесная, 5")},
                      {QStringLiteral("MainTel"), QStringLiteral("495-111-22-33")},
                      {QStringLiteral("MainFaks"), QStringLiteral("495-111-22-34")},
                      {QStringLiteral("MainBank"), QStringLiteral("ПАО Сбербанк")},
                      {QStringLiteral("MainChet"), QStringLiteral("40702810900000000001")},
                      {QStringLiteral("MainKorChet"), QStringLiteral("30101810400000000225")},
                      {QStringLiteral("MainBIK"), QStringLiteral("044525225")},
                      {QStringLiteral("MainDirector"), QStringLiteral("Иванов И.И.")},
                      {QStringLiteral("MainByx"), QStringLiteral("Петрова А.А.")}});
    }
    void TearDown() override {
        if (!m_old.isEmpty()) QDir::setCurrent(m_old);
        DbTest::TearDown();
    }

    static OrderLine Line(const QString &key, const QString &name, double count, double price, double nds,
                          const QStringList &workers = {}) {
        OrderLine l;
        l.iddService = key;
        l.name = name;
        l.count = count;
        l.price = Rub(price);
        l.prNds = nds;
        for (int i = 0; i < workers.size(); ++i)
            l.workers << PickedWorker{QString(), QStringLiteral("w%1").arg(i), workers[i], false};
        return l;
    }
    static OrderLine Group(const QString &key, const QString &name, QList<OrderLine> services) {
        OrderLine g = Line(key, name, 1, 0, 0);
        g.iddTop = Group::kPackage;
        for (OrderLine &s : services) s.iddTop = key;
        g.children = services;
        return g;
    }

    // Saves an order for the client (with a settlement account when bank is true); returns its key.
    QString SaveOrder(const QList<OrderLine> &lines,
                      const QString &client = QStringLiteral("Шиномонтаж #1 и #2"), bool bank = true) {
        Order o;
        o.client.ClientName = client;
        o.client.ClientAdres = QStringLiteral("Тверь, пр. Мира, 1");
        o.client.ClientTel = QStringLiteral("8-900-000-00-01");
        o.car.AvtoNomer = QStringLiteral("А001АА69");
        o.car.AvtoMarka = QStringLiteral("Лада Гранта");
        o.car.AvtoVin = QStringLiteral("XTA21900000000001");
        o.car.AvtoColor = QStringLiteral("белый");
        o.lines = lines;
        o.ZakazData = QDateTime(QDate(2024, 3, 5), QTime(0, 0));
        o.ZakazBegin = o.ZakazBeginIn = QDateTime(QDate(2024, 3, 5), QTime(10, 0));
        const QString key = OrderStore(db()).Save(o, QStringLiteral("test"));
        Values extra = {{QStringLiteral("ClientINN"), QStringLiteral("690000000001")},
                        {QStringLiteral("ClientAdresF"), QStringLiteral("Тверь, ул. Фактическая, 2")}};
        if (bank)
            extra << ColumnValue{QStringLiteral("ClientChet"), QStringLiteral("40702810000000000099")}
                  << ColumnValue{QStringLiteral("ClientBank"), QStringLiteral("АО Банк")}
                  << ColumnValue{QStringLiteral("ClientKorChet"), QStringLiteral("30101810000000000001")}
                  << ColumnValue{QStringLiteral("ClientBIK"), QStringLiteral("042809679")};
        Rows::Update(db(), QStringLiteral("SClient"), {{QStringLiteral("IddClient"), o.IddVlad}}, extra);
        m_number = o.ZakazNomer;
        return key;
    }

    static QString Read(const QString &path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? Cp1251::ToUnicode(f.readAll()) : QString();
    }

    QTemporaryDir m_work;
    QString m_old;
    QString m_number;
    ScriptedPrompter m_prompter;
};
