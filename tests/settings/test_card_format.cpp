// Formatting the card: what survives, where the backups go, and what stops the format.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <set>

#include "i18n/language_table.h"
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
        host.volumeDevice = u"179:1";
        host.totalBytes = 30000 * kMiB;
        host.modulePath = Utf8ToUtf16((t / "program" / "dashcam-setting").string());
        host.appData = Utf8ToUtf16((t / "appdata").string());
        fs::create_directories(t / "appdata");
        record.setProductName("Z910");
    }
    std::u16string Root(const std::string& name) { return Utf8ToUtf16((t / name).string() + "/"); }
    // The procedure as the editor runs it in English.
    CardFormatOutcome Format(CardFormatHooks hooks = {}) {
        hooks.text = english;
        return FormatCardKeepingFiles(Root("card"), record, hooks);
    }
    fs::path Backup(const CardFormatOutcome& outcome, const char* name) {
        return ToFsPath(outcome.backupFolder) / name;
    }

    TempDir t;
    test::FakeHost host;
    test::FakeFormatter formatter;
    SettingsRecord record;
    const TextOf english = [table = std::make_shared<LanguageTable>()](std::u16string_view key) {
        if (!table->loaded())
            table->LoadLanguage(u"english");
        return table->LookupText(key);
    };
};

TEST_F(CardFormat, KeepsExactlyTheCameraFilesAndAddsTheProgram) {
    // A program built with shared libraries gets them beside it on the card, so that it starts from there.
    test::WriteText(t / "program" / "Qt6Core.dll", "library");
    int steps = 0;
    CardFormatHooks hooks;
    hooks.onStep = [&steps] { ++steps; };
    const CardFormatOutcome outcome = Format(hooks);
    EXPECT_TRUE(outcome.complete()) << Utf16ToUtf8(FormatProblemText(outcome, english));
    EXPECT_TRUE(FormatProblemText(outcome, english).empty());
    EXPECT_EQ(steps, 5);
    EXPECT_EQ(FormatResult(), 1);
    EXPECT_EQ(FilesBelow(t / "card"),
              (std::set<std::string>{"setup.cfg", "default.cfg", "lang/ver.dat", "dashcam-setting", "Qt6Core.dll"}));
    EXPECT_EQ(test::ReadText(t / "card" / "setup.cfg"), "setup bytes");
    EXPECT_EQ(test::ReadText(t / "card" / "lang" / "ver.dat"), " Ver:1.0\n");
    EXPECT_EQ(test::ReadText(t / "card" / "dashcam-setting"), "the program");
    // The backups stay, in a folder of this run that only the user can enter, never beside the program.
    EXPECT_EQ(test::ReadText(Backup(outcome, "default.cfg")), "default bytes");
#ifndef _WIN32
    EXPECT_EQ(fs::status(ToFsPath(outcome.backupFolder)).permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_EQ(fs::status(Backup(outcome, "setup.cfg")).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
#endif
    EXPECT_FALSE(fs::exists(t / "program" / "setup.cfg"));

    ASSERT_EQ(formatter.requests.size(), 1u);
    const FormatRequest& r = formatter.requests[0];
    EXPECT_EQ(r.volume, Root("card"));
    EXPECT_EQ(r.device, u"179:1");
    EXPECT_EQ(r.fileSystem, u"FAT32");
    EXPECT_EQ(r.clusterSize, 32768u);
    EXPECT_EQ(r.label, u"Z910");
    EXPECT_TRUE(r.quick);
}

TEST_F(CardFormat, FailedOrMissingFormatIsNotSuccessAndTheFilesStay) {
    formatter.succeed = false;
    CardFormatOutcome outcome = Format();
    EXPECT_FALSE(outcome.complete());
    EXPECT_EQ(FormatResult(), 0);
    EXPECT_TRUE(outcome.restore.ok);

    formatter.available = false;
    outcome = Format();
    EXPECT_FALSE(outcome.format.run.ran);
    EXPECT_FALSE(outcome.restored); // nothing was erased, so nothing is copied back
    EXPECT_EQ(FormatProblemText(outcome, english), u"LoadLibrary(fmifs.dll) failed");
    EXPECT_TRUE(fs::exists(t / "card" / "DCIM" / "clip.mp4"));

    formatter.available = true;
    formatter.succeed = true;
    formatter.reportResult = false; // a format that never reports its end failed
    EXPECT_FALSE(Format().format.succeeded);
}

TEST_F(CardFormat, NothingIsErasedUnlessEveryCameraFileIsBackedUp) {
    host.copyFails = true;
    CardFormatOutcome outcome = Format();
    EXPECT_FALSE(outcome.backup.ok);
    EXPECT_EQ(outcome.backup.failedFile, Root("card") + u"setup.cfg");
    host.copyFails = false;
    // A camera file that cannot be looked at is not taken for an absent one.
    fs::create_directories(t / "card" / "default.cfg.d");
    fs::remove(t / "card" / "default.cfg");
    fs::rename(t / "card" / "default.cfg.d", t / "card" / "default.cfg");
    outcome = Format();
    EXPECT_FALSE(outcome.backup.ok);
    EXPECT_EQ(outcome.backup.failedFile, Root("card") + u"default.cfg");
    EXPECT_NE(FormatProblemText(outcome, english).find(u"Nothing on the card has been changed"), std::u16string::npos);
    // A program that runs from the card itself, with its data folder there too: the format would erase them.
    fs::remove(t / "card" / "default.cfg");
    host.appData = Root("card") + u"appdata";
    fs::create_directories(t / "card" / "appdata");
    outcome = Format();
    EXPECT_TRUE(outcome.backupFolder.empty());
    EXPECT_NE(outcome.stopped.find(u"is on the card itself"), std::u16string::npos);
    EXPECT_TRUE(formatter.requests.empty());
    EXPECT_TRUE(fs::exists(t / "card" / "DCIM" / "clip.mp4"));
}

TEST_F(CardFormat, ACardReplacedOrPulledAfterTheQuestionIsNotFormatted) {
    CardFormatHooks hooks;
    hooks.confirm = [this](const CardFormatPlan& plan) {
        EXPECT_EQ(plan.device, u"179:1");
        host.volumeDevice = u"8:17"; // another card, or the disk above the pulled card's mount point
        return true;
    };
    const CardFormatOutcome outcome = Format(hooks);
    EXPECT_NE(outcome.stopped.find(u"taken out or replaced"), std::u16string::npos);
    EXPECT_TRUE(formatter.requests.empty());
    EXPECT_TRUE(outcome.backupFolder.empty());
}

TEST_F(CardFormat, OnlyAWritableRemovableCardIsFormattedAndTheUserIsToldWhyNot) {
    host.removable = false;
    CardFormatOutcome outcome = Format();
    EXPECT_FALSE(outcome.plan);
    EXPECT_NE(FormatProblemText(outcome, english).find(u"is not a memory card"), std::u16string::npos);
    host.removable = true;
    host.readOnly = true;
    outcome = Format();
    EXPECT_NE(FormatProblemText(outcome, english).find(u"write-protected"), std::u16string::npos);
    EXPECT_TRUE(formatter.requests.empty());
    EXPECT_TRUE(FormatCardKeepingFiles(u"", record).stopped.empty()); // no card: nothing to say
}

TEST_F(CardFormat, AFailedRemountKeepsTheBackupsAndWritesNothingOutsideTheCard) {
    formatter.volumeAfter = Root("mnt"); // a bare folder of the computer: the card did not come back
    const CardFormatOutcome first = Format();
    EXPECT_FALSE(first.restored);
    EXPECT_FALSE(first.complete());
    EXPECT_TRUE(FilesBelow(t / "mnt").empty());
    const std::u16string text = FormatProblemText(first, english);
    EXPECT_NE(text.find(u"may have been erased"), std::u16string::npos);
    EXPECT_NE(text.find(first.backupFolder), std::u16string::npos);
    // A later format keeps them: they are the only copy.
    test::WriteText(t / "card" / "setup.cfg", "other");
    formatter.volumeAfter.clear();
    const CardFormatOutcome second = Format();
    EXPECT_TRUE(second.complete());
    EXPECT_NE(second.backupFolder, first.backupFolder);
    EXPECT_EQ(test::ReadText(Backup(first, "setup.cfg")), "setup bytes");
}

TEST_F(CardFormat, FilesFollowTheSameDeviceWhenItIsMountedElsewhereAfterwards) {
    fs::create_directories(t / "card" / "cam");
    fs::rename(t / "card" / "setup.cfg", t / "card" / "cam" / "setup.cfg");
    host.otherVolumes[Root("card2")] = u"179:1";
    formatter.volumeAfter = Root("card2");
    const CardFormatOutcome outcome = FormatCardKeepingFiles(Root("card") + u"cam/", record);
    EXPECT_TRUE(outcome.complete());
    EXPECT_EQ(outcome.cardRootAfter, Root("card2") + u"cam/");
    EXPECT_EQ(test::ReadText(t / "card2" / "cam" / "setup.cfg"), "setup bytes");
    EXPECT_TRUE(fs::exists(t / "card2" / "cam" / "dashcam-setting"));
}

TEST_F(CardFormat, OnlyARemovableCardAbove60000MiBIsFormattedAsExfat) {
    auto plan = [this] { return PlanCardFormat(Root("card"), record).value_or(CardFormatPlan{}); };
    host.totalBytes = 60000 * kMiB + kMiB - 1; // 60000 MiB after the shift
    EXPECT_EQ(plan().fileSystem, u"FAT32");
    host.totalBytes = 60001 * kMiB;
    EXPECT_EQ(plan().fileSystem, u"exfat");
    EXPECT_EQ(plan().clusterSize, 0u);
    // Only the low 32 bits of the MiB count, taken as signed, are compared.
    host.totalBytes = ((std::uint64_t{1} << 31) + 60001) * kMiB;
    EXPECT_FALSE(IsLargeCard(Root("card")));
    host.removable = false;
    host.totalBytes = 60001 * kMiB;
    EXPECT_FALSE(IsLargeCard(Root("card")));
}

TEST(Fat32Clusters, SmallCardsGetSmallerClustersSoThatFat32StillHasEnough) {
    EXPECT_EQ(Fat32ClusterSizeFor(32000 * kMiB), 32768u);
    EXPECT_EQ(Fat32ClusterSizeFor(2100 * kMiB), 32768u);
    EXPECT_EQ(Fat32ClusterSizeFor(1024 * kMiB), 8192u);
    EXPECT_EQ(Fat32ClusterSizeFor(256 * kMiB), 2048u);
    EXPECT_EQ(Fat32ClusterSizeFor(0), 32768u);
    for (std::uint64_t mib : {40, 100, 1000, 1900, 2047, 2048})
        EXPECT_GE((mib * kMiB - kMiB) / (Fat32ClusterSizeFor(mib * kMiB) + 8), 65525u) << mib;
}

TEST_F(CardFormat, LabelIsTheProductNameOrTrevanilCutToWhatTheFileSystemHolds) {
    SettingsRecord r;
    EXPECT_EQ(VolumeLabelFor(r), u"Trevanil");
    r.setProductName("ABCDEFGHIJKLMNOP");
    EXPECT_EQ(VolumeLabelFor(r), u"ABCDEFGHIJKLMNOP");
    EXPECT_EQ(PlanCardFormat(Root("card"), r)->label, u"ABCDEFGHIJK");
    r.setProductName("Cam\xE9");
    EXPECT_EQ(VolumeLabelFor(r), u"Cam\u00E9");
}

} // namespace
} // namespace dashcam
