// The start-up choice of the interface language, with a PC viewer that the test controls.
#include <gtest/gtest.h>

#include <string>

#include "i18n/interface_language.h"
#include "i18n/language_table.h"
#include "platform/viewer_link.h"

namespace dashcam {
namespace {

class FakeViewer final : public ViewerLink {
public:
    bool running = false;
    std::optional<std::u16string> value;
    std::u16string askedTitle;
    bool IsWindowPresent(std::u16string_view title) override {
        askedTitle = title;
        return running && title == u"KESTRAVON DASHCAM PC VIEWER";
    }
    std::optional<std::u16string> ReadLanguageValue() override { return value; }
    bool PostToWindow(std::u16string_view, std::uint32_t) override { return false; }
    bool WaitForEvent(std::u16string_view, std::uint32_t) override { return false; }
};

class InterfaceLanguage : public ::testing::Test {
protected:
    void SetUp() override {
        SetViewer(&viewer);
        ResetViewerLanguage();
        ResetLanguageTable();
        record.SetU32(428, 0);
    }
    void TearDown() override {
        SetViewer(nullptr);
        ResetViewerLanguage();
        ResetLanguageTable();
    }
    int ViewerChoice(std::optional<std::u16string> value) {
        viewer.running = true;
        viewer.value = std::move(value);
        ReadViewerLanguage();
        return ChooseInterfaceLanguageIndex(card, &record);
    }
    int CameraChoice(std::vector<std::u16string> codes, std::uint32_t deviceLanguage) {
        viewer.running = false;
        card.languageCodes = std::move(codes);
        record.SetU32(428, deviceLanguage);
        return ChooseInterfaceLanguageIndex(card, &record);
    }

    FakeViewer viewer;
    CardVersionInfo card;
    SettingsRecord record;
};

TEST_F(InterfaceLanguage, RunningViewerDecidesCaseIgnored) {
    card.languageCodes = {u"ko"}; // the camera would say Korean
    EXPECT_EQ(ViewerChoice(u"FRENCH"), 2);
    EXPECT_EQ(viewer.askedTitle, u"KESTRAVON DASHCAM PC VIEWER");
    EXPECT_EQ(ViewerChoice(u"German"), 10);
    EXPECT_EQ(ViewerChoice(u"chinesetraditional"), 8);
    EXPECT_EQ(ViewerChoice(u"ChineseSimplified"), 7);
    EXPECT_EQ(ViewerChoice(u"portuguese"), 13);
    EXPECT_EQ(ViewerChoice(u"russian"), 4);
}

TEST_F(InterfaceLanguage, ViewerNamesThatGiveEnglish) {
    card.languageCodes = {u"ko"};
    EXPECT_EQ(ViewerChoice(u"thai"), 0); // the viewer has no Thai
    EXPECT_EQ(ViewerChoice(u""), 0);
    EXPECT_EQ(ViewerChoice(std::nullopt), 0);
    EXPECT_EQ(ViewerChoice(u"french "), 0);
    EXPECT_EQ(ViewerChoice(u"klingon"), 0);
}

TEST_F(InterfaceLanguage, ViewerValueLengthLimit) {
    std::u16string padded = u"french" + std::u16string(123, u'\0');
    ASSERT_EQ(padded.size(), 129u);
    EXPECT_EQ(ViewerChoice(padded), 2); // fits the buffer; the name ends at its terminator
    ASSERT_TRUE(ViewerLanguageName().has_value());
    EXPECT_EQ(*ViewerLanguageName(), u"french");
    EXPECT_EQ(ViewerChoice(padded + u'x'), 0); // 130 characters: too long for the buffer
    EXPECT_FALSE(ViewerLanguageName().has_value());
    EXPECT_EQ(ViewerChoice(u"korean" + std::u16string(1, u'\0')), 5); // stored with its terminator
}

TEST_F(InterfaceLanguage, WithoutViewerTheCameraCodeDecides) {
    EXPECT_EQ(CameraChoice({u"en", u"fr", u"ko"}, 2), 5);
    EXPECT_EQ(CameraChoice({u"en", u"fr", u"ko"}, 1), 2);
    EXPECT_EQ(CameraChoice({u"zh-Hant-TW"}, 0), 8);
    EXPECT_EQ(CameraChoice({u"zh-Hant-HK"}, 0), 8);
    EXPECT_EQ(CameraChoice({u"zh-Hans"}, 0), 7);
    EXPECT_EQ(CameraChoice({u"fr-CA"}, 0), 2);
    EXPECT_EQ(CameraChoice({u"th"}, 0), 14);
    EXPECT_EQ(CameraChoice({u"en-GB"}, 0), 0);
    EXPECT_EQ(CameraChoice({u"ja", u"pt", u"it", u"es", u"de", u"ru"}, 4), 10);
}

TEST_F(InterfaceLanguage, CameraCodesThatGiveEnglish) {
    EXPECT_EQ(CameraChoice({u"en", u"FR"}, 1), 0); // codes keep their case
    EXPECT_EQ(CameraChoice({u"zh-hant-tw"}, 0), 0);
    EXPECT_EQ(CameraChoice({}, 0), 0);
    EXPECT_EQ(CameraChoice({u"fr", u"ko"}, 2), 0);           // beyond the list
    EXPECT_EQ(CameraChoice({u"fr", u"ko"}, 0xFFFFFFFFu), 0); // -1 as stored
    EXPECT_EQ(CameraChoice({u"nl"}, 0), 0);
    card.languageCodes = {u"fr"};
    EXPECT_EQ(ChooseInterfaceLanguageIndex(card, nullptr), 0);
}

TEST_F(InterfaceLanguage, ViewerNameIsReadOnceAndKept) {
    viewer.value = u"german";
    ReadViewerLanguage();
    viewer.value = u"french"; // changes later are not seen
    viewer.running = true;
    EXPECT_EQ(ChooseInterfaceLanguageIndex(card, &record), 10);
}

TEST_F(InterfaceLanguage, IndexTableIncludingTheAliases) {
    const std::pair<int, std::u16string_view> expected[] = {{0, u"english"},
                                                            {1, u"english"},
                                                            {2, u"french"},
                                                            {3, u"french"},
                                                            {4, u"russian"},
                                                            {5, u"korean"},
                                                            {6, u"spanish"},
                                                            {7, u"chinesesimplified"},
                                                            {8, u"chinesetraditional"},
                                                            {9, u"chinesetraditional"},
                                                            {10, u"german"},
                                                            {11, u"italian"},
                                                            {12, u"japanese"},
                                                            {13, u"portuguese"},
                                                            {14, u"thai"},
                                                            {15, u"english"},
                                                            {-1, u"english"},
                                                            {1000, u"english"}};
    for (const auto& [index, name] : expected)
        EXPECT_EQ(InterfaceLanguageName(index), name) << index;
}

TEST_F(InterfaceLanguage, ChoiceLoadsTheLanguageTable) {
    card.languageCodes = {u"en", u"de"};
    record.SetU32(428, 1);
    ChooseInterfaceLanguage(card, &record);
    EXPECT_EQ(LookupText(u"IDS_STRING108"), u"Speichern");

    ResetLanguageTable();
    SetInterfaceLanguage(9);
    EXPECT_EQ(LookupText(u"IDS_STRING108"), u"\u5132\u5B58");

    ResetLanguageTable();
    viewer.running = true;
    viewer.value = u"JAPANESE";
    ReadViewerLanguage();
    ChooseInterfaceLanguage(card, &record);
    EXPECT_EQ(LookupText(u"IDS_STRING107"), u"\u30AD\u30E3\u30F3\u30BB\u30EB");
}

} // namespace
} // namespace dashcam
