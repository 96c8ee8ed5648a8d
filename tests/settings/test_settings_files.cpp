// Loading and saving the settings record: byte images, lengths, tails and traces.
#include <gtest/gtest.h>

#include <filesystem>
#include <numeric>

#include <unistd.h>

#include "platform/prompt.h"
#include "settings/card.h"
#include "settings/settings_record.h"
#include "support/temp_dir.h"
#include "support/trace_capture.h"

namespace dashcam {
namespace {
using test::ReadBytes;
using test::TempDir;
using test::TraceCapture;
using test::WriteBytes;

// A record-sized image with every byte distinct from its neighbours, and the given recordLength.
std::vector<std::uint8_t> PatternImage(std::size_t size, std::uint32_t recordLength) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 7 + 3);
    for (int i = 0; i < 4; ++i)
        bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(recordLength >> (8 * i));
    return bytes;
}

std::u16string U16(const std::filesystem::path& p) {
    std::string s = p.string();
    return std::u16string(s.begin(), s.end());
}

class SettingsFiles : public ::testing::Test {
protected:
    void SetUp() override { prompt::Reset(); }
    TempDir dir;
    Card card;
};

TEST_F(SettingsFiles, UntouchedRecordSavesByteForByteExceptTheDerivedFlag) {
    auto image = PatternImage(572, 572);
    WriteBytes(dir / "setup.cfg", image);
    ASSERT_TRUE(card.LoadSettingsFile(U16(dir / "setup.cfg")));
    ASSERT_TRUE(card.SaveSettingsFile(U16(dir / "setup.cfg")));
    auto saved = ReadBytes(dir / "setup.cfg");
    ASSERT_EQ(saved.size(), 572u);
    for (std::size_t i = 0; i < 572; ++i) {
        if (i < 440 || i >= 444) {
            EXPECT_EQ(saved[i], image[i]) << "byte " << i;
        }
    }
    // The flag sources of the pattern are non-zero.
    EXPECT_EQ(card.record()->combinedFlag(), 1u);
    EXPECT_EQ(saved[440], 1);
    EXPECT_EQ(saved[441] | saved[442] | saved[443], 0);
}

TEST_F(SettingsFiles, CombinedFlagFollowsTheThreeSources) {
    SettingsRecord& r = card.AllocateRecord();
    r.setRecordLength(572);
    r.setCombinedFlag(1);
    ASSERT_TRUE(card.SaveSettingsFile(U16(dir / "setup.cfg")));
    EXPECT_EQ(r.combinedFlag(), 0u);
    r.setFlagSourceB(7);
    r.setCombinedFlag(0);
    ASSERT_TRUE(card.SaveSettingsFile(U16(dir / "setup.cfg")));
    EXPECT_EQ(ReadBytes(dir / "setup.cfg")[440], 1);
    // Derived even when the file cannot be written.
    r.setFlagSourceB(0);
    r.setFlagSourceC(1);
    r.setCombinedFlag(0);
    EXPECT_FALSE(card.SaveSettingsFile(U16(dir / "missing-folder" / "setup.cfg")));
    EXPECT_EQ(r.combinedFlag(), 1u);
}

TEST_F(SettingsFiles, EmptyFileLoadsAsZeroRecordAndSavesNothing) {
    WriteBytes(dir / "setup.cfg", {});
    TraceCapture trace;
    ASSERT_TRUE(card.LoadSettingsFile(U16(dir / "setup.cfg")));
    EXPECT_EQ(trace.text(), "\n\nTrevanil Setting loading...\n");
    for (auto b : card.record()->bytes)
        ASSERT_EQ(b, 0);
    ASSERT_TRUE(card.SaveSettingsFile(U16(dir / "setup.cfg")));
    EXPECT_TRUE(ReadBytes(dir / "setup.cfg").empty());
}

TEST_F(SettingsFiles, ShortFilesLoadZeroPaddedAndSaveTheirRecordLength) {
    WriteBytes(dir / "setup.cfg", PatternImage(500, 500));
    ASSERT_TRUE(card.LoadSettingsFile(U16(dir / "setup.cfg")));
    for (std::size_t i = 500; i < 572; ++i)
        ASSERT_EQ(card.record()->bytes[i], 0);
    ASSERT_TRUE(card.SaveSettingsFile(U16(dir / "setup.cfg")));
    EXPECT_EQ(ReadBytes(dir / "setup.cfg").size(), 500u);

    WriteBytes(dir / "setup.cfg", PatternImage(500, 572));
    TraceCapture trace;
    ASSERT_TRUE(card.LoadSettingsFile(U16(dir / "setup.cfg")));
    EXPECT_NE(trace.text().find("Warning file length differs  from the checksum !\n"), std::string::npos);
    ASSERT_TRUE(card.SaveSettingsFile(U16(dir / "setup.cfg")));
    EXPECT_EQ(ReadBytes(dir / "setup.cfg").size(), 572u);
}

TEST_F(SettingsFiles, LongFileKeepsItsTail) {
    auto image = PatternImage(600, 600);
    WriteBytes(dir / "setup.cfg", image);
    TraceCapture trace;
    ASSERT_TRUE(card.LoadSettingsFile(U16(dir / "setup.cfg")));
    EXPECT_EQ(trace.text(), "\n\nTrevanil Setting loading...\n"
                            "Warning config version seems to be higher than 1.2 or invalid !\n");
    card.record()->setParkingMode(0);
    ASSERT_TRUE(card.SaveSettingsFile(U16(dir / "setup.cfg")));
    auto saved = ReadBytes(dir / "setup.cfg");
    ASSERT_EQ(saved.size(), 600u);
    EXPECT_TRUE(std::equal(saved.begin() + 572, saved.end(), image.begin() + 572));
    EXPECT_EQ(saved[180], 0);

    // A longer file whose recordLength is not its size warns twice.
    WriteBytes(dir / "setup.cfg", PatternImage(600, 572));
    trace.clear();
    ASSERT_TRUE(card.LoadSettingsFile(U16(dir / "setup.cfg")));
    EXPECT_NE(trace.text().find("higher than 1.2"), std::string::npos);
    EXPECT_NE(trace.text().find("differs  from"), std::string::npos);
}

TEST_F(SettingsFiles, HugeOrZeroRecordLengthWritesAllOrNothing) {
    SettingsRecord& r = card.AllocateRecord();
    r.setRecordLength(0xFFFFFFF0u);
    ASSERT_TRUE(card.SaveSettingsFile(U16(dir / "a.cfg")));
    EXPECT_EQ(ReadBytes(dir / "a.cfg").size(), 572u);
    r.setRecordLength(0);
    WriteBytes(dir / "b.cfg", PatternImage(572, 572));
    ASSERT_TRUE(card.SaveSettingsFile(U16(dir / "b.cfg")));
    EXPECT_EQ(ReadBytes(dir / "b.cfg"), PatternImage(572, 572));
}

TEST_F(SettingsFiles, SaveTraceNamesProductVersionAndSizes) {
    SettingsRecord& r = card.AllocateRecord();
    r.setRecordLength(572);
    r.setConfigVersion(0x00010002);
    r.setProductName("Z910 Dash\xE9");
    r.setMotionSet(4);
    r.setMotionSensitivity(3);
    TraceCapture trace;
    ASSERT_TRUE(card.SaveSettingsFile(U16(dir / "setup.cfg")));
    EXPECT_EQ(trace.text(), "572\n\n\nTrevanil Setting saving...\n"
                            "Write Product:[Z910 Dash\xC3\xA9]  Config Ver.:[1.2], CheckSum:[572], Written Size [572] \n"
                            "motion set: 4 / motion sensitivity: 3\n" +
                                std::string(77, '-') + "\n");
}

TEST_F(SettingsFiles, FailedSaveLeavesTheCardAsItWas) {
    SettingsRecord& r = card.AllocateRecord();
    r.setRecordLength(572);
    std::filesystem::create_directory(dir / "setup.cfg");
    TraceCapture trace;
    EXPECT_FALSE(card.SaveSettingsFile(U16(dir / "setup.cfg")));
    EXPECT_NE(trace.text().find("\n\nTrevanil Setting fail to save\n"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_directory(dir / "setup.cfg"));
    // Nothing else was left in the folder.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);

#ifndef _WIN32
    // A read-only card folder: the old file stays whole.
    std::filesystem::remove(dir / "setup.cfg");
    WriteBytes(dir / "setup.cfg", PatternImage(572, 572));
    std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_write, std::filesystem::perm_options::remove);
    if (::access(dir.path().c_str(), W_OK) != 0) { // root writes anyway
        EXPECT_FALSE(card.SaveSettingsFile(U16(dir / "setup.cfg")));
        EXPECT_EQ(ReadBytes(dir / "setup.cfg"), PatternImage(572, 572));
    }
    std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
#endif
}

TEST_F(SettingsFiles, MissingOrDirectoryFileIsNotLoadedAndRecordStays) {
    SettingsRecord& r = card.AllocateRecord();
    r.setParkingMode(2);
    TraceCapture trace;
    EXPECT_FALSE(card.LoadSettingsFile(U16(dir / "setup.cfg")));
    std::filesystem::create_directory(dir / "default.cfg");
    EXPECT_FALSE(card.LoadSettingsFile(U16(dir / "default.cfg")));
    EXPECT_EQ(trace.text(), "Warning Trevanil Setting not found !\nWarning Trevanil Setting not found !\n");
    EXPECT_EQ(r.parkingMode(), 2u);
}

TEST_F(SettingsFiles, RestoreKeepsTheRetainedFields) {
    auto defaults = PatternImage(572, 572);
    WriteBytes(dir / "default.cfg", defaults);
    card.MoveTo(dir.root());
    SettingsRecord& r = card.AllocateRecord();
    const std::uint8_t block[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    r.setRetainedBlock(block);
    r.setRetainedValue(0xCAFE);
    r.setParkingMode(9);
    EXPECT_TRUE(card.RestoreDefaultSettings(r));
    EXPECT_TRUE(std::equal(r.retainedBlock().begin(), r.retainedBlock().end(), block));
    EXPECT_EQ(r.retainedValue(), 0xCAFEu);
    EXPECT_EQ(r.bytes[180], defaults[180]);
    EXPECT_EQ(r.bytes[571], defaults[571]);
    EXPECT_TRUE(prompt::History().empty());
}

TEST_F(SettingsFiles, RestoreWithoutDefaultsTellsTheUser) {
    card.MoveTo(dir.root());
    SettingsRecord& r = card.AllocateRecord();
    r.setParkingMode(1);
    prompt::QueueAnswer(prompt::Answer::Ok);
    EXPECT_FALSE(card.RestoreDefaultSettings(r));
    ASSERT_EQ(prompt::History().size(), 1u);
    EXPECT_EQ(prompt::History()[0].text, u"no default.cfg :" + dir.root() + u"default.cfg");
    EXPECT_EQ(r.parkingMode(), 1u);
}

TEST(SettingsRecordFields, AccessorsMatchTheByteLayout) {
    SettingsRecord r;
    r.setTimeZoneBias(-300);
    EXPECT_EQ(r.bytes[372], 0xD4);
    EXPECT_EQ(r.bytes[375], 0xFF);
    EXPECT_EQ(r.timeZoneBias(), -300);
    r.setSpeedTrapAlert(0x01020304);
    EXPECT_EQ(r.bytes[548], 4);
    EXPECT_EQ(r.bytes[551], 1);
    r.setTimeZoneName(std::string(40, 'x'));
    EXPECT_EQ(r.timeZoneName().size(), 32u);
    EXPECT_EQ(r.bytes[412], 0);
    r.setTimeZoneName("UTC");
    EXPECT_EQ(r.timeZoneName(), "UTC");
    EXPECT_EQ(r.bytes[384], 0);
    EXPECT_FALSE(IsInterpretedByte(24));
    EXPECT_FALSE(IsInterpretedByte(45)); // retainedBlock
    EXPECT_TRUE(IsInterpretedByte(549));
    EXPECT_EQ(SettingsFields().size(), 40u);
}

} // namespace
} // namespace dashcam
