#include "model/Text.h"

#include <gtest/gtest.h>

using namespace vellum;

TEST(Text, ValReadsTheLeadingNumberLikeTheSettingsAndTemplateReadersNeed) {
    EXPECT_EQ(Val(" 4"), 4);
    EXPECT_EQ(Val("12abc"), 12);
    EXPECT_EQ(Val("-3.5"), -3.5);
    EXPECT_EQ(Val("x1"), 0);
    EXPECT_EQ(Val(""), 0);
    EXPECT_EQ(Val("1e3"), 1000);
    EXPECT_EQ(ValInt("2.5"), 3);
    EXPECT_EQ(ValInt("-2.5"), -3);
    EXPECT_EQ(ValInt("99999999999"), 2147483647);
    EXPECT_EQ(ValInt("1e999999999"), 2147483647);
}
