// The menu's launcher against mount tables of a test's choosing: no card, one, two, and a card that comes later.
#include <QAbstractButton>
#include <QInputDialog>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "launcher/card_launcher.h"
#include "settings/mounted_cards.h"
#include "platform/prompt.h"
#include "support/fake_host.h"
#include "support/temp_dir.h"

namespace dashcam {
namespace {

using test::FakeHost;
using test::TempDir;

class CardLauncherTest : public ::testing::Test {
protected:
    // The test's volumes are removable drives of the user's own unless a test says otherwise.
    CardLauncherTest() { host.removable = true; }

    // A mounted volume, with a setup.cfg at its root or without.
    std::u16string Volume(TempDir& dir, bool card) {
        if (card)
            test::WriteBytes(dir / "setup.cfg", std::vector<std::uint8_t>(572, 0));
        host.volumes.push_back(dir.root());
        return dir.root();
    }

    FakeHost host;
    TempDir a, b, c;
    CardLauncher launcher{QStringLiteral("/opt/x/dashcam-setting"), u"english"};
    QSignalSpy finished{&launcher, &CardLauncher::finished};
};

TEST_F(CardLauncherTest, OnlyVolumesWithASetupFileAreCards) {
    Volume(a, false);
    const std::u16string card = Volume(b, true);
    std::filesystem::create_directory(c / "setup.cfg"); // a folder of that name is no card
    host.volumes.push_back(c.root());
    EXPECT_EQ(FindMountedCards(), std::vector<std::u16string>{card});
}

#ifndef _WIN32
// A folder with a setup.cfg is offered only when it is the user's removable card: not a mount on a fixed disk
// outside the desktop's places for removable media (a tmpfs under /dev/shm), not a mount another user owns.
TEST_F(CardLauncherTest, OnlyTheUsersOwnRemovableCardsAreOffered) {
    const std::u16string card = Volume(a, true);
    Volume(b, true);
    // Only root can give a folder away; other users' runs check the rest.
    if (::chown(b.path().c_str(), ::geteuid() + 1, static_cast<gid_t>(-1)) == 0) {
        EXPECT_EQ(FindMountedCards(), std::vector<std::u16string>{card});
    }
    host.removable = false;
    EXPECT_TRUE(FindMountedCards().empty());
    launcher.SetRescanInterval(10);
    launcher.Start();
    QTest::qWait(50);
    EXPECT_TRUE(host.starts.empty());
    EXPECT_NE(launcher.waitingBox(), nullptr);
}
#endif

TEST_F(CardLauncherTest, OneCardOpensTheEditorAtOnce) {
    Volume(a, false);
    const std::u16string card = Volume(b, true);
    launcher.Start();
    ASSERT_EQ(host.starts.size(), 1u);
    EXPECT_EQ(host.starts[0].program, u"/opt/x/dashcam-setting");
    EXPECT_EQ(host.starts[0].argument, card);
    EXPECT_EQ(launcher.picker(), nullptr);
    EXPECT_EQ(launcher.waitingBox(), nullptr);
    ASSERT_EQ(finished.size(), 1);
    EXPECT_TRUE(finished[0][0].toBool());
}

TEST_F(CardLauncherTest, SeveralCardsLetTheUserPick) {
    Volume(a, true);
    const std::u16string second = Volume(b, true);
    launcher.Start();
    ASSERT_NE(launcher.picker(), nullptr);
    EXPECT_TRUE(host.starts.empty());
    launcher.picker()->setTextValue(QString::fromStdU16String(second));
    launcher.picker()->accept();
    ASSERT_EQ(host.starts.size(), 1u);
    EXPECT_EQ(host.starts[0].argument, second);
    EXPECT_TRUE(finished[0][0].toBool());
}

TEST_F(CardLauncherTest, WaitsForACardAndGoesOnWhenOneIsMounted) {
    launcher.SetRescanInterval(10);
    Volume(a, false);
    launcher.Start();
    ASSERT_NE(launcher.waitingBox(), nullptr);
    EXPECT_EQ(launcher.waitingBox()->text(), CardLauncher::WaitingText(u"english"));
    QTest::qWait(50);
    EXPECT_TRUE(host.starts.empty());

    const std::u16string card = Volume(b, true);
    ASSERT_TRUE(finished.wait(2000));
    ASSERT_EQ(host.starts.size(), 1u);
    EXPECT_EQ(host.starts[0].argument, card);
    EXPECT_EQ(launcher.waitingBox(), nullptr);
}

TEST_F(CardLauncherTest, CancelWhileWaitingEndsWithoutStartingAnything) {
    launcher.SetRescanInterval(10);
    launcher.Start();
    ASSERT_NE(launcher.waitingBox(), nullptr);
    launcher.waitingBox()->button(QMessageBox::Cancel)->click();
    ASSERT_EQ(finished.size(), 1);
    EXPECT_FALSE(finished[0][0].toBool());
    Volume(a, true); // a card mounted afterwards is left alone
    QTest::qWait(50);
    EXPECT_TRUE(host.starts.empty());
    EXPECT_EQ(finished.size(), 1);
}

TEST_F(CardLauncherTest, AnEditorThatCannotStartIsSaidAndEndsAsAFailure) {
    prompt::Reset();
    host.startFails = true;
    Volume(a, true);
    launcher.Start();
    ASSERT_EQ(prompt::History().size(), 1u);
    EXPECT_NE(prompt::History()[0].text.find(u"could not be started: /opt/x/dashcam-setting"), std::u16string::npos);
    ASSERT_EQ(finished.size(), 1);
    EXPECT_FALSE(finished[0][0].toBool());
    prompt::Reset();
}

TEST_F(CardLauncherTest, TheRequestForTheCardSpeaksTheInterfaceLanguage) {
    CardLauncher german(QStringLiteral("dashcam-setting"), u"german");
    german.Start();
    ASSERT_NE(german.waitingBox(), nullptr);
    EXPECT_TRUE(german.waitingBox()->text().startsWith(QStringLiteral("Legen Sie die Speicherkarte")));
    // A language without texts of its own falls back to English.
    EXPECT_EQ(CardLauncher::WaitingText(u"klingon"), CardLauncher::WaitingText(u"english"));
}

} // namespace
} // namespace dashcam
