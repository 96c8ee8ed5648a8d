// The twelve language files that the program carries, read through the process-wide table.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "i18n/embedded_languages.h"
#include "i18n/interface_keys.h"
#include "i18n/language_table.h"
#include "platform/text_codec.h"

namespace dashcam {
namespace {


std::u16string Name(std::string_view ascii) {
    return Widen(ascii);
}

class LanguageFiles : public ::testing::Test {
protected:
    void SetUp() override { ResetLanguageTable(); }
    void TearDown() override { ResetLanguageTable(); }
};

TEST_F(LanguageFiles, AllTwelveAreCarriedAsUtf16WithCrlfLineEnds) {
    for (std::string_view name : kLanguageNames) {
        SCOPED_TRACE(std::string(name));
        std::span<const unsigned char> bytes = EmbeddedLanguageResource(name);
        ASSERT_GE(bytes.size(), 4u);
        EXPECT_EQ(bytes[0], 0xFF);
        EXPECT_EQ(bytes[1], 0xFE);
        EXPECT_EQ(bytes.size() % 2, 0u);
        std::u16string text;
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2)
            text.push_back(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
        EXPECT_EQ(text.rfind(u"[font]\r\n", 0), 0u);
        EXPECT_NE(text.find(u"\r\n[text]\r\n"), std::u16string::npos);
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == u'\n') {
                ASSERT_TRUE(i > 0 && text[i - 1] == u'\r') << "bare line feed at " << i;
            }
        }
    }
    std::string upper = "CHINESETRADITIONAL";
    EXPECT_EQ(EmbeddedLanguageResource(upper).data(), EmbeddedLanguageResource("chinesetraditional").data());
    EXPECT_EQ(EmbeddedLanguageResource("klingon").data(), nullptr);
    EXPECT_EQ(EmbeddedLanguageResource("").data(), nullptr);
}

TEST_F(LanguageFiles, EnglishTextsAreExact) {
    ASSERT_TRUE(LoadLanguage(u"english"));
    EXPECT_EQ(LookupText(u"IDS_STRING101"), u"Dash Cam Settings");
    EXPECT_EQ(LookupText(u"ids_string101"), u"Dash Cam Settings");
    EXPECT_EQ(LookupText(u"IDS_STRING215"), u"Brightness");
    EXPECT_EQ(LookupText(u"IDS_STRING248"), u"depletion of the vehicle's battery. ");
    EXPECT_EQ(LookupText(u"IDS_STRING340"), u"Mobile Speed Trap Notification ");
    EXPECT_EQ(LookupText(u"IDS_STRING1630"), u"Click 'Yes' to proceed. Click 'No' to cancel.");
    EXPECT_EQ(
        LookupText(u"IDS_STRING181"),
        u"Unable to format the memory card. If a video file is played in a PC viewer or if the PC viewer is "
        u"loading GPS data,  close the PC viewer and try formatting again. Try formatting again after "
        u"closing "
        u"all disk utilities or other programs that may be using the memory card,   and ensure that the "
        u"memory card's content is not open in a Windows Explorer window.");
    // The file's own oddities.
    EXPECT_EQ(LookupText(u"IDS_STRING310"), u"Apply?");
    EXPECT_EQ(LookupText(u"IDS_STRING311"), u"Apply?");
    EXPECT_EQ(LookupText(u"IDS_STRING326"), u"");
    EXPECT_EQ(LookupText(u"IDS_STRING3140"), u"");
    EXPECT_EQ(LookupText(u"IDS_STRING3500"), u" ");
    EXPECT_EQ(LookupText(u"IDS_STRING999"), u"");
}

TEST_F(LanguageFiles, EveryLookedUpKeyHasATextInEveryLanguage) {
    for (std::string_view name : kLanguageNames) {
        SCOPED_TRACE(std::string(name));
        ResetLanguageTable();
        ASSERT_TRUE(LoadLanguage(Name(name)));
        const IniDocument& own = TheLanguageTable().primary();
        for (std::u16string_view key : InterfaceKeys()) {
            const std::u16string* value = own.FindValue(key);
            ASSERT_NE(value, nullptr) << Utf16ToUtf8(key) << " missing";
            EXPECT_FALSE(value->empty()) << Utf16ToUtf8(key) << " empty";
            EXPECT_NE(LookupText(key).find_first_not_of(u' '), std::u16string::npos) << Utf16ToUtf8(key);
        }
    }
}

// The %1, %2 … of a text, in order of their numbers.
std::set<char16_t> FillIns(const std::u16string& text) {
    std::set<char16_t> out;
    for (std::size_t i = 0; i + 1 < text.size(); ++i)
        if (text[i] == u'%' && text[i + 1] >= u'1' && text[i + 1] <= u'9')
            out.insert(text[i + 1]);
    return out;
}

TEST_F(LanguageFiles, EveryKeyTheProgramNamesIsInEveryLanguageWithItsFillIns) {
    // The keys as the program's sources name them, whatever list the build reads.
    std::set<std::u16string> keys;
    const std::regex pattern("IDS_STRING[0-9]+");
    for (const auto& entry : std::filesystem::recursive_directory_iterator(DASHCAM_SOURCE_DIR "/src")) {
        const std::string extension = entry.path().extension().string();
        if (extension != ".cpp" && extension != ".h")
            continue;
        std::ifstream in(entry.path());
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        for (auto it = std::sregex_iterator(text.begin(), text.end(), pattern); it != std::sregex_iterator(); ++it)
            keys.insert(Widen(it->str()));
    }
    ASSERT_GT(keys.size(), 80u);
    ASSERT_TRUE(LoadLanguage(u"english"));
    std::map<std::u16string, std::set<char16_t>> english;
    for (const std::u16string& key : keys)
        english[key] = FillIns(LookupText(key));
    EXPECT_EQ(english[u"IDS_STRING917"], (std::set<char16_t>{u'1', u'2'}));
    for (std::string_view name : kLanguageNames) {
        SCOPED_TRACE(std::string(name));
        ResetLanguageTable();
        ASSERT_TRUE(LoadLanguage(Name(name)));
        for (const std::u16string& key : keys) {
            const std::u16string* value = TheLanguageTable().primary().FindValue(key);
            ASSERT_NE(value, nullptr) << Utf16ToUtf8(key) << " missing";
            EXPECT_FALSE(value->empty()) << Utf16ToUtf8(key);
            EXPECT_EQ(FillIns(*value), english[key]) << Utf16ToUtf8(key);
        }
    }
}

TEST_F(LanguageFiles, TranslationsAreNotEnglishCopies) {
    ASSERT_TRUE(LoadLanguage(u"english"));
    std::vector<std::u16string> english;
    for (std::u16string_view key : InterfaceKeys())
        english.push_back(LookupText(key));
    for (std::string_view name : kLanguageNames) {
        if (name == "english")
            continue;
        SCOPED_TRACE(std::string(name));
        ResetLanguageTable();
        ASSERT_TRUE(LoadLanguage(Name(name)));
        std::size_t same = 0;
        for (std::size_t i = 0; i < InterfaceKeys().size(); ++i)
            if (LookupText(InterfaceKeys()[i]) == english[i])
                ++same;
        // Only unit symbols and words that the language shares with English ("Volume", "km/h") may match.
        EXPECT_LE(same, 6u);
        // Two-line messages keep two separate lines.
        EXPECT_NE(LookupText(u"IDS_STRING163"), LookupText(u"IDS_STRING1630"));
        EXPECT_EQ(LookupText(u"IDS_STRING163").find(u'\n'), std::u16string::npos);
    }
}

TEST_F(LanguageFiles, FontsOfEachLanguage) {
    struct Font {
        std::string_view language;
        std::u16string_view face;
        int charset;
    };
    const Font fonts[] = {{"english", u"Tahoma", 1},
                          {"french", u"Tahoma", 1},
                          {"japanese", u"Tahoma", 1},
                          {"russian", u"Tahoma", 1},
                          {"korean", u"dotum", 129},
                          {"thai", u"dotum", 129},
                          {"chinesesimplified", u"simsun", 134},
                          {"chinesetraditional", u"simsun", 134}};
    for (const Font& f : fonts) {
        SCOPED_TRACE(std::string(f.language));
        ResetLanguageTable();
        ASSERT_TRUE(LoadLanguage(Name(f.language)));
        EXPECT_EQ(GetUiFontFaceName(), f.face);
        EXPECT_EQ(GetUiFontNumber(u"DEFAULT_UI_CHARSET"), f.charset);
        EXPECT_NE(TheLanguageTable().primary().FindValue(u"DEFAULT_UI_CODEPAGE", u"font"), nullptr);
    }
}

TEST_F(LanguageFiles, ThaiAndKoreanOddities) {
    ASSERT_TRUE(LoadLanguage(u"thai"));
    // The Thai IDS_STRING310 reads as empty, so English shows.
    const std::u16string* thai310 = TheLanguageTable().primary().FindValue(u"IDS_STRING310");
    ASSERT_NE(thai310, nullptr);
    EXPECT_TRUE(thai310->empty());
    EXPECT_EQ(LookupText(u"IDS_STRING310"), u"Apply?");
    // No text a user reads carries a stray backslash.
    EXPECT_EQ(LookupText(u"IDS_STRING181").find(u'\\'), std::u16string::npos);
    EXPECT_EQ(LookupText(u"IDS_STRING3140"), u"");

    ResetLanguageTable();
    ASSERT_TRUE(LoadLanguage(u"KOREAN"));
    EXPECT_EQ(LookupText(u"IDS_STRING328"), u"\uC801\uC6A9"); // the stray second quote is not part of it
    EXPECT_EQ(LookupText(u"IDS_STRING101"), u"\uBE14\uB799\uBC15\uC2A4 \uC124\uC815");
}

TEST_F(LanguageFiles, UnknownLanguageShowsErrorLoadingEverywhere) {
    EXPECT_FALSE(LoadLanguage(u"klingon"));
    EXPECT_EQ(LookupText(u"IDS_STRING101"), u"Error Loading");
    EXPECT_EQ(GetUiFontFaceName(), u"Error Loading");
}

} // namespace
} // namespace dashcam
