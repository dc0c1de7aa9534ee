#include "model/KeyedCollection.h"

#include <gtest/gtest.h>

#include <string>

using vellum::KeyedCollection;

TEST(KeyedCollection, KeysIgnoreCaseKeepOrderAndCountFromOne) {
    KeyedCollection<int> c;
    ASSERT_NE(c.Add("NPC_1", 1), nullptr);
    ASSERT_NE(c.Add("Cell2", 2), nullptr);
    EXPECT_EQ(c.Add("npc_1", 9), nullptr) << "duplicate key ignoring case must be refused";
    EXPECT_EQ(c.Count(), 2u);
    EXPECT_EQ(c.Item("nPc_1"), 1);
    EXPECT_EQ(c.Item(2), 2);
    EXPECT_EQ(c.KeyAt(2), "Cell2") << "the key keeps the letter case it was added with";
    EXPECT_THROW(c.Item(3), std::out_of_range);
    EXPECT_THROW(c.Item(0), std::out_of_range);
    EXPECT_THROW(c.Item("missing"), std::out_of_range);
    EXPECT_EQ(c.Find("missing"), nullptr);
    KeyedCollection<int> copy = c;
    copy.Item("CELL2") = 5;
    EXPECT_EQ(c.Item("cell2"), 2) << "copies are deep";
}

// Removal keeps the order, positions and pointers of the rest, over a long churn too.
TEST(KeyedCollection, RemovalKeepsOrderPositionsPointersAndLookups) {
    KeyedCollection<std::string> c;
    for (int i = 0; i < 10; ++i) c.Add("k" + std::to_string(i), "v" + std::to_string(i));
    std::string* seven = c.Find("K7");
    EXPECT_TRUE(c.Remove("k2"));
    EXPECT_FALSE(c.Remove("k2"));
    EXPECT_TRUE(c.Remove(1)); // k0
    EXPECT_EQ(c.Item(2), "v3");
    EXPECT_EQ(c.PositionOf("k7"), 6u);
    EXPECT_EQ(seven, c.Find("k7")) << "entries must not move when others are removed";
    std::string joined;
    for (auto& e : c) joined += e.key;
    EXPECT_EQ(joined, "k1k3k4k5k6k7k8k9");
    EXPECT_NE(c.Add("k2", "again"), nullptr) << "a removed key can be added again";
    EXPECT_EQ(c.Item(c.Count()), "again");
    c.clear();
    EXPECT_EQ(c.begin(), c.end());

    KeyedCollection<int> many;
    const int n = 20000;
    for (int i = 0; i < n; ++i) many.Add("r" + std::to_string(i), i);
    for (int i = 0; i < n; i += 2) many.Remove("R" + std::to_string(i));
    ASSERT_EQ(many.Count(), static_cast<std::size_t>(n / 2));
    for (std::size_t p = 1; p <= many.Count(); p += 997) EXPECT_EQ(many.Item(p), static_cast<int>(2 * p - 1));
    many.clear();
    for (int i = 0; i < 100000; ++i) {
        ASSERT_NE(many.Add("key" + std::to_string(i), i), nullptr);
        if (i >= 5) {
            ASSERT_TRUE(many.Remove("KEY" + std::to_string(i - 5)));
        }
    }
    EXPECT_EQ(many.Item(1), 99995);
    EXPECT_FALSE(many.Exists("key99994"));
    EXPECT_EQ(many.Item("key99999"), 99999);
}
