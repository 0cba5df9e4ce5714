#include "CCarDlg.h"
#include "CClientDlg.h"
#include "COrderFormDlg.h"
#include "COrderPaymentDlg.h"
#include "CServiceDlg.h"
#include "CWorkerDlg.h"
#include "CompanyDlg.h"
#include "CompanyStore.h"
#include "FirstRunDlg.h"
#include "Inputs.h"
#include "KeyedList.h"
#include "MessageBoxPrompter.h"
#include "NumberingDlg.h"
#include "PayRecord.h"
#include "Schema.h"
#include "ScreenTest.h"
#include "UserStore.h"
#include "Widgets.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSet>
#include <QVBoxLayout>

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
        // An input bound to no field expects -1, which no input has.
        const int limit = bound.contains(name)
                              ? FieldMaxLength(bound[name].section(u'.', 0, 0), bound[name].section(u'.', 1))
                              : -1;
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
    CheckLimits(CCarDlg(*ctx, {}),
                "plate=SAvto.AvtoNomer make=SAvto.AvtoMarka color=SAvto.AvtoColor "
                "vin=SAvto.AvtoVin dvig=SAvto.AvtoDvig prim=SAvto.AvtoPrim");
    CheckLimits(CServiceDlg(*ctx, ServiceCardSetup{}), "name=SService.Name package=SService.Name",
                "price nds summa job");
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
    CheckLimits(CNumberingDlg(*ctx), "ZakazPr=Number.ZakazPr", "ZakazNomer SalaryNomer PayNomer OutPayNomer");
    CheckLimits(COrderFormDlg(*ctx, OrderFormMode::New),
                "number=TZakaz.ZakazNomer plate=SAvto.AvtoNomer make=SAvto.AvtoMarka color=SAvto.AvtoColor "
                "vin=SAvto.AvtoVin engine=SAvto.AvtoDvig carNote=SAvto.AvtoPrim client=SClient.ClientName "
                "address=SClient.ClientAdres phone=SClient.ClientTel");
    PayRecord pay;
    CheckLimits(COrderPaymentDlg(*ctx, pay, COrderPaymentDlg::kEditTitle, true, Money()),
                "number=TPay.NomerPay doc=TPay.DocPay note=TPay.PrimPay", "amount");
}

// The input: a amount, - amount that may be negative, c counter, q quantity.
TEST(ScreenInputs, AmountsAndCountersTakeOnlyWhatTheyCanBe) {
    const struct {
        char input;
        const char *typed, *kept;
    } cases[] = {
        {'a', "1,2,3", "1,23"},  // one separator only
        {'a', "9,999", "9,99"},  // two decimals
        {'a', "-5", "5"},        // no minus where an amount cannot be negative
        {'-', "-5,5", "-5,5"},      {'a', "12345678901", "123456789"},    // nine digits of roubles at most
        {'c', "12abc-3.4", "1234"}, {'q', "1234567,12345", "12345,123"},  // up to 99 999 with three decimals
    };
    for (const auto &c : cases) {
        QLineEdit edit;
        if (c.input == 'c') Inputs::Counter(&edit);
        if (c.input == 'q') Inputs::Quantity(&edit);
        if (c.input == 'a' || c.input == '-') Inputs::Amount(&edit, c.input == '-');
        Type(&edit, QString::fromUtf8(c.typed));
        EXPECT_EQ(edit.text(), QString::fromUtf8(c.kept)) << c.typed;
    }
}

// A question whose "Да" removes something takes "Нет" for Enter and Esc; an ordinary one takes "Да".
TEST(ScreenInputs, AConfirmationDefaultsToNo) {
    const auto confirm =
        MessageBoxPrompter::MakeBox(MessageBoxPrompter::Kind::Confirm, QStringLiteral("Удалить?"));
    const auto question =
        MessageBoxPrompter::MakeBox(MessageBoxPrompter::Kind::Question, QStringLiteral("Выйти?"));
    EXPECT_EQ(confirm->standardButton(confirm->defaultButton()), QMessageBox::No);
    EXPECT_EQ(question->standardButton(question->defaultButton()), QMessageBox::Yes);
    const auto news =
        MessageBoxPrompter::MakeBox(MessageBoxPrompter::Kind::Information, QStringLiteral("Готово"));
    EXPECT_TRUE(news->icon() == QMessageBox::Information && news->windowTitle() == Captions::kInformation);
}

// The keyboard every window shares: a list taking the focus selects its first row, a date and time field is
// one Tab stop with its calendar on Alt+Down, and Enter presses the focused button, not the default one.
TEST(ScreenInputs, TheKeyboardReachesEveryControl) {
    QDialog d;
    int opened = 0, pressed = 0, defaults = 0;
    auto *list = new KeyedList({"Название"}, 0, ListCommands{{}, [&] { ++opened; }, {}}, &d);
    list->AddRow({"первая"}), list->AddRow({"вторая"});
    auto *at = new QDateTimeEdit(&d);
    at->setCalendarPopup(true), at->setDisplayFormat("dd.MM.yyyy HH:mm");
    auto *other = new QPushButton("Добавить", &d), *find = new QPushButton("Найти", &d);
    other->setAutoDefault(false), find->setDefault(true);
    QObject::connect(other, &QPushButton::clicked, [&] { ++pressed; });
    QObject::connect(find, &QPushButton::clicked, [&] { ++defaults; });
    auto *layout = new QVBoxLayout(&d);
    for (QWidget *w : {static_cast<QWidget *>(list), static_cast<QWidget *>(at),
                       static_cast<QWidget *>(other), static_cast<QWidget *>(find)})
        layout->addWidget(w);
    Keyboard key;
    Keyboard::Activate(d);
    ASSERT_EQ(QApplication::focusWidget(), list);
    EXPECT_EQ(list->Selected(), list->topLevelItem(0));
    key(Qt::Key_Return);
    key(Qt::Key_Tab);
    key(Qt::Key_Down, Qt::AltModifier);
    auto *calendar = at->findChild<QCalendarWidget *>();
    ASSERT_TRUE(calendar && calendar->isVisible());
    key(Qt::Key_Escape);
    EXPECT_FALSE(calendar->isVisible());
    key(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), other) << "one stop for the date and the time";
    key(Qt::Key_Return);
    EXPECT_EQ(std::tuple(opened, pressed, defaults), std::tuple(1, 1, 0));
}
