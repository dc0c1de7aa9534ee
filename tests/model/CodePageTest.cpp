#include "model/CodePage.h"

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

TEST(CodePage, KnownCharacters) {
    EXPECT_EQ(DecodeCodePage("\x80", 1252), u"\u20AC");
    EXPECT_EQ(DecodeCodePage("\xE9", 1252), u"\u00E9");
    EXPECT_EQ(DecodeCodePage("\xC0", 1251), u"\u0410"); // Cyrillic A
    EXPECT_EQ(DecodeCodePage("\x8A", 1250), u"\u0160"); // S caron
    EXPECT_EQ(DecodeCodePage("\x81", 1252), u"\u0081"); // undefined byte kept as its C1 control
    EXPECT_EQ(EncodeCodePage(u"\u0410", 1251), "\xC0");
}

TEST(CodePage, UnsupportedPageReadsAsWestern) {
    EXPECT_FALSE(IsSupportedCodePage(437));
    EXPECT_TRUE(IsSupportedCodePage(1250));
    EXPECT_EQ(DecodeCodePage("\xE9", 437), u"\u00E9");
}

TEST(CodePage, CharactersOutsideThePageBecomeQuestionMarks) {
    bool lossless = true;
    EXPECT_EQ(EncodeCodePage(u"a\u0410b", 1252, &lossless), "a?b");
    EXPECT_FALSE(lossless);
    EXPECT_EQ(EncodeCodePage(u"x\U0001F600y", 1250, &lossless), "x?y"); // surrogate pair
    EXPECT_FALSE(lossless);
}

} // namespace
} // namespace vellum
