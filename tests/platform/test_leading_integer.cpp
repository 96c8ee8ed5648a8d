// The integer at the start of a text, as the clock file and the language files' [font] numbers are read.
#include <gtest/gtest.h>

#include <climits>

#include "platform/leading_integer.h"

namespace dashcam {
namespace {

int Read(std::string_view text) {
    return LeadingInteger(text, [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); });
}

TEST(LeadingInteger, ReadsLikeAtoiAndClampsToTheRangeOfInt) {
    EXPECT_EQ(Read(" \t\r\n129abc"), 129);
    EXPECT_EQ(Read("-12:30"), -12);
    EXPECT_EQ(Read("+7"), 7);
    EXPECT_EQ(Read("x1"), 0);
    EXPECT_EQ(Read("-"), 0);
    EXPECT_EQ(Read("- 5"), 0);
    EXPECT_EQ(Read(""), 0);
    EXPECT_EQ(Read("2147483647"), INT_MAX);
    EXPECT_EQ(Read("2147483648"), INT_MAX);
    EXPECT_EQ(Read("-2147483648"), INT_MIN);
    EXPECT_EQ(Read("-99999999999999999999999999"), INT_MIN);
    EXPECT_EQ(Read("99999999999999999999999999"), INT_MAX);
    EXPECT_EQ(LeadingInteger(std::u16string_view(u"\u3000 42"), [](char16_t c) { return c == u' ' || c == 0x3000; }),
              42);
}

} // namespace
} // namespace dashcam
