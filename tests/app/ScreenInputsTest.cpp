#include "CBayDlg.h"
#include "CCarDlg.h"
#include "CClientDlg.h"
#include "COrderFormDlg.h"
#include "COrderPaymentDlg.h"
#include "CServiceDlg.h"
#include "CUserDlg.h"
#include "CWorkerDlg.h"
#include "CompanyDlg.h"
#include "CompanyStore.h"
#include "DbError.h"
#include "FirstRunDlg.h"
#include "LoginDlg.h"
#include "NumberingDlg.h"
#include "PayRecord.h"
#include "Schema.h"
#include "ScreenTest.h"
#include "UserStore.h"
#include "Widgets.h"
#include "WorkerStore.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSet>

class ScreenInputsTest : public ScreenTest {};
ZV_INSTANTIATE_SCREEN_TESTS(ScreenInputsTest);

namespace {

// Every text input of the card must be either bound to its stored field's limit ("input=Table.Field ...")
// or listed as no text field (amounts, counters, passwords kept as hashes); each name listed must exist,
// so the lists stay true.
void CheckLimits(const QWidget &card, const QString &fields, const QString &notText = {}) {
    const std::string cardName = card.metaObject()->className();
    QMap<QString, QString> bound;
    for (const QString &f : fields.split(u' ', Qt::SkipEmptyParts))
        bound[f.section(u'=', 0, 0)] = f.section(u'=', 1);
    const QStringList other = notText.split(u' ', Qt::SkipEmptyParts);
    QSet<QString> seen;
    for (const QLineEdit *edit : card.findChildren<QLineEdit *>()) {
        if (qobject_cast<const QAbstractSpinBox *>(edit->parentWidget())) continue;  // a date or time
        // A combo box's editor is known by the combo's name.
        const auto *combo = qobject_cast<const QComboBox *>(edit->parentWidget());
        const QString name = combo ? combo->objectName() : edit->objectName();
        seen.insert(name);
        if (other.contains(name)) continue;
        if (!bound.contains(name)) {
            ADD_FAILURE() << cardName << ": input \"" << name.toStdString() << "\" is bound to no field";
            continue;
        }
        const int limit = FieldMaxLength(bound[name].section(u'.', 0, 0), bound[name].section(u'.', 1));
        EXPECT_GT(limit, 0) << bound[name].toStdString();
        EXPECT_EQ(edit->maxLength(), limit) << cardName << "." << name.toStdString();
    }
    for (const QString &name : bound.keys() + other)
        EXPECT_TRUE(seen.contains(name)) << cardName << " has no input " << name.toStdString();
}

// "Column=Table.Column ..." for columns of one table.
QString Columns(const char *table, const QStringList &columns) {
    QStringList all;
    for (const QString &c : columns) all << QString("%1=%2.%1").arg(c, table);
    return all.join(u' ');
}

}  // namespace

TEST_P(ScreenInputsTest, EveryCardInputTakesItsFieldsLimit) {
    CheckLimits(CBayDlg(*ctx), "name=SBox.NameBox note=SBox.PrimBox");
    CheckLimits(CCarDlg(*ctx, {}),
                "plate=SAvto.AvtoNomer make=SAvto.AvtoMarka color=SAvto.AvtoColor "
                "vin=SAvto.AvtoVin dvig=SAvto.AvtoDvig prim=SAvto.AvtoPrim");
    CheckLimits(CServiceDlg(*ctx, ServiceCardSetup{}), "name=SService.Name package=SService.Name",
                "price nds summa job");
    CheckLimits(CUserDlg(*ctx), "name=SUser.Name login=SUser.Login", "password");
    CheckLimits(CWorkerDlg(*ctx), "fio=SWork.WorkFIO adres=SWork.WorkAdres tel=SWork.WorkTel");
    CheckLimits(CClientDlg(*ctx, QString()),
                Columns("SClient",
                        QString("ClientName ClientAdres ClientTel ClientFullName ClientAdresF ClientINN "
                                "ClientOKHX ClientOKPO ClientFaks ClientEmail ClientChet ClientBank "
                                "ClientKorChet ClientBIK ClientDirector ClientByx ClientContact ClientPrim")
                            .split(u' ')));
    CheckLimits(CCompanyDlg(*ctx),
                Columns("SMain", QStringList(CompanyInfo::kFields.begin(), CompanyInfo::kFields.end())));
    UserStore users(db());
    CheckLimits(CFirstRunDlg(users, prompter), "name=SUser.Name login=SUser.Login", "password repeat");
    CheckLimits(CLoginDlg(users, prompter), {}, "password");
    CheckLimits(CNumberingDlg(*ctx), "ZakazPr=Number.ZakazPr", "ZakazNomer SalaryNomer PayNomer OutPayNomer");
    CheckLimits(COrderFormDlg(*ctx, OrderFormMode::New),
                "number=TZakaz.ZakazNomer plate=SAvto.AvtoNomer make=SAvto.AvtoMarka color=SAvto.AvtoColor "
                "vin=SAvto.AvtoVin engine=SAvto.AvtoDvig carNote=SAvto.AvtoPrim client=SClient.ClientName "
                "address=SClient.ClientAdres phone=SClient.ClientTel");
    PayRecord pay;
    CheckLimits(COrderPaymentDlg(*ctx, pay, COrderPaymentDlg::kEditTitle, true, Money()),
                "number=TPay.NomerPay doc=TPay.DocPay note=TPay.PrimPay", "amount");
}

TEST_P(ScreenInputsTest, TypingPastTheLimitSavesTheLimitAndARefusalFocusesItsField) {
    const int limit = FieldMaxLength("SWork", "WorkFIO");
    {
        CWorkerDlg card(*ctx);
        Type(Child<QLineEdit>(card, "fio"), QString(limit + 5, u'ж'));
        card.accept();
        EXPECT_EQ(card.result(), QDialog::Accepted);
        EXPECT_TRUE(prompter.All().isEmpty()) << prompter.All().join(u'|').toStdString();
    }
    const QList<WorkerRecord> stored = WorkerStore(db()).List(true, false);
    ASSERT_EQ(stored.size(), 1);
    EXPECT_EQ(stored[0].workFio, QString(limit, u'ж'));

    // A store's refusal of one field is shown as it is and puts the clerk on that field; nothing is saved.
    CWorkerDlg card(*ctx);
    Child<QLineEdit>(card, "fio")->setText("Петров");
    db().SetWriteHook([](const QString &) { throw DbError("Поле «Телефон» не годится.", "SWork.WorkTel"); });
    card.accept();
    db().SetWriteHook({});
    EXPECT_NE(card.result(), QDialog::Accepted);
    EXPECT_EQ(prompter.errors, QStringList{"Поле «Телефон» не годится."});
    EXPECT_EQ(card.focusWidget(), Child<QLineEdit>(card, "tel"));
    EXPECT_EQ(WorkerStore(db()).List(true, false).size(), 1);
}
