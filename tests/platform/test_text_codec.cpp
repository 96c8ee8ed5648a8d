// The one codec between the program's UTF-16 and the record's 8-bit texts and UTF-8.
#include <gtest/gtest.h>

#include "platform/text_codec.h"

namespace dashcam {
namespace {

TEST(TextCodec, EveryAnsiByteConvertsAndComesBack) {
    std::string all;
    for (int b = 1; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    const std::optional<std::u16string> wide = AnsiToWide(all);
    ASSERT_TRUE(wide.has_value());
    ASSERT_EQ(wide->size(), all.size());
    EXPECT_EQ(WideToAnsi(*wide), all);
    // A byte the code page leaves undefined does not spoil the text around it.
    EXPECT_EQ(AnsiToWide("\x80\x81" "A"), std::u16string(u"\u20AC\u0081A"));
    EXPECT_EQ(WideToAnsi(u"\u4E2D"), "?");
}

TEST(TextCodec, PathsComeBackAsTheyWereSpelled) {
    const std::u16string path = u"card \u00E9/\U0001F600 setup.cfg";
    EXPECT_EQ(FromFsPath(ToFsPath(path)), path);
    EXPECT_EQ(FromFsPath(ToFsPath(path).filename()), u"\U0001F600 setup.cfg");
}

TEST(TextCodec, Utf8RoundTripAndBrokenSequences) {
    const std::u16string text = u"caf\u00E9 \u20AC \U0001F600";
    EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(text)), text);
    EXPECT_EQ(Utf8ToUtf16("a\xE2\x82"), u"a\uFFFD\uFFFD");
    // Overlong forms and encoded surrogates never decode to the character they spell.
    EXPECT_EQ(Utf8ToUtf16(std::string("AB\xC0\x80" "CD")), u"AB\uFFFD\uFFFDCD");
    EXPECT_EQ(Utf8ToUtf16("\xE0\x80\xAF"), u"\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(Utf8ToUtf16("\xF4\x8F\xBF\xBF"), u"\U0010FFFF");
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, u'\xD800')), "\xEF\xBF\xBD"); // a lone surrogate
}

} // namespace
} // namespace dashcam
