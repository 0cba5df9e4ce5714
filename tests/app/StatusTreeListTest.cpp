#include "StatusTreeList.h"

#include <gtest/gtest.h>

TEST(StatusTreeList, RowsAreColouredByStatusAndTintedWhileInDebt) {
    StatusTreeList list;
    list.SetColumns({"Клиент:", "№:", "Долг:"});
    QTreeWidgetItem *paid = list.AddRow({"Петров", "1", "0.00"}, "z1");
    QTreeWidgetItem *owes = list.AddRow({"Сидоров", "2", "0.01"}, "z2");
    QTreeWidgetItem *line = list.AddRow({"Шиномонтаж"}, "s1", owes);

    StatusTreeList::Paint(paid, 2, Money());
    StatusTreeList::Paint(owes, 1, Money::Kopecks(1));
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(paid->foreground(c).color(), StatusTreeList::StatusColor(2));
        EXPECT_FALSE(paid->data(c, Qt::BackgroundRole).isValid());
        EXPECT_EQ(owes->foreground(c).color(), StatusTreeList::StatusColor(1));
        EXPECT_TRUE(owes->data(c, Qt::BackgroundRole).isValid());
    }
    StatusTreeList::Paint(owes, 2, Money());  // repainted after payment: the tint goes
    EXPECT_FALSE(owes->data(0, Qt::BackgroundRole).isValid());
    EXPECT_FALSE(line->data(0, Qt::ForegroundRole).isValid());  // children keep their own colours

    // Keys: the row's own, or its order's.
    EXPECT_TRUE(list.SelectKey("s1"));
    EXPECT_EQ(list.CurrentKey(), "s1");
    EXPECT_EQ(list.CurrentKey(true), "z2");
    EXPECT_FALSE(list.SelectKey("missing"));
}

// A batch's rows, its children and a nested batch's rows arrive together; a sorted list puts them in place,
// sorting amounts by value.
TEST(StatusTreeList, BatchRowsArriveTogetherAndSortByValue) {
    StatusTreeList list;
    list.SetColumns({"Клиент:", "Сумма:"});
    const auto add = [&list](const QString &name, double sum) {
        QTreeWidgetItem *item = list.AddRow({name, QString::number(sum, 'f', 2)}, name);
        StatusTreeList::SetSortValue(item, 1, sum);
        return item;
    };
    const auto keys = [&list] {
        QStringList all;
        for (int i = 0; i < list.topLevelItemCount(); ++i) all << StatusTreeList::Key(list.topLevelItem(i));
        return all.join(u' ');
    };
    add("Б", 100);
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
    EXPECT_EQ(list.CurrentKey(true), "В");
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
