#include "AppContext.h"
#include "CBayDlg.h"
#include "CCarDlg.h"
#include "CClientDlg.h"
#include "COrderFormDlg.h"
#include "COrderPaymentDlg.h"
#include "CServiceDlg.h"
#include "CUserDlg.h"
#include "CWorkerDlg.h"
#include "Commands.h"
#include "CompanyDlg.h"
#include "CompanyStore.h"
#include "DbError.h"
#include "FirstRunDlg.h"
#include "LoginDlg.h"
#include "MainFrame.h"
#include "NumberingDlg.h"
#include "PayRecord.h"
#include "Schema.h"
#include "ScreenTest.h"
#include "Scripted.h"
#include "TestDb.h"
#include "UserStore.h"
#include "Widgets.h"
#include "WorkerStore.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QComboBox>
#include <QIcon>
#include <QLineEdit>
#include <QMap>
#include <QSet>
#include <QToolBar>
#include <memory>

class ScreenInputsTest : public ScreenTest {};
ZV_INSTANTIATE_DB_TESTS(ScreenInputsTest);

namespace {

// The name a line edit is known by: its own, or its combo box's for the combo's editor.
QString InputName(const QLineEdit *edit) {
    if (const auto *combo = qobject_cast<const QComboBox *>(edit->parentWidget())) return combo->objectName();
    return edit->objectName();
}

// Every text input of the card must be either bound to its stored field's limit or listed as no text
// field (amounts, counters, passwords kept as hashes); each listed name must exist, so the table stays true.
void CheckLimits(const QWidget &card, const QMap<QString, QString> &fields, const QSet<QString> &notText) {
    const QString cardName = QString::fromLatin1(card.metaObject()->className());
    QSet<QString> seen;
    for (const QLineEdit *edit : card.findChildren<QLineEdit *>()) {
        if (qobject_cast<const QAbstractSpinBox *>(edit->parentWidget())) continue;  // a date or time
        const QString name = InputName(edit);
        seen.insert(name);
        if (notText.contains(name)) continue;
        const auto field = fields.find(name);
        if (field == fields.end()) {
            ADD_FAILURE() << cardName.toStdString() << ": input \"" << name.toStdString()
                          << "\" is bound to no field";
            continue;
        }
        const int limit = FieldMaxLength(field->section(u'.', 0, 0), field->section(u'.', 1));
        EXPECT_GT(limit, 0) << field->toStdString();
        EXPECT_EQ(edit->maxLength(), limit) << cardName.toStdString() << "." << name.toStdString();
    }
    for (const QString &name : fields.keys() + notText.values())
        EXPECT_TRUE(seen.contains(name)) << cardName.toStdString() << " has no input " << name.toStdString();
}

}  // namespace

TEST_P(ScreenInputsTest, EveryCardInputTakesItsFieldsLimit) {
    using Fields = QMap<QString, QString>;
    CheckLimits(CBayDlg(*ctx), Fields{{"name", "SBox.NameBox"}, {"note", "SBox.PrimBox"}}, {});
    CheckLimits(CCarDlg(*ctx, {}),
                Fields{{"plate", "SAvto.AvtoNomer"},
                       {"make", "SAvto.AvtoMarka"},
                       {"color", "SAvto.AvtoColor"},
                       {"vin", "SAvto.AvtoVin"},
                       {"dvig", "SAvto.AvtoDvig"},
                       {"prim", "SAvto.AvtoPrim"}},
                {});
    CheckLimits(CServiceDlg(*ctx, ServiceCardSetup{}),
                Fields{{"name", "SService.Name"}, {"package", "SService.Name"}},
                {"price", "nds", "summa", "job"});
    CheckLimits(CUserDlg(*ctx), Fields{{"name", "SUser.Name"}, {"login", "SUser.Login"}}, {"password"});
    CheckLimits(CWorkerDlg(*ctx),
                Fields{{"fio", "SWork.WorkFIO"}, {"adres", "SWork.WorkAdres"}, {"tel", "SWork.WorkTel"}}, {});

    Fields client;
    for (const char *column :
         {"ClientName", "ClientAdres", "ClientTel", "ClientFullName", "ClientAdresF", "ClientINN",
          "ClientOKHX", "ClientOKPO", "ClientFaks", "ClientEmail", "ClientChet", "ClientBank",
          "ClientKorChet", "ClientBIK", "ClientDirector", "ClientByx", "ClientContact", "ClientPrim"})
        client.insert(QLatin1StringView(column), QStringLiteral("SClient.") + QLatin1StringView(column));
    CheckLimits(CClientDlg(*ctx, QString()), client, {});

    Fields company;
    for (const char *column : CompanyInfo::kFields)
        company.insert(QLatin1StringView(column), QStringLiteral("SMain.") + QLatin1StringView(column));
    CheckLimits(CCompanyDlg(*ctx), company, {});

    UserStore users(db());
    CheckLimits(CFirstRunDlg(users, prompter), Fields{{"name", "SUser.Name"}, {"login", "SUser.Login"}},
                {"password", "repeat"});
    CheckLimits(CLoginDlg(users, prompter), {}, {"password"});
    CheckLimits(CNumberingDlg(*ctx), Fields{{"ZakazPr", "Number.ZakazPr"}},
                {"ZakazNomer", "SalaryNomer", "PayNomer", "OutPayNomer"});

    CheckLimits(COrderFormDlg(*ctx, OrderFormMode::New),
                Fields{{"number", "TZakaz.ZakazNomer"},
                       {"plate", "SAvto.AvtoNomer"},
                       {"make", "SAvto.AvtoMarka"},
                       {"color", "SAvto.AvtoColor"},
                       {"vin", "SAvto.AvtoVin"},
                       {"engine", "SAvto.AvtoDvig"},
                       {"carNote", "SAvto.AvtoPrim"},
                       {"client", "SClient.ClientName"},
                       {"address", "SClient.ClientAdres"},
                       {"phone", "SClient.ClientTel"}},
                {});
    PayRecord pay;
    CheckLimits(COrderPaymentDlg(*ctx, pay, COrderPaymentDlg::kEditTitle, true, Money()),
                Fields{{"number", "TPay.NomerPay"}, {"doc", "TPay.DocPay"}, {"note", "TPay.PrimPay"}},
                {"amount"});
}

TEST_P(ScreenInputsTest, TypingPastTheLimitSavesTheLimitAndARefusalFocusesItsField) {
    const int limit = FieldMaxLength(QStringLiteral("SWork"), QStringLiteral("WorkFIO"));
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
    Child<QLineEdit>(card, "fio")->setText(QStringLiteral("Петров"));
    db().SetWriteHook([](const QString &) {
        throw DbError(QStringLiteral("Поле «Телефон» не годится."), QStringLiteral("SWork.WorkTel"));
    });
    card.accept();
    db().SetWriteHook({});
    EXPECT_NE(card.result(), QDialog::Accepted);
    EXPECT_EQ(prompter.errors, QStringList{QStringLiteral("Поле «Телефон» не годится.")});
    EXPECT_EQ(card.focusWidget(), Child<QLineEdit>(card, "tel"));
    EXPECT_EQ(WorkerStore(db()).List(true, false).size(), 1);
}

TEST_P(ScreenInputsTest, CommandsCarryTheThemesIcons) {
    // The offscreen platform looks for themes only in the resources; a desktop looks in /usr/share/icons.
    if (!QIcon::themeSearchPaths().contains(QStringLiteral("/usr/share/icons")))
        QIcon::setThemeSearchPaths(QIcon::themeSearchPaths() << QStringLiteral("/usr/share/icons"));
    // Every name is one the theme has: a misspelt name would leave a blank beside the command.
    for (const Cmd::ThemeIconOfCommand &c : Cmd::kThemeIcons)
        EXPECT_TRUE(QIcon::hasThemeIcon(QLatin1StringView(c.icon))) << c.id << " " << c.icon;

    CMainFrame frame(*ctx);
    for (int id : {Cmd::kPrint, Cmd::kExit, Cmd::kOrderJournal, Cmd::kServices, Cmd::kNumbering, Cmd::kAbout})
        EXPECT_EQ(frame.Action(id)->icon().name(), QLatin1StringView(Cmd::ThemeIcon(id))) << id;

    // A kind's own command takes the theme's icon unless the kind brings one; its toolbar shows the same.
    ChildKind salary;
    salary.editMenu = {
        {32796, QStringLiteral("Добавить")},
        {32799, QStringLiteral("Печать ведомости"), {}, QIcon::fromTheme(QStringLiteral("go-up"))}};
    salary.toolbar = {32796, 32799};
    salary.open = [] { return new QWidget; };
    frame.RegisterChildKind(ChildKindId::kSalaryJournal, salary);
    ASSERT_NE(frame.OpenChild(ChildKindId::kSalaryJournal), nullptr);
    frame.SyncToActiveChild();
    ASSERT_NE(frame.KindToolBar(ChildKindId::kSalaryJournal), nullptr);
    const QList<QAction *> bar = frame.KindToolBar(ChildKindId::kSalaryJournal)->actions();
    ASSERT_EQ(bar.size(), 2);
    EXPECT_EQ(bar[0]->icon().name(), QStringLiteral("document-new"));
    EXPECT_EQ(bar[1]->icon().name(), QStringLiteral("go-up"));
}
