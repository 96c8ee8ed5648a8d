// Formatting the card: what survives, where the backups go, and what stops the format.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "platform/host_system.h"
#include "platform/text_codec.h"
#include "settings/card_format.h"
#include "support/fake_formatter.h"
#include "support/fake_host.h"
#include "support/temp_dir.h"

namespace dashcam {
namespace {
using test::TempDir;
namespace fs = std::filesystem;

constexpr std::uint64_t kMiB = 1024 * 1024;

// Every file below a folder, as relative paths with '/'.
std::set<std::string> FilesBelow(const fs::path& folder) {
    std::set<std::string> out;
    for (const auto& e : fs::recursive_directory_iterator(folder))
        if (e.is_regular_file())
            out.insert(fs::relative(e.path(), folder).generic_string());
    return out;
}

class CardFormat : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(t / "card" / "lang");
        fs::create_directories(t / "card" / "DCIM");
        fs::create_directories(t / "program");
        test::WriteText(t / "card" / "setup.cfg", "setup bytes");
        test::WriteText(t / "card" / "default.cfg", "default bytes");
        test::WriteText(t / "card" / "lang" / "ver.dat", " Ver:1.0\n");
        test::WriteText(t / "card" / "lang" / "en.lng", "other language file");
        test::WriteText(t / "card" / "DCIM" / "clip.mp4", "video");
        test::WriteText(t / "program" / "dashcam-setting", "the program");
        host.removable = true;
        host.volumeRoot = Root("card");
        host.totalBytes = 30000 * kMiB;
        host.modulePath = Utf8ToUtf16((t / "program" / "dashcam-setting").string());
        host.appData = Utf8ToUtf16((t / "appdata").string());
        fs::create_directories(t / "appdata");
        record.setProductName("Z910");
    }
    std::u16string Root(const std::string& name) { return Utf8ToUtf16((t / name).string() + "/"); }
    CardFormatPlan Plan() {
        auto plan = PlanCardFormat(Root("card"), record);
        EXPECT_TRUE(plan.has_value());
        return plan.value_or(CardFormatPlan{});
    }

    TempDir t;
    test::FakeHost host;
    test::FakeFormatter formatter;
    SettingsRecord record;
};

TEST_F(CardFormat, KeepsExactlyTheCameraFilesAndAddsTheProgram) {
    int steps = 0;
    const CardFormatOutcome outcome = FormatCardKeepingFiles(Plan(), [&steps] { ++steps; });
    EXPECT_TRUE(outcome.complete());
    EXPECT_EQ(steps, 5);
    EXPECT_EQ(FormatResult(), 1);
    EXPECT_EQ(FilesBelow(t / "card"),
              (std::set<std::string>{"setup.cfg", "default.cfg", "lang/ver.dat", "dashcam-setting"}));
    EXPECT_EQ(test::ReadText(t / "card" / "setup.cfg"), "setup bytes");
    EXPECT_EQ(test::ReadText(t / "card" / "lang" / "ver.dat"), " Ver:1.0\n");
    EXPECT_EQ(test::ReadText(t / "card" / "dashcam-setting"), "the program");
    // The backups stay beside the program.
    EXPECT_EQ(test::ReadText(t / "program" / "default.cfg"), "default bytes");
    EXPECT_EQ(test::ReadText(t / "program" / "ver.dat"), " Ver:1.0\n");

    ASSERT_EQ(formatter.requests.size(), 1u);
    const FormatRequest& r = formatter.requests[0];
    EXPECT_EQ(r.volume, Root("card"));
    EXPECT_EQ(r.fileSystem, u"FAT32");
    EXPECT_EQ(r.clusterSize, 32768u);
    EXPECT_EQ(r.label, u"Z910");
    EXPECT_TRUE(r.quick);
}

TEST_F(CardFormat, FailedOrMissingFormatIsNotSuccessAndTheFilesStay) {
    formatter.succeed = false;
    CardFormatOutcome outcome = FormatCardKeepingFiles(Plan(), {});
    EXPECT_FALSE(outcome.complete());
    EXPECT_EQ(FormatResult(), 0);
    EXPECT_TRUE(outcome.restore.ok);

    formatter.available = false;
    outcome = FormatCardKeepingFiles(Plan(), {});
    EXPECT_FALSE(outcome.format.run.ran);
    EXPECT_EQ(outcome.format.run.unavailableText, u"LoadLibrary(fmifs.dll) failed");
    EXPECT_TRUE(fs::exists(t / "card" / "DCIM" / "clip.mp4"));

    formatter.available = true;
    formatter.succeed = true;
    formatter.reportResult = false; // a format that never reports its end failed
    EXPECT_FALSE(FormatCardKeepingFiles(Plan(), {}).format.succeeded);
}

TEST_F(CardFormat, ABackupThatCannotBeMadeStopsBeforeAnythingIsErased) {
    host.copyFails = true;
    const CardFormatOutcome outcome = FormatCardKeepingFiles(Plan(), {});
    EXPECT_FALSE(outcome.backup.ok);
    EXPECT_EQ(outcome.backup.failedFile, Root("card") + u"setup.cfg");
    EXPECT_TRUE(formatter.requests.empty());
    EXPECT_TRUE(fs::exists(t / "card" / "DCIM" / "clip.mp4"));
}

TEST_F(CardFormat, ARestoreThatFailsIsReportedWithTheFile) {
    const CardFormatOutcome outcome = FormatCardKeepingFiles(Plan(), [this] { host.copyFails = true; });
    EXPECT_TRUE(outcome.format.succeeded);
    EXPECT_FALSE(outcome.restore.ok);
    EXPECT_EQ(outcome.restore.failedFile, Root("card") + u"setup.cfg");
    EXPECT_FALSE(outcome.complete());
    EXPECT_EQ(test::ReadText(t / "program" / "setup.cfg"), "setup bytes"); // the backup is still there
}

TEST_F(CardFormat, AStaleBackupOfAFileTheCardLacksDoesNotComeBack) {
    test::WriteText(t / "program" / "ver.dat", "from another card");
    fs::remove(t / "card" / "lang" / "ver.dat");
    EXPECT_TRUE(FormatCardKeepingFiles(Plan(), {}).complete());
    EXPECT_FALSE(fs::exists(t / "card" / "lang" / "ver.dat"));
    EXPECT_TRUE(fs::is_directory(t / "card" / "lang"));
}

TEST_F(CardFormat, FilesFollowTheVolumeWhenItIsMountedElsewhereAfterwards) {
    fs::create_directories(t / "card" / "cam");
    fs::rename(t / "card" / "setup.cfg", t / "card" / "cam" / "setup.cfg");
    auto plan = PlanCardFormat(Root("card") + u"cam/", record);
    ASSERT_TRUE(plan);
    formatter.volumeAfter = Root("card2");
    const CardFormatOutcome outcome = FormatCardKeepingFiles(*plan, {});
    EXPECT_TRUE(outcome.complete());
    EXPECT_EQ(outcome.cardRootAfter, Root("card2") + u"cam/");
    EXPECT_EQ(test::ReadText(t / "card2" / "cam" / "setup.cfg"), "setup bytes");
    EXPECT_TRUE(fs::exists(t / "card2" / "cam" / "dashcam-setting"));
}

TEST_F(CardFormat, BackupsGoToTheProgramCopyFolderWhenTheProgramFolderIsReadOnly) {
    host.foldersWritable = false;
    const CardFormatPlan plan = Plan();
    const std::u16string sep(1, kPathSeparator);
    EXPECT_EQ(plan.backupFolder,
              Utf8ToUtf16((t / "appdata").string()) + sep + u"Pelmora" + sep + u"Setting" + sep);
    EXPECT_TRUE(BackupCardFiles(plan).ok);
    EXPECT_EQ(test::ReadText(t / "appdata" / "Pelmora" / "Setting" / "setup.cfg"), "setup bytes");

    // A program that runs from the card itself cannot keep the backups there: the format would erase them.
    host.foldersWritable = true;
    host.modulePath = Root("card") + u"dashcam-setting";
    host.appData = Root("card") + u"appdata";
    const CardFormatOutcome outcome = FormatCardKeepingFiles(Plan(), {});
    EXPECT_FALSE(outcome.backup.ok);
    EXPECT_TRUE(formatter.requests.empty());
}

TEST_F(CardFormat, OnlyARemovableCardAbove60000MiBIsFormattedAsExfat) {
    host.totalBytes = 60000 * kMiB + kMiB - 1; // 60000 MiB after the shift
    EXPECT_EQ(Plan().fileSystem, u"FAT32");
    host.totalBytes = 60001 * kMiB;
    EXPECT_EQ(Plan().fileSystem, u"exfat");
    EXPECT_EQ(Plan().clusterSize, 0u);
    // Only the low 32 bits of the MiB count, taken as signed, are compared.
    host.totalBytes = ((std::uint64_t{1} << 31) + 60001) * kMiB;
    EXPECT_FALSE(IsLargeCard(Root("card")));
    host.removable = false;
    host.totalBytes = 60001 * kMiB;
    EXPECT_FALSE(IsLargeCard(Root("card")));
    EXPECT_FALSE(PlanCardFormat(Root("card"), record));
    host.removable = true;
    EXPECT_FALSE(PlanCardFormat(u"", record));
}

TEST_F(CardFormat, LabelIsTheProductNameOrTrevanil) {
    SettingsRecord r;
    EXPECT_EQ(VolumeLabelFor(r), u"Trevanil");
    r.setProductName("ABCDEFGHIJKLMNOP");
    EXPECT_EQ(VolumeLabelFor(r), u"ABCDEFGHIJKLMNOP");
    r.setProductName("Cam\xE9");
    EXPECT_EQ(VolumeLabelFor(r), u"Cam\u00E9");
}

} // namespace
} // namespace dashcam
