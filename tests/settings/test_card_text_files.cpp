// The clock request time.dat and the firmware description lang/ver.dat.
#include <gtest/gtest.h>

#include <filesystem>

#include "settings/card.h"
#include "settings/card_files.h"
#include "settings/card_version_info.h"
#include "support/fake_host.h"
#include "support/temp_dir.h"

namespace dashcam {
namespace {
using test::ReadText;
using test::TempDir;
using test::WriteText;

std::u16string U16(const std::filesystem::path& p) {
    std::string s = p.string();
    return std::u16string(s.begin(), s.end());
}

class ClockFile : public ::testing::Test {
protected:
    TempDir dir;
    test::FakeHost host;
    Card card;
};

TEST_F(ClockFile, ReadsFieldsWithBlanksAndIgnoresTheOffset) {
    WriteText(dir / "time.dat", "2015, 1,  2,3,4,5,+0900");
    ASSERT_TRUE(card.ReadClockFile(U16(dir / "time.dat")));
    const SystemTime& t = card.clock().timeSyncTime;
    EXPECT_EQ(card.clock().timeSyncRequested, 1u);
    EXPECT_EQ((std::vector<int>{t.year, t.month, t.day, t.hour, t.minute, t.second}),
              (std::vector<int>{2015, 1, 2, 3, 4, 5}));
}

TEST_F(ClockFile, GarbageReadsAsZerosButStillRequests) {
    card.clock().timeSyncTime.dayOfWeek = 3;
    WriteText(dir / "time.dat", "letters only\r\nsecond line 2020,1,1");
    ASSERT_TRUE(card.ReadClockFile(U16(dir / "time.dat")));
    EXPECT_EQ(card.clock().timeSyncRequested, 1u);
    EXPECT_EQ(card.clock().timeSyncTime, (SystemTime{0, 0, 3, 0, 0, 0, 0, 0}));

    WriteText(dir / "time.dat", std::string("2021,\0" "5,6", 9));
    ASSERT_TRUE(card.ReadClockFile(U16(dir / "time.dat")));
    EXPECT_EQ(card.clock().timeSyncTime.year, 2021);
    EXPECT_EQ(card.clock().timeSyncTime.month, 0);

    WriteText(dir / "time.dat", std::string(200000, '9'));
    EXPECT_TRUE(card.ReadClockFile(U16(dir / "time.dat")));
}

TEST_F(ClockFile, MissingEmptyOrFolderTurnsTheRequestOff) {
    card.clock().timeSyncRequested = 1;
    EXPECT_FALSE(card.ReadClockFile(U16(dir / "time.dat")));
    EXPECT_EQ(card.clock().timeSyncRequested, 0u);
    card.clock().timeSyncRequested = 1;
    WriteText(dir / "time.dat", "");
    EXPECT_FALSE(card.ReadClockFile(U16(dir / "time.dat")));
    EXPECT_EQ(card.clock().timeSyncRequested, 0u);
    std::filesystem::remove(dir / "time.dat");
    std::filesystem::create_directory(dir / "time.dat");
    EXPECT_FALSE(card.ReadClockFile(U16(dir / "time.dat")));
}

TEST_F(ClockFile, WritesTheLineWithTheStandardOffset) {
    card.clock().timeSyncRequested = 1;
    card.clock().timeSyncTime = SystemTime{2014, 5, 2, 6, 13, 45, 7, 0};
    host.bias = -540;
    ASSERT_TRUE(card.WriteClockFile(U16(dir / "time.dat")));
    EXPECT_EQ(ReadText(dir / "time.dat"), "2014,05,06,13,45,07,+0900");
    EXPECT_EQ(FormatClockLine(card.clock().timeSyncTime, 300), "2014,05,06,13,45,07,-0500");
    EXPECT_EQ(FormatClockLine(card.clock().timeSyncTime, -330), "2014,05,06,13,45,07,+0530");
    EXPECT_EQ(FormatClockLine(card.clock().timeSyncTime, 0), "2014,05,06,13,45,07,-0000");
    EXPECT_EQ(FormatClockLine(SystemTime{915, 1, 0, 2, 3, 4, 5, 0}, 0), " 915,01,02,03,04,05,-0000");
}

TEST_F(ClockFile, RequestOffDeletesTheFile) {
    WriteText(dir / "time.dat", "old");
    card.clock().timeSyncRequested = 0;
    EXPECT_TRUE(card.WriteClockFile(U16(dir / "time.dat")));
    EXPECT_FALSE(std::filesystem::exists(dir / "time.dat"));
    EXPECT_TRUE(card.WriteClockFile(U16(dir / "time.dat")));
    // Something that cannot be deleted is reported.
    std::filesystem::create_directory(dir / "time.dat");
    EXPECT_FALSE(card.WriteClockFile(U16(dir / "time.dat")));
}

#ifndef _WIN32 // the POSIX host reads the offset from TZ
TEST(HostClock, StandardBiasHasNoDaylightPart) {
    const char* old = std::getenv("TZ");
    std::string saved = old ? old : "";
    SetHost(nullptr);
    setenv("TZ", "America/New_York", 1);
    tzset();
    EXPECT_EQ(Host().StandardBiasMinutes(), 300);
    setenv("TZ", "Asia/Kolkata", 1);
    tzset();
    EXPECT_EQ(Host().StandardBiasMinutes(), -330);
    setenv("TZ", "UTC", 1);
    tzset();
    EXPECT_EQ(Host().StandardBiasMinutes(), 0);
    setenv("TZ", "Australia/Sydney", 1);
    tzset();
    EXPECT_EQ(Host().StandardBiasMinutes(), -600);
    if (old)
        setenv("TZ", saved.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}
#endif

class VersionFile : public ::testing::Test {
protected:
    CardVersionInfo Read(const std::string& content) {
        std::filesystem::create_directories(dir / "lang");
        WriteText(dir / "lang" / "ver.dat", content);
        CardVersionInfo info;
        ReadVersionFile(dir.root() + u"lang/", info);
        return info;
    }
    TempDir dir;
};

TEST_F(VersionFile, KeysCountOnlyAfterTheFirstCharacter) {
    EXPECT_EQ(Read("Ver:1.0\n").version, u"");
    EXPECT_EQ(Read(" Ver:1.0\n").version, u"1.0");
    EXPECT_EQ(Read(" Ver:1.0:2\n").version, u"1.0");
    EXPECT_EQ(Read(" Ver::: 1.1 \r\n").version, u"1.1");
    auto info = Read("\n\n Pack Name: Europe\r\n Device : Z910\r\n");
    EXPECT_EQ(info.packName, u"Europe");
    EXPECT_EQ(info.device, u"Z910");
}

TEST_F(VersionFile, CodesBecomeNamesWhereTheTableKnowsThem) {
    auto info = Read("Lang Code: en fr xx   ko\nLang Code: de\n");
    EXPECT_EQ(info.languageCodes, (std::vector<std::u16string>{u"en", u"fr", u"xx", u"ko"}));
    EXPECT_EQ(info.languageNames, (std::vector<std::u16string>{u"English", u"French", u"Korean"}));
    // Codes compare with case; he and iw are both Hebrew.
    info = Read(" Code:FR he\n");
    EXPECT_EQ(info.languageNames, (std::vector<std::u16string>{u"Hebrew"}));
    // Only the first Code line counts, even when it lists nothing.
    info = Read(" Code:\n Code: en\n");
    EXPECT_TRUE(info.languageCodes.empty());
}

TEST_F(VersionFile, MissingFileOrGarbageLeavesItEmpty) {
    CardVersionInfo info;
    ReadVersionFile(dir.root() + u"lang/", info);
    EXPECT_TRUE(info.version.empty() && info.languageCodes.empty());
    info = Read(std::string("\0\0\xff\xfe::::\n", 9) + std::string(100000, 'x'));
    EXPECT_TRUE(info.languageCodes.empty());
}

TEST(LanguageCodes, TableHasItsFixedOrderAndOddEntries) {
    auto table = LanguageCodeTable();
    ASSERT_EQ(table.size(), 165u);
    EXPECT_EQ(table.front().code, u"ab");
    EXPECT_EQ(table.back().name, u"Zulu");
    bool in = false, volapuk = false;
    for (const auto& pair : table) {
        in = in || (pair.code == u" in" && pair.name == u"Indonesian");
        volapuk = volapuk || (pair.code == u"vo" && pair.name == u"Volap?k");
    }
    EXPECT_TRUE(in);
    EXPECT_TRUE(volapuk);
}

} // namespace
} // namespace dashcam
