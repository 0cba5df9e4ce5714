// The pieces every screen is built from: Russian message boxes, typed amounts and counters, the list.
#include "Inputs.h"
#include "KeyedList.h"
#include "MessageBoxPrompter.h"
#include "Widgets.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>

TEST(ScreenBasics, QuestionsAnswerInRussian) {
    const auto box = MessageBoxPrompter::MakeBox(MessageBoxPrompter::Kind::Question, "Удалить?");
    EXPECT_EQ(box->windowTitle(), "Вопрос?");
    EXPECT_EQ(box->button(QMessageBox::Yes)->text().remove(u'&'), "Да");
    EXPECT_EQ(box->button(QMessageBox::No)->text().remove(u'&'), "Нет");
    EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::Yes));
    const auto warning = MessageBoxPrompter::MakeBox(MessageBoxPrompter::Kind::Warning, "!");
    EXPECT_EQ(warning->windowTitle(), "Внимание!");
    EXPECT_EQ(warning->icon(), QMessageBox::Warning);
    EXPECT_EQ(MessageBoxPrompter::MakeBox(MessageBoxPrompter::Kind::Error, {})->windowTitle(), "Ошибка!");
    // The edit menus of text fields come from the same translation.
    const QString undo = QCoreApplication::translate("QLineEdit", "&Undo");
    EXPECT_TRUE(undo.contains(QRegularExpression("^&?[А-Яа-я]"))) << undo.toStdString();
}

TEST(ScreenBasics, AmountsAndCountersTakeOnlyWhatTheyCanBe) {
    const struct {
        const char *typed;
        bool negative;
        const char *kept;
    } cases[] = {
        {"1 234,50", false, "1 234,50"},
        {"1500.5", false, "1500.5"},
        {"12abc", false, "12"},
        {"1,2,3", false, "1,23"},  // one separator only
        {"9,999", false, "9,99"},  // two decimals
        {"-5", false, "5"},        // no minus where an amount cannot be negative
        {"-5,5", true, "-5,5"},
        {"5-", true, "5"},
        {"999 999 999,99", false, "999 999 999,99"},  // the most an amount can be
        {"12345678901", false, "123456789"},          // nine digits of roubles at most
        {"-1234567890,5", true, "-123456789,5"},
    };
    for (const auto &c : cases) {
        QLineEdit edit;
        Inputs::Amount(&edit, c.negative);
        Type(&edit, QString::fromUtf8(c.typed));
        EXPECT_EQ(edit.text(), QString::fromUtf8(c.kept)) << c.typed;
    }
    QLineEdit nbsp;
    Inputs::Amount(&nbsp);
    Type(&nbsp, "2\u00A0000");
    EXPECT_EQ(nbsp.text(), "2\u00A0000");

    QLineEdit counter;
    Inputs::Counter(&counter);
    Type(&counter, "12abc-3.4");
    EXPECT_EQ(counter.text(), "1234");

    QLineEdit quantity;
    Inputs::Quantity(&quantity);
    Type(&quantity, "1234567,12345");
    EXPECT_EQ(quantity.text(), "12345,123");  // up to 99 999 with three decimals
}

TEST(ScreenBasics, NameColumnTakesTheSpareWidth) {
    int added = 0;
    KeyedList list({"Название", "Длительность"}, 0, {[&added] { ++added; }, {}, {}});
    list.SetWidths({100, 90});
    list.AddRow({"Мойка", "00:30"}, "k1");
    list.resize(400, 200);
    list.show();
    const int last = list.columnWidth(1);
    list.resize(800, 200);
    EXPECT_EQ(list.columnWidth(1), last);
    EXPECT_GT(list.columnWidth(0), 400);
    EXPECT_EQ(list.columnWidth(0) + list.columnWidth(1), list.viewport()->width());

    // Commands left empty leave their keys alone and their menu entries out.
    list.SelectKey("k1");
    Press(&list, Qt::Key_Insert);
    Press(&list, Qt::Key_Delete);
    Press(&list, Qt::Key_Return);
    EXPECT_EQ(added, 1);
    EXPECT_EQ(list.ContextMenu()->actions().size(), 1);
    EXPECT_EQ(list.CurrentKey(), "k1");
}
