// Saves that survive interruption: the journal beside setup.cfg and time.dat, the card lock, and loads that
// never take an unreadable setup.cfg for a missing one.
#include <gtest/gtest.h>

#include <filesystem>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "platform/files/card_lock.h"
#include "platform/files/save_journal.h"
#include "platform/prompt.h"
#include "settings/card.h"
#include "settings/settings_record.h"
#include "support/temp_dir.h"

namespace dashcam {
namespace {
namespace fs = std::filesystem;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

// A journal as the earlier version wrote it: "DCJ1", flags, content length, content, CRC-32.
std::vector<std::uint8_t> EarlierJournal(const std::vector<std::uint8_t>& content) {
    std::vector<std::uint8_t> image{'D', 'C', 'J', '1'};
    auto put = [&image](std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            image.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    put(0);
    put(static_cast<std::uint32_t>(content.size()));
    image.insert(image.end(), content.begin(), content.end());
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::uint8_t b : image) {
        crc ^= b;
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    put(~crc);
    return image;
}

std::vector<std::uint8_t> Filled(std::size_t size, std::uint8_t value, std::uint32_t recordLength) {
    std::vector<std::uint8_t> bytes(size, value);
    for (int i = 0; i < 4; ++i)
        bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(recordLength >> (8 * i));
    return bytes;
}

class CardSaves : public ::testing::Test {
protected:
    void SetUp() override { prompt::Reset(); }
    void TearDown() override { CardLock::SetDefaultWait(std::chrono::milliseconds(3000)); }
    std::u16string Path(const std::string& name) const { return dir.root() + std::u16string(name.begin(), name.end()); }
    std::size_t EntryCount() const { return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir.path()), {})); }
    TempDir dir;
    Card card{dir.root()};
};

std::span<const std::uint8_t> Bytes(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// What the file holds as a journal's "before".
SaveJournal::Before Held(const std::vector<std::uint8_t>& bytes) { return {bytes.size(), bytes}; }

TEST_F(CardSaves, CompleteJournalIsFinishedAtLoadAndAnIncompleteOneDropped) {
    const auto old = Filled(600, 0x11, 600);
    const auto fresh = Filled(572, 0x22, 600);
    const auto image = SaveJournal::Image(Held(old), fresh, SaveJournal::Tail::Keep);

    // Cut off after the journal was flushed: the load finishes the save, and the tail stays.
    WriteBytes(dir / "setup.cfg", old);
    WriteBytes(dir / "setup.cfg-journal", image);
    ASSERT_TRUE(card.LoadSettingsFile(Path("setup.cfg")));
    EXPECT_EQ(card.record()->bytes[300], 0x22);
    auto onCard = ReadBytes(dir / "setup.cfg");
    ASSERT_EQ(onCard.size(), 600u);
    EXPECT_EQ(onCard[571], 0x22);
    EXPECT_EQ(onCard[572], 0x11);
    EXPECT_FALSE(fs::exists(dir / "setup.cfg-journal"));

    // Cut off while the journal was written, or a journal damaged on the card: the old content stays.
    std::vector<std::vector<std::uint8_t>> incomplete(3, image);
    incomplete[0].resize(image.size() - 1);
    incomplete[1][200] ^= 1;
    incomplete[2].clear();
    for (const auto& bad : incomplete) {
        WriteBytes(dir / "setup.cfg", old);
        WriteBytes(dir / "setup.cfg-journal", bad);
        ASSERT_TRUE(card.LoadSettingsFile(Path("setup.cfg")));
        EXPECT_EQ(card.record()->bytes[300], 0x11);
        EXPECT_EQ(ReadBytes(dir / "setup.cfg"), old);
        EXPECT_FALSE(fs::exists(dir / "setup.cfg-journal"));
    }
}

// A journal is finished only onto what its save was written over, what it wrote, or what a cut of that write
// leaves; whatever else is there now was written by someone else (the camera) and stays.
TEST_F(CardSaves, AJournalIsFinishedOnlyOntoWhatItWasWrittenFor) {
    const auto old = Filled(600, 0x11, 600);
    const auto fresh = Filled(572, 0x22, 600);
    auto withBytes = [&](std::size_t from, std::size_t to, const std::vector<std::uint8_t>& source) {
        auto bytes = old;
        std::copy(source.begin() + static_cast<std::ptrdiff_t>(from), source.begin() + static_cast<std::ptrdiff_t>(to),
                  bytes.begin() + static_cast<std::ptrdiff_t>(from));
        return bytes;
    };
    auto camera = old;
    camera[300] = 0x33;
    auto fieldReverted = withBytes(0, 572, fresh); // all new but one field the camera set back to the old value
    std::fill(fieldReverted.begin() + 180, fieldReverted.begin() + 184, 0x11);
    struct Case {
        const char* what;
        std::vector<std::uint8_t> onCard;
        bool completed;
    };
    const Case cases[] = {
        {"the old content", old, true},
        {"the new content (the journal's removal failed)", withBytes(0, 572, fresh), true},
        {"the first sector written", withBytes(0, 512, fresh), true},
        {"the second sector written", withBytes(512, 572, fresh), true},
        {"the writing of a sector cut", withBytes(0, 100, fresh), true},
        {"the camera's own write", camera, false},
        {"a field set back by the camera", fieldReverted, false},
        {"the camera's shorter file", Filled(572, 0x11, 600), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteBytes(dir / "setup.cfg", c.onCard);
        WriteBytes(dir / "setup.cfg-journal", SaveJournal::Image(Held(old), fresh, SaveJournal::Tail::Keep));
        ASSERT_TRUE(card.LoadSettingsFile(Path("setup.cfg")));
        EXPECT_EQ(ReadBytes(dir / "setup.cfg"), c.completed ? withBytes(0, 572, fresh) : c.onCard);
        EXPECT_FALSE(fs::exists(dir / "setup.cfg-journal"));
    }

    // A journal of the earlier format cannot tell: the file stays as it is.
    WriteBytes(dir / "setup.cfg", camera);
    WriteBytes(dir / "setup.cfg-journal", EarlierJournal(fresh));
    ASSERT_TRUE(card.LoadSettingsFile(Path("setup.cfg")));
    EXPECT_EQ(ReadBytes(dir / "setup.cfg"), camera);
    EXPECT_FALSE(fs::exists(dir / "setup.cfg-journal"));
}

TEST_F(CardSaves, ClockJournalCompletesTimeDatButNeverBringsBackAConsumedOne) {
    const std::string line = "2015,01,02,03,04,05,+0900";
    const std::vector<std::uint8_t> older(40, 'x');
    const auto image = SaveJournal::Image(Held(older), Bytes(line), SaveJournal::Tail::Truncate);
    WriteBytes(dir / "time.dat", older);
    WriteBytes(dir / "time.dat-journal", image);
    ASSERT_TRUE(card.ReadClockFile(Path("time.dat")));
    EXPECT_EQ(card.clock().timeSyncTime.year, 2015);
    EXPECT_EQ(test::ReadText(dir / "time.dat"), line);

    // The camera took the request (it deletes time.dat) before the card came back: nothing is asked again.
    fs::remove(dir / "time.dat");
    WriteBytes(dir / "time.dat-journal", image);
    WriteBytes(dir / "setup.cfg", Filled(572, 0x11, 572));
    card.LoadCardSettings();
    EXPECT_FALSE(card.ReadClockFile(Path("time.dat")));
    EXPECT_EQ(EntryCount(), 1u); // setup.cfg alone

    // Switching the request off with an interrupted write pending leaves neither file.
    WriteBytes(dir / "time.dat", older);
    WriteBytes(dir / "time.dat-journal", image);
    card.clock().timeSyncRequested = 0;
    ASSERT_TRUE(card.WriteClockFile(Path("time.dat")));
    EXPECT_EQ(EntryCount(), 1u);
}

#ifndef _WIN32
// Another process that holds the card folder's lock for 600 ms from the moment it is made; waited for at the end.
struct OtherProcessLock {
    explicit OtherProcessLock(const std::u16string& root) {
        int ready[2];
        if (::pipe(ready) != 0)
            return;
        child = ::fork();
        if (child == 0) {
            CardLock lock = CardLock::Acquire(root);
            const char c = lock.held() ? 'y' : 'n';
            (void)!::write(ready[1], &c, 1);
            ::usleep(600 * 1000);
            ::_exit(0);
        }
        char c = 0;
        held = child > 0 && ::read(ready[0], &c, 1) == 1 && c == 'y';
        ::close(ready[0]);
        ::close(ready[1]);
    }
    ~OtherProcessLock() {
        int status = 0;
        if (child > 0)
            ::waitpid(child, &status, 0);
    }
    pid_t child = -1;
    bool held = false;
};

// Nothing on a card is written through a symbolic link: neither a save, nor the completion of a journal planted
// beside a link, nor a journal that is itself a link. A hard link is the same file and is written like it.
TEST_F(CardSaves, NothingIsWrittenThroughALinkOnTheCard) {
    TempDir elsewhere;
    const auto victim = Filled(600, 0x77, 600);
    WriteBytes(elsewhere / "victim", victim);
    fs::create_symlink(elsewhere / "victim", dir / "setup.cfg");
    fs::create_symlink(elsewhere / "victim", dir / "time.dat");
    const auto attack = Filled(572, 0x66, 572);
    WriteBytes(dir / "setup.cfg-journal", EarlierJournal(attack));
    WriteBytes(dir / "time.dat-journal", SaveJournal::Image(Held(victim), attack, SaveJournal::Tail::Truncate));
    SettingsRecord& r = card.AllocateRecord();
    card.LoadCardSettings();
    card.ReadClockFile(Path("time.dat"));
    WriteBytes(dir / "setup.cfg-journal", SaveJournal::Image(Held(victim), attack, SaveJournal::Tail::Keep));
    card.LoadSettingsFile(Path("setup.cfg"));
    EXPECT_EQ(ReadBytes(elsewhere / "victim"), victim);
    EXPECT_FALSE(fs::exists(fs::symlink_status(dir / "setup.cfg-journal")));
    EXPECT_FALSE(fs::exists(fs::symlink_status(dir / "time.dat-journal")));

    r.setRecordLength(572);
    EXPECT_FALSE(card.SaveSettingsFile(Path("setup.cfg")));
    EXPECT_NE(card.LastCardFileError().find("symbolic link"), std::string::npos) << card.LastCardFileError();
    card.clock().timeSyncRequested = 1;
    EXPECT_FALSE(card.WriteClockFile(Path("time.dat")));
    EXPECT_EQ(ReadBytes(elsewhere / "victim"), victim);
    EXPECT_TRUE(fs::is_symlink(dir / "setup.cfg"));

    // A journal that is a link is no journal of ours: the link goes, what it points to stays.
    fs::remove(dir / "setup.cfg");
    fs::remove(dir / "time.dat");
    WriteBytes(dir / "setup.cfg", Filled(600, 0x11, 572));
    fs::create_symlink(elsewhere / "victim", dir / "setup.cfg-journal");
    fs::create_hard_link(dir / "setup.cfg", dir / "hard.cfg");
    ASSERT_TRUE(card.LoadCardSettings());
    EXPECT_FALSE(fs::exists(fs::symlink_status(dir / "setup.cfg-journal")));
    r.setParkingMode(2);
    ASSERT_TRUE(card.SaveSettingsFile(Path("setup.cfg"))) << card.LastCardFileError();
    EXPECT_EQ(ReadBytes(elsewhere / "victim"), victim);
    const auto hard = ReadBytes(dir / "hard.cfg");
    ASSERT_EQ(hard.size(), 600u);
    EXPECT_EQ(hard[180], 2);
    EXPECT_EQ(hard[599], 0x11);
    EXPECT_EQ(EntryCount(), 2u);
}

TEST_F(CardSaves, ACardWithNeitherSettingsFileGetsNoSetupFromSave) {
    SettingsRecord& r = card.AllocateRecord();
    EXPECT_FALSE(card.LoadCardSettings());
    EXPECT_FALSE(card.SaveSettingsFile(Path("setup.cfg")));
    EXPECT_NE(card.LastCardFileError().find("neither setup.cfg nor default.cfg"), std::string::npos) << card.LastCardFileError();
    EXPECT_EQ(EntryCount(), 0u);
    // With default.cfg put on the card and loaded on purpose, Save writes.
    WriteBytes(dir / "default.cfg", Filled(572, 0x44, 572));
    ASSERT_TRUE(card.RestoreDefaultSettings(r));
    EXPECT_TRUE(card.SaveSettingsFile(Path("setup.cfg")));
}

TEST_F(CardSaves, SecondProcessWaitsThenFailsWithInUse) {
    WriteBytes(dir / "setup.cfg", Filled(572, 0x11, 572));
    const OtherProcessLock other(dir.root());
    ASSERT_TRUE(other.held);
    SettingsRecord& r = card.AllocateRecord();
    r.setRecordLength(572);
    CardLock::SetDefaultWait(std::chrono::milliseconds(100));
    EXPECT_FALSE(card.SaveSettingsFile(Path("setup.cfg")));
    EXPECT_NE(card.LastCardFileError().find("in use"), std::string::npos) << card.LastCardFileError();
    EXPECT_EQ(ReadBytes(dir / "setup.cfg"), Filled(572, 0x11, 572));
    // Waiting long enough, the save goes through once the other process lets go.
    CardLock::SetDefaultWait(std::chrono::milliseconds(5000));
    EXPECT_TRUE(card.SaveSettingsFile(Path("setup.cfg")));
}
// Loading, reading the clock request and deleting it all wait for the card's lock like a save does, and give up
// with the reason instead of reading or deleting under another program's write.
TEST_F(CardSaves, WhileAnotherProcessHoldsTheCardNothingIsReadOrDeleted) {
    WriteBytes(dir / "setup.cfg", Filled(572, 0x11, 572));
    test::WriteText(dir / "time.dat", "2026,12,10,08,00,00,+0900");
    const OtherProcessLock other(dir.root());
    ASSERT_TRUE(other.held);
    CardLock::SetDefaultWait(std::chrono::milliseconds(100));
    const CardSettingsLoad load = card.LoadCardSettings();
    EXPECT_FALSE(load);
    EXPECT_NE(load.problem.find("in use"), std::string::npos) << load.problem;
    card.clock().timeSyncRequested = 0;
    EXPECT_FALSE(card.ReadClockFile(Path("time.dat")));
    EXPECT_EQ(card.clock().timeSyncRequested, 0u);
    EXPECT_FALSE(card.WriteClockFile(Path("time.dat")));
    EXPECT_NE(card.LastCardFileError().find("in use"), std::string::npos) << card.LastCardFileError();
    EXPECT_TRUE(fs::exists(dir / "time.dat"));
    CardLock::SetDefaultWait(std::chrono::milliseconds(5000));
}
#endif

// One process holds its own card once, however the folder is spelled (dashcam-cfg apply P ./card card/).
TEST_F(CardSaves, TheLockIsOneForEachFolderWhateverItsSpelling) {
    CardLock::SetDefaultWait(std::chrono::milliseconds(100));
    const CardLock first = CardLock::Acquire(dir.root());
    ASSERT_TRUE(first.held());
    fs::create_directory(dir / "sub");
    const std::u16string other = dir.root() + u"sub" + std::u16string(1, fs::path::preferred_separator) + u"..";
    const CardLock second = CardLock::Acquire(other);
    EXPECT_TRUE(second.held()) << second.message();
}

TEST_F(CardSaves, UnreadableSetupIsNeverReplacedByTheDefaults) {
    fs::create_directory(dir / "setup.cfg");
    WriteBytes(dir / "default.cfg", Filled(572, 0x33, 572));
    SettingsRecord& r = card.AllocateRecord();
    const CardSettingsLoad load = card.LoadCardSettings();
    EXPECT_FALSE(load);
    EXPECT_FALSE(load.problem.empty());
    EXPECT_EQ(r.bytes[300], 0x33); // the defaults are shown
    EXPECT_FALSE(card.SaveSettingsFile(Path("setup.cfg")));
    EXPECT_NE(card.LastCardFileError().find("Initialize"), std::string::npos) << card.LastCardFileError();
    EXPECT_TRUE(fs::is_directory(dir / "setup.cfg"));
}

TEST_F(CardSaves, SaveNeverReplacesWhatAnotherProgramSavedSinceTheCardWasOpened) {
    WriteBytes(dir / "setup.cfg", Filled(600, 0x11, 572));
    SettingsRecord& r = card.AllocateRecord();
    ASSERT_TRUE(card.LoadCardSettings());
    r.setParkingMode(2);
    // Our own saves follow one another.
    ASSERT_TRUE(card.SaveSettingsFile(Path("setup.cfg")));
    r.setParkingMode(0);
    ASSERT_TRUE(card.SaveSettingsFile(Path("setup.cfg")));

    const auto theirs = Filled(600, 0x55, 572);
    WriteBytes(dir / "setup.cfg", theirs);
    EXPECT_FALSE(card.SaveSettingsFile(Path("setup.cfg")));
    EXPECT_NE(card.LastCardFileError().find("changed by another program"), std::string::npos) << card.LastCardFileError();
    EXPECT_EQ(ReadBytes(dir / "setup.cfg"), theirs);
    // Opened again, the card is ours to save.
    ASSERT_TRUE(card.LoadCardSettings());
    EXPECT_TRUE(card.SaveSettingsFile(Path("setup.cfg")));
}

TEST_F(CardSaves, MissingSetupShowsTheDefaultsWithTheirOwnRetainedFields) {
    auto defaults = Filled(572, 0x44, 572);
    WriteBytes(dir / "default.cfg", defaults);
    SettingsRecord& r = card.AllocateRecord();
    const CardSettingsLoad load = card.LoadCardSettings();
    EXPECT_TRUE(load);
    EXPECT_EQ(load.source, CardSettingsLoad::Source::Defaults);
    EXPECT_EQ(r.retainedValue(), 0x44444444u);
    EXPECT_TRUE(std::equal(r.bytes.begin(), r.bytes.end(), defaults.begin()));
}

} // namespace
} // namespace dashcam
