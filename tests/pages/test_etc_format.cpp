// The Format button of the Memory card page, end to end with a formatter that empties the card.
#include <QDialog>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>

#include "i18n/language_table.h"
#include "pages/etc_dlg.h"
#include "platform/prompt.h"
#include "platform/viewer_link.h"
#include "settings/card.h"
#include "settings/card_format.h"
#include "settings/settings_record.h"
#include "support/fake_formatter.h"
#include "support/fake_host.h"
#include "support/fake_viewer.h"
#include "page_test_env.h"
#include "support/temp_dir.h"
#include "ui/dpi_scale.h"
#include "ui/fonts.h"

namespace fs = std::filesystem;
using dashcam::CEtcDlg;
using dashcam::test::ReadBytes;
namespace prompt = dashcam::prompt;

namespace {

using dashcam::test::kSampleCard;

class FormatFlowTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dashcam::test::PreparePageTest());
        CEtcDlg::closePauseMs = 0;

        fs::copy(kSampleCard, card_.path(), fs::copy_options::recursive);
        fs::create_directories(card_ / "DCIM");
        dashcam::test::WriteText(card_ / "DCIM" / "clip.mp4", "video");
        dashcam::test::WriteText(card_ / "lang" / "other.dat", "more");
        dashcam::test::WriteText(program_ / "dashcam-setting", "the program");
        original_ = Snapshot();

        host_.removable = true;
        host_.volumeRoot = card_.root();
        host_.totalBytes = 32ull << 30;
        host_.modulePath = program_.root() + u"dashcam-setting";
        host_.appData = appData_.root();
        ASSERT_TRUE(cardFiles_.LoadSettingsFile(card_.root() + u"setup.cfg"));
        window_ = std::make_unique<QDialog>();
        page_ = new CEtcDlg(cardFiles_, window_.get());
    }
    void TearDown() override {
        window_.reset();
        prompt::Reset();
    }

    // Every file of the card with its bytes.
    std::map<std::string, std::vector<std::uint8_t>> Snapshot() const {
        std::map<std::string, std::vector<std::uint8_t>> files;
        for (const auto& entry : fs::recursive_directory_iterator(card_.path()))
            if (entry.is_regular_file())
                files[fs::relative(entry.path(), card_.path()).generic_string()] = ReadBytes(entry.path());
        return files;
    }
    std::vector<std::u16string> Texts() const {
        std::vector<std::u16string> texts;
        for (const auto& r : prompt::History())
            texts.push_back(r.text);
        return texts;
    }
    void Format(prompt::Answer answer = prompt::Answer::Yes) {
        prompt::QueueAnswer(answer);
        page_->OnFormatButton();
    }

    dashcam::test::TempDir card_;
    dashcam::Card cardFiles_{card_.root()};
    dashcam::test::TempDir program_;
    dashcam::test::TempDir appData_;
    dashcam::test::FakeHost host_;
    dashcam::test::FakeViewer viewer_;
    dashcam::test::FakeFormatter formatter_;
    std::map<std::string, std::vector<std::uint8_t>> original_;
    std::unique_ptr<QDialog> window_;
    CEtcDlg* page_ = nullptr;
};

} // namespace

TEST_F(FormatFlowTest, FormatKeepsExactlyTheCameraFilesAndTheProgram) {
    formatter_.note = u"cluster size: the disk service's default";
    Format();
    ASSERT_EQ(formatter_.requests.size(), 1u);
    const dashcam::FormatRequest& request = formatter_.requests[0];
    EXPECT_EQ(request.volume, card_.root());
    EXPECT_EQ(request.fileSystem, u"FAT32");
    EXPECT_EQ(request.clusterSize, 32768u);
    EXPECT_TRUE(request.quick);

    auto expected = original_;
    for (const char* gone : {"DCIM/clip.mp4", "lang/other.dat"})
        expected.erase(gone);
    expected["dashcam-setting"] = ReadBytes(program_ / "dashcam-setting");
    EXPECT_EQ(Snapshot(), expected);
    EXPECT_FALSE(fs::exists(program_ / "setup.cfg")); // the backups are kept in the user's own folder

    // The question (naming the volume, No by default), the progress popup, the result; the bar went to 100.
    ASSERT_EQ(prompt::History().size(), 3u);
    EXPECT_EQ(prompt::History()[0].kind, prompt::Kind::MessageYesNo);
    EXPECT_TRUE(prompt::History()[0].defaultNo);
    EXPECT_EQ(prompt::History()[0].caption, u"Formatting Memory Card");
    EXPECT_EQ(prompt::History()[0].text, u"Caution: All data will be deleted after formatting the memory card.\r\n"
                                         u"Click 'Yes' to proceed. Click 'No' to cancel.\r\n"
                                         u"a card without a label, 34.4 GB, " + card_.root() + u"\r\n");
    EXPECT_EQ(prompt::History()[1].kind, prompt::Kind::Progress);
    EXPECT_EQ(prompt::History()[2].text,
              u"Formatting memory card complete.\r\n(cluster size: the disk service's default)");
    EXPECT_EQ(dashcam::FormatResult().load(), 1);
    EXPECT_EQ(dashcam::CurrentProgressPopup(), nullptr);
}

TEST_F(FormatFlowTest, NothingHappensWithoutYesACardOrARemovableDrive) {
    Format(prompt::Answer::No);
    // A fixed disk is refused without the question, and the user is told why.
    host_.removable = false;
    page_->OnFormatButton();
    host_.removable = true;
    cardFiles_.MoveTo({});
    page_->OnFormatButton();
    EXPECT_TRUE(formatter_.requests.empty());
    EXPECT_EQ(Snapshot(), original_);
    ASSERT_EQ(prompt::History().size(), 2u);
    EXPECT_EQ(prompt::History()[0].kind, prompt::Kind::MessageYesNo);
    EXPECT_TRUE(prompt::History()[1].warning);
    EXPECT_NE(Texts()[1].find(u"is not a memory card"), std::u16string::npos);
}

TEST_F(FormatFlowTest, FailedFormatStillBringsTheFilesBackAndSaysSo) {
    formatter_.succeed = false;
    Format();
    EXPECT_EQ(ReadBytes(card_ / "setup.cfg"), original_["setup.cfg"]);
    EXPECT_EQ(ReadBytes(card_ / "lang" / "ver.dat"), original_["lang/ver.dat"]);
    const std::u16string failure = dashcam::LookupText(u"IDS_STRING181") + u"\r\n" +
                                   dashcam::LookupText(u"IDS_STRING1810") + u"\r\n";
    EXPECT_EQ(Texts().back(), failure);

    // A format facility that is missing says so first, then the same failure.
    prompt::Reset();
    formatter_.available = false;
    Format();
    const auto texts = Texts();
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[2], u"LoadLibrary(fmifs.dll) failed");
    EXPECT_EQ(texts[3], failure);
}

TEST_F(FormatFlowTest, BackupThatFailsStopsBeforeAnythingIsErased) {
    host_.copyFails = true;
    Format();
    EXPECT_TRUE(formatter_.requests.empty());
    EXPECT_EQ(Snapshot(), original_);
    ASSERT_EQ(prompt::History().size(), 2u);
    EXPECT_NE(Texts().back().find(u"setup.cfg"), std::u16string::npos);
    EXPECT_NE(Texts().back().find(u"Nothing on the card has been changed"), std::u16string::npos);
}

TEST_F(FormatFlowTest, ACardThatDoesNotComeBackKeepsItsBackupsAndItsPath) {
    // The card is not mounted again (say, it was removed during the format).
    formatter_.volumeAfter = u"/proc/no-such-card/";
    Format();
    const std::u16string result = Texts().back();
    EXPECT_EQ(result.rfind(u"Formatting memory card complete.", 0), 0u);
    EXPECT_NE(result.find(u"may have been erased"), std::u16string::npos);
    EXPECT_NE(result.find(appData_.root()), std::u16string::npos);
    EXPECT_TRUE(prompt::History().back().warning);
    EXPECT_EQ(cardFiles_.root(), card_.root());
}

TEST_F(FormatFlowTest, ViewerIsAskedToLetGoAndToldOfALargeCard) {
    viewer_.windows = {u"Pelmora"};
    host_.totalBytes = 60001ull << 20;
    Format();
    ASSERT_EQ(formatter_.requests.size(), 1u);
    EXPECT_EQ(formatter_.requests[0].fileSystem, u"exfat");
    EXPECT_EQ(formatter_.requests[0].clusterSize, 0u);
    using Call = std::pair<std::u16string, std::uint32_t>;
    EXPECT_EQ(viewer_.posted, (std::vector<Call>{{u"Pelmora", 1123u}, {u"Pelmora", 0x0219u}}));
    EXPECT_EQ(viewer_.waited, (std::vector<Call>{{u"EVENT_FILE_PARSING", CEtcDlg::kViewerWaitMs}}));

    // Without a viewer nothing is posted and nothing waits.
    viewer_.windows.clear();
    viewer_.posted.clear();
    viewer_.waited.clear();
    Format();
    EXPECT_TRUE(viewer_.posted.empty());
    EXPECT_TRUE(viewer_.waited.empty());
}
