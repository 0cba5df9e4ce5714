#include "BayStore.h"
#include "TestDb.h"

using namespace Qt::StringLiterals;

class BayStoreTest : public DbTest {};
ZV_INSTANTIATE_DB_TESTS(BayStoreTest);

TEST_P(BayStoreTest, AddsUpdatesAndHidesBays) {
    BayStore store(db());
    const QString wash = store.Add(u"Мойка 2"_s, u"тёплая"_s, u"anna"_s);
    const QString box = store.Add(u"Бокс 1"_s, QString(), u"anna"_s);
    EXPECT_TRUE(wash.startsWith(u"anna~"_s));
    EXPECT_NE(wash, box);
    auto list = store.List();  // by name
    ASSERT_EQ(list.size(), 2);
    EXPECT_EQ(list[0].nameBox, u"Бокс 1"_s);
    EXPECT_EQ(list[1].primBox, u"тёплая"_s);

    EXPECT_TRUE(store.Update(wash, u"Мойка 3"_s, u""_s));
    EXPECT_EQ(store.Load(wash)->nameBox, u"Мойка 3"_s);
    EXPECT_EQ(store.Load(wash)->primBox, QString());
    EXPECT_EQ(store.Load(box)->nameBox, u"Бокс 1"_s);
    EXPECT_FALSE(store.Update(u"nobody"_s, u"x"_s, QString()));

    EXPECT_TRUE(store.Delete(box));
    list = store.List();
    ASSERT_EQ(list.size(), 1);
    EXPECT_EQ(list[0].iddBox, wash);
    EXPECT_TRUE(store.Load(box));  // marked deleted: the row stays
}
