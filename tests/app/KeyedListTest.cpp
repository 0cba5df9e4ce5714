#include "KeyedList.h"

#include <gtest/gtest.h>

// A batch's rows, its children and a nested batch's rows arrive together; a sorted list puts them in place,
// sorting amounts by value.
TEST(KeyedList, BatchRowsArriveTogetherAndSortByValue) {
    KeyedList list;
    list.SetColumns({"Клиент:", "Сумма:"});
    QTreeWidgetItem *owes = list.AddRow({"Б", "100.00"}, "Б");
    list.AddRow({"Шиномонтаж"}, "s1", owes);
    KeyedList::SetSortValue(owes, 1, 100);

    const auto add = [&list](const QString &name, double sum) {
        QTreeWidgetItem *item = list.AddRow({name, QString::number(sum, 'f', 2)}, name);
        KeyedList::SetSortValue(item, 1, sum);
        return item;
    };
    const auto keys = [&list] {
        QStringList all;
        for (int i = 0; i < list.topLevelItemCount(); ++i) all << KeyedList::Key(list.topLevelItem(i));
        return all.join(u' ');
    };
    {
        const KeyedList::Batch batch(list);
        list.AddRow({"машина"}, "v1", add("В", 9.5));
        {
            const KeyedList::Batch inner(list);
            add("А", 25);
        }
        EXPECT_EQ(list.topLevelItemCount(), 1);  // nothing shows until the batch ends
    }
    EXPECT_EQ(keys(), "Б В А");
    EXPECT_TRUE(list.SelectKey("v1"));
    EXPECT_EQ(list.CurrentKey() + ' ' + list.CurrentKey(true), "v1 В");
    EXPECT_FALSE(list.SelectKey("missing"));
    list.SetSortable(true);
    list.sortByColumn(1, Qt::AscendingOrder);
    EXPECT_EQ(keys(), "В А Б");  // 9.50, 25.00, 100.00 — not "100.00" first
    list.sortByColumn(0, Qt::AscendingOrder);
    {
        const KeyedList::Batch batch(list);
        add("Я", 1);
        add("Аб", 2);
    }
    EXPECT_EQ(keys(), "А Аб Б В Я");
}
