// Loading, fallback and lookup rules of the language table, on small files of the tests' own.
#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <string>
#include <vector>

#include "i18n/language_table.h"

namespace dashcam {
namespace {

std::vector<unsigned char> Utf16File(std::u16string_view text) {
    std::vector<unsigned char> bytes = {0xFF, 0xFE};
    for (char16_t c : text) {
        bytes.push_back(static_cast<unsigned char>(c & 0xFF));
        bytes.push_back(static_cast<unsigned char>(c >> 8));
    }
    return bytes;
}

// The files that the fake finder knows, by lower-case name.
std::map<std::string, std::vector<unsigned char>>& FakeFiles() {
    static std::map<std::string, std::vector<unsigned char>> files;
    return files;
}

std::span<const unsigned char> FakeFinder(std::string_view name) {
    std::string lower;
    for (char c : name)
        lower.push_back(static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c));
    auto found = FakeFiles().find(lower);
    if (found == FakeFiles().end())
        return {};
    static const unsigned char empty = 0;
    if (found->second.empty())
        return {&empty, 0}; // present but zero bytes long
    return {found->second.data(), found->second.size()};
}

class LanguageTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        FakeFiles().clear();
        FakeFiles()["english"] = Utf16File(u"[font]\nDEFAULT_UI_FACENAME=\"Tahoma\"\nDEFAULT_UI_CHARSET=1\n"
                                           u"[text]\nA=\"English A\"\nB=\"English B\"\nE=\"\"\n"
                                           u"ESC=\"one\\ntwo\\rthree\\\\n\\t\\ x\\\"\nONLY=\"only english\"\n");
        FakeFiles()["french"] = Utf16File(u"[font]\nDEFAULT_UI_CHARSET=\"  +129 pixels\"\n"
                                          u"[text]\nA=\"Français A\"\nB=\"\"\nX=\"only french\"\n");
    }
    LanguageTable table{&FakeFinder};
};

TEST_F(LanguageTableTest, UnloadedTableAnswersErrorLoading) {
    EXPECT_FALSE(table.loaded());
    EXPECT_EQ(table.LookupText(u"A"), u"Error Loading");
    EXPECT_EQ(table.GetUiFontFaceName(), u"Error Loading");
    EXPECT_EQ(table.GetUiFontNumber(u"DEFAULT_UI_CHARSET"), 0);
}

TEST_F(LanguageTableTest, ChosenLanguageFirstThenEnglishForMissingOrEmpty) {
    ASSERT_TRUE(table.LoadLanguage(u"FRENCH"));
    EXPECT_EQ(table.LookupText(u"A"), u"Français A");
    EXPECT_EQ(table.LookupText(u"a"), u"Français A");
    EXPECT_EQ(table.LookupText(u"B"), u"English B");       // empty in French
    EXPECT_EQ(table.LookupText(u"ONLY"), u"only english"); // missing in French
    EXPECT_EQ(table.LookupText(u"X"), u"only french");
    EXPECT_EQ(table.LookupText(u"E"), u""); // empty in English as well
    EXPECT_EQ(table.LookupText(u"NOWHERE"), u"");
}

TEST_F(LanguageTableTest, OnlyBackslashNAndBackslashRBecomeLineBreaks) {
    ASSERT_TRUE(table.LoadLanguage(u"english"));
    // one\ntwo\rthree\\n\t\ x\  ->  the \\n pair is a backslash followed by \n; backslash + space stays
    EXPECT_EQ(table.LookupText(u"ESC"), u"one\ntwo\rthree\\\n\\t\\ x\\");
}

TEST_F(LanguageTableTest, FontSectionAndNumbers) {
    ASSERT_TRUE(table.LoadLanguage(u"french"));
    EXPECT_EQ(table.GetUiFontNumber(u"DEFAULT_UI_CHARSET"),
              129);                                           // blanks, sign, digits, then the rest ignored
    EXPECT_EQ(table.GetUiFontFaceName(), u"Tahoma");          // French lacks it: English answers
    EXPECT_EQ(table.LookupText(u"A", u"font"), u"");          // no A in either font section
    EXPECT_EQ(table.LookupText(u"DEFAULT_UI_FACENAME"), u""); // not in the text section
}

TEST_F(LanguageTableTest, FontNumbersWithoutDigitsOrOutOfRange) {
    FakeFiles()["odd"] = Utf16File(u"[font]\nN1=\"-42x\"\nN2=\"x42\"\nN3=\"99999999999999999999\"\n"
                                   u"N4=\"-99999999999999999999\"\nN5=\"-\"\nN6=\"\u3000 7\"\n");
    ASSERT_TRUE(table.LoadLanguage(u"odd"));
    EXPECT_EQ(table.GetUiFontNumber(u"N1"), -42);
    EXPECT_EQ(table.GetUiFontNumber(u"N2"), 0);
    EXPECT_EQ(table.GetUiFontNumber(u"N3"), INT_MAX);
    EXPECT_EQ(table.GetUiFontNumber(u"N4"), INT_MIN);
    EXPECT_EQ(table.GetUiFontNumber(u"N5"), 0);
    EXPECT_EQ(table.GetUiFontNumber(u"N6"), 7);
    EXPECT_EQ(table.GetUiFontNumber(u"missing"), 0);
}

TEST_F(LanguageTableTest, MissingLanguageOrEnglishLeavesTheTableUnloaded) {
    EXPECT_FALSE(table.LoadLanguage(u"klingon"));
    EXPECT_EQ(table.LookupText(u"A"), u"Error Loading");
    EXPECT_FALSE(table.fallback().defaultSection()); // English was not even read

    LanguageTable noEnglish{&FakeFinder};
    FakeFiles().erase("english");
    EXPECT_FALSE(noEnglish.LoadLanguage(u"french"));
    EXPECT_EQ(noEnglish.LookupText(u"A"), u"Error Loading");
}

TEST_F(LanguageTableTest, AFailedLoadAfterAGoodOneUnloads) {
    ASSERT_TRUE(table.LoadLanguage(u"french"));
    EXPECT_FALSE(table.LoadLanguage(u"klingon"));
    EXPECT_EQ(table.LookupText(u"A"), u"Error Loading");
}

TEST_F(LanguageTableTest, AnUnreadableDocumentFallsBackToTheOther) {
    FakeFiles()["tiny"] = {0x41};
    FakeFiles()["zero"] = {};
    ASSERT_TRUE(table.LoadLanguage(u"tiny"));
    EXPECT_EQ(table.LookupText(u"A"), u"English A");
    LanguageTable zero{&FakeFinder};
    ASSERT_TRUE(
        zero.LoadLanguage(u"zero")); // a zero-length file exists: it is read (and refused), not missing
    EXPECT_EQ(zero.LookupText(u"A"), u"English A");

    // English unreadable, French fine: French answers alone.
    FakeFiles()["english"] = {0x00};
    LanguageTable frenchOnly{&FakeFinder};
    ASSERT_TRUE(frenchOnly.LoadLanguage(u"french"));
    EXPECT_EQ(frenchOnly.LookupText(u"A"), u"Français A");
    EXPECT_EQ(frenchOnly.LookupText(u"B"), u"");

    // Neither readable.
    LanguageTable neither{&FakeFinder};
    EXPECT_FALSE(neither.LoadLanguage(u"tiny"));
    EXPECT_EQ(neither.LookupText(u"A"), u"Error Loading");
}

TEST_F(LanguageTableTest, EmptyNameLoadsEnglishAlone) {
    ASSERT_TRUE(table.LoadLanguage(u""));
    EXPECT_EQ(table.LookupText(u"A"), u"English A");
    EXPECT_EQ(table.LookupText(u"X"), u"");
}

TEST_F(LanguageTableTest, NamesOutsideAsciiFindNoFile) {
    EXPECT_FALSE(table.LoadLanguage(u"fr\u00E9nch"));
    EXPECT_FALSE(table.LoadLanguage(std::u16string(u"french\0x", 8)));
}

TEST_F(LanguageTableTest, PrimaryFromBytesKeepsEnglishBehindIt) {
    std::vector<unsigned char> draft = Utf16File(u"[text]\nA=\"Entwurf\"\n");
    ASSERT_TRUE(table.LoadLanguageFromBytes(draft));
    EXPECT_EQ(table.LookupText(u"A"), u"Entwurf");
    EXPECT_EQ(table.LookupText(u"B"), u"English B");
}

TEST_F(LanguageTableTest, ResetEmptiesTheTable) {
    ASSERT_TRUE(table.LoadLanguage(u"french"));
    table.Reset();
    EXPECT_EQ(table.LookupText(u"A"), u"Error Loading");
    ASSERT_TRUE(table.LoadLanguage(u"english"));
    EXPECT_EQ(table.LookupText(u"X"), u""); // nothing of French is left
}

} // namespace
} // namespace dashcam
