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

// The input: a amount, - amount that may be negative, c counter, q quantity.
TEST(ScreenBasics, AmountsAndCountersTakeOnlyWhatTheyCanBe) {
    const struct {
        char input;
        const char *typed, *kept;
    } cases[] = {
        {'a', "1 234,50", "1 234,50"},
        {'a', "1500.5", "1500.5"},
        {'a', "12abc", "12"},
        {'a', "1,2,3", "1,23"},  // one separator only
        {'a', "9,999", "9,99"},  // two decimals
        {'a', "-5", "5"},        // no minus where an amount cannot be negative
        {'-', "-5,5", "-5,5"},
        {'-', "5-", "5"},
        {'a', "999 999 999,99", "999 999 999,99"},  // the most an amount can be
        {'a', "12345678901", "123456789"},          // nine digits of roubles at most
        {'-', "-1234567890,5", "-123456789,5"},
        {'a', "2\u00A0000", "2\u00A0000"},
        {'c', "12abc-3.4", "1234"},
        {'q', "1234567,12345", "12345,123"},  // up to 99 999 with three decimals
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
