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

TEST(StatusTreeList, ColumnsSortByTheirValuesNotTheirText) {
    StatusTreeList list;
    list.SetColumns({"Клиент:", "Сумма:"});
    const struct {
        const char *name;
        double sum;
    } rows[] = {{"Б", 100.0}, {"В", 9.5}, {"А", 25.0}};
    for (const auto &r : rows) {
        QTreeWidgetItem *item = list.AddRow({QString::fromUtf8(r.name), QString::number(r.sum, 'f', 2)},
                                            QString::fromUtf8(r.name));
        StatusTreeList::SetSortValue(item, 1, r.sum);
    }
    list.sortByColumn(1, Qt::AscendingOrder);
    QStringList order;
    for (int i = 0; i < list.topLevelItemCount(); ++i) order << StatusTreeList::Key(list.topLevelItem(i));
    EXPECT_EQ(order, QStringList({"В", "А", "Б"}));  // 9.50, 25.00, 100.00 — not "100.00" first
}

TEST(StatusTreeList, RowsAddedInABatchArriveTogetherAsIfAddedOneByOne) {
    StatusTreeList list;
    list.SetColumns({"Клиент:", "Долг:"});
    list.AddRow({"Б"}, "b");
    const auto texts = [&list] {
        QStringList all;
        for (int i = 0; i < list.topLevelItemCount(); ++i) all << list.topLevelItem(i)->text(0);
        return all;
    };
    {
        const KeyedList::Batch batch(list);
        QTreeWidgetItem *v = list.AddRow({"В", "1.00"}, "v");
        list.AddRow({"машина"}, "v1", v);
        {
            const KeyedList::Batch inner(list);  // a batch inside a batch hands its rows to the outer one
            list.AddRow({"А"}, "a");
        }
        EXPECT_EQ(list.topLevelItemCount(), 1);  // nothing shows until the batch ends
    }
    EXPECT_EQ(texts(), (QStringList{"Б", "В", "А"}));
    EXPECT_TRUE(list.SelectKey("v1"));
    EXPECT_EQ(list.CurrentKey(true), "v");

    // A list the user has sorted puts a batch's rows in their places.
    list.SetSortable(true);
    list.sortByColumn(0, Qt::AscendingOrder);
    {
        const KeyedList::Batch batch(list);
        list.AddRow({"Я"}, "ya");
        list.AddRow({"Аб"}, "ab");
    }
    EXPECT_EQ(texts(), (QStringList{"А", "Аб", "Б", "В", "Я"}));
}
