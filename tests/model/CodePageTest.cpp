#include "model/CodePage.h"
#include "model/Text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cwctype>
#include <set>

namespace vellum {
namespace {

class CodePageRoundTrip : public ::testing::TestWithParam<int> {};

TEST_P(CodePageRoundTrip, EveryByteSurvives) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    const std::u16string text = DecodeCodePage(all, GetParam());
    ASSERT_EQ(text.size(), 256u);
    bool lossless = false;
    EXPECT_EQ(EncodeCodePage(text, GetParam(), &lossless), all);
    EXPECT_TRUE(lossless);
    // No two bytes share a character, or the way back would be ambiguous.
    EXPECT_EQ(std::u16string(text).size(), std::set<char16_t>(text.begin(), text.end()).size());
}

// The C library's Unicode case mapping is the oracle for every byte of the page.
TEST_P(CodePageRoundTrip, SmallLettersAsTheCLibraryKnowsThem) {
    const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
    if (!utf8) GTEST_SKIP() << "no C.UTF-8 locale";
    const auto small = SmallLetterBytes(GetParam());
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        const char16_t c = DecodeCodePage(byte, GetParam())[0];
        const auto lower = static_cast<char16_t>(towlower_l(c, utf8));
        bool exact = false;
        const std::string expected = EncodeCodePage(std::u16string(1, lower), GetParam(), &exact);
        EXPECT_EQ(small[b], exact ? static_cast<unsigned char>(expected[0]) : b) << GetParam() << " byte " << b;
    }
    freelocale(utf8);
}

INSTANTIATE_TEST_SUITE_P(AllPages, CodePageRoundTrip, ::testing::Values(1250, 1251, 1252));

// Characters as the code pages' published tables have them; a page we do not carry reads as
// the Western one; what a page cannot hold becomes a question mark.
TEST(CodePage, KnownCharactersUnsupportedPagesAndCharactersOutsideThePage) {
    const struct {
        int page;
        std::string bytes;
        std::u16string text;
    } cases[] = {
        {1252, "\x80", u"\u20AC"},      {1252, "\xE9", u"\u00E9"},
        {1251, "\xC0", u"\u0410"},      {1250, "\x8A", u"\u0160"},
        {1252, "\x81", u"\u0081"}, // an undefined byte kept as its C1 control
        {437, "\xE9", u"\u00E9"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DecodeCodePage(c.bytes, c.page), c.text) << c.page;
        EXPECT_EQ(EncodeCodePage(c.text, c.page), c.bytes) << c.page;
    }
    EXPECT_FALSE(IsSupportedCodePage(437));
    EXPECT_TRUE(IsSupportedCodePage(1250));
    bool lossless = true;
    EXPECT_EQ(EncodeCodePage(u"a\u0410b", 1252, &lossless), "a?b");
    EXPECT_FALSE(lossless);
    EXPECT_EQ(EncodeCodePage(u"x\U0001F600y", 1250, &lossless), "x?y"); // surrogate pair
    EXPECT_FALSE(lossless);
}

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

} // namespace
} // namespace vellum
