// dashcam-cfg's commands called in process, as the program calls them: the words, what they printed, the status.
#include <gtest/gtest.h>

#include <filesystem>

#ifndef _WIN32
#include <csignal>
#include <signal.h>
#endif

#include "cli/command_line.h"
#include "platform/deferred_interrupts.h"
#include "settings/settings_record.h"
#include "support/fake_host.h"
#include "support/temp_dir.h"

namespace dashcam {
namespace {
namespace fs = std::filesystem;
using test::ReadBytes;
using test::TempDir;

struct Printed : cli::Console {
    std::string in, out, err;
    void Out(std::string_view text) override { out += text; }
    void Err(std::string_view text) override { err += text; }
    bool In(std::string& bytes, std::size_t limit, std::string&) override {
        bytes = in.substr(0, limit + 1);
        return true;
    }
};

struct Result {
    int status;
    std::string out, err;
};

Result Cfg(const std::vector<std::string>& words, const std::string& input = {}) {
    Printed printed;
    printed.in = input;
    const int status = cli::RunCommandLine(words, printed);
    return {status, printed.out, printed.err};
}

void PutU32(std::vector<std::uint8_t>& b, std::size_t o, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[o + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

fs::path NewCard(const TempDir& dir, const std::string& name) {
    const fs::path card = dir.path() / name;
    fs::copy(fs::path(DASHCAM_SOURCE_DIR) / "examples/card", card, fs::copy_options::recursive);
    return card;
}

TEST(CommandLine, ShellConventionsAndHints) {
    TempDir dir;
    const fs::path card = NewCard(dir, "--odd card");
    // --opt=value, and -- before an argument that looks like an option.
    Result r = Cfg({"clock", "--at=2014-05-06 13:45:07", "--", card.string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(test::ReadText(card / "time.dat").substr(0, 19), "2014,05,06,13,45,07");

    r = Cfg({"shwo", card.string()});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("did you mean 'show'"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << "one line, not the whole usage";
    r = Cfg({"set", card.string(), "recordTimerHour=48"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("did you mean 'recordTimerHours'"), std::string::npos) << r.err;
    r = Cfg({"show", card.string(), "--jsno"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("'--json'"), std::string::npos) << r.err;
    EXPECT_EQ(Cfg({"show"}).status, 2);
    EXPECT_EQ(Cfg({"clock", card.string(), "--at"}).status, 2);
    EXPECT_EQ(Cfg({"text", "IDS_STRING101", "--lang", "french", "--lang", "german"}).status, 2);

    // help CMD is CMD --help; the overview names every command.
    EXPECT_EQ(Cfg({"help", "set"}).out, Cfg({"set", "--help"}).out);
    const std::string overview = Cfg({"--help"}).out;
    for (const cli::Command& c : cli::Commands())
        EXPECT_NE(overview.find("\n  " + c.name + " "), std::string::npos) << c.name;
    EXPECT_EQ(Cfg({"--version"}).out.rfind("dashcam-cfg ", 0), 0u);
    EXPECT_EQ(Cfg({"help", "frobnicate"}).status, 2);
}

TEST(CommandLine, ShowNamesItsSourceAndFailuresCarryTheReason) {
    TempDir dir;
    const fs::path card = NewCard(dir, "card");
    Result r = Cfg({"show", card.string(), "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\"source\": \"setup.cfg\""), std::string::npos);
    fs::remove(card / "setup.cfg");
    EXPECT_NE(Cfg({"show", card.string(), "--json"}).out.find("\"source\": \"default.cfg\""), std::string::npos);
    fs::remove(card / "default.cfg");
    r = Cfg({"show", card.string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.rfind("dashcam-cfg: no default.cfg :" + card.string(), 0), 0u) << r.err;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << "one line for one problem";
    r = Cfg({"get", (dir.path() / "gone").string(), "parkingMode"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("No such file or directory"), std::string::npos) << r.err;
}

TEST(CommandLine, SetAndRestoreSayWhenTheRecordLengthKeepsAnEditOffTheCard) {
    TempDir dir;
    const fs::path card = NewCard(dir, "card");
    auto setup = ReadBytes(card / "setup.cfg");
    PutU32(setup, 0, 300); // a save writes bytes 0-299 only
    test::WriteBytes(card / "setup.cfg", setup);
    // Below the length the edit is saved; beyond it nothing is saved and the status says so.
    ASSERT_EQ(Cfg({"set", card.string(), "recordTimerHours=48"}).status, 0);
    setup = ReadBytes(card / "setup.cfg");
    Result r = Cfg({"set", card.string(), "recordTimerHours=6", "speedUnit=1"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("speedUnit"), std::string::npos) << r.err;
    EXPECT_EQ(ReadBytes(card / "setup.cfg"), setup);

    // Factory settings that say their length is 0 never become an empty setup.cfg.
    fs::remove(card / "setup.cfg");
    auto defaults = ReadBytes(card / "default.cfg");
    PutU32(defaults, 0, 0);
    test::WriteBytes(card / "default.cfg", defaults);
    EXPECT_EQ(Cfg({"set", card.string(), "parkingMode=1"}).status, 1);
    EXPECT_EQ(Cfg({"restore-defaults", card.string()}).status, 1);
    EXPECT_FALSE(fs::exists(card / "setup.cfg"));
}

TEST(CommandLine, ExportThenApplyCarriesTheEditableFieldsOnly) {
    TempDir dir;
    const fs::path sample = NewCard(dir, "sample");
    ASSERT_EQ(Cfg({"set", sample.string(), "recordTimerHours=48", "speedUnit=1", "timeZoneName=Tokyo Standard Time",
                   "timeZoneBias=540", "memoryPartition=3"})
                  .status,
              0);
    const fs::path profile = dir.path() / "fleet.json";
    Result r = Cfg({"export", sample.string(), "--output", profile.string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(test::ReadText(profile).find("\"productName\": \"KESTRAVON Z910\""), std::string::npos);

    std::vector<fs::path> cards;
    std::vector<std::vector<std::uint8_t>> before;
    for (const char* name : {"a", "b", "c"}) {
        cards.push_back(NewCard(dir, name));
        before.push_back(ReadBytes(cards.back() / "setup.cfg"));
    }
    const fs::path broken = NewCard(dir, "broken");
    fs::remove(broken / "setup.cfg");
    fs::create_directory(broken / "setup.cfg"); // cannot be read, so it is never replaced

    r = Cfg({"apply", profile.string(), cards[0].string(), "--dry-run"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("recordTimerHours: 24 -> 48"), std::string::npos) << r.out;
    EXPECT_EQ(ReadBytes(cards[0] / "setup.cfg"), before[0]);

    r = Cfg({"apply", profile.string(), cards[0].string(), broken.string(), cards[1].string(), cards[2].string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("failed " + broken.string() + "\n"), std::string::npos) << r.out;
    const auto wanted = ReadBytes(sample / "setup.cfg");
    for (std::size_t i = 0; i < cards.size(); ++i) {
        EXPECT_NE(r.out.find("applied " + cards[i].string()), std::string::npos) << r.out;
        const auto after = ReadBytes(cards[i] / "setup.cfg");
        ASSERT_EQ(after.size(), before[i].size());
        EXPECT_EQ(Cfg({"diff", (sample / "setup.cfg").string(), (cards[i] / "setup.cfg").string()}).status, 0);
        for (std::size_t b = 0; b < after.size(); ++b) {
            bool editable = false;
            for (const char* name : {"recordTimerHours", "speedUnit", "timeZoneName", "timeZoneBias",
                                            "memoryPartition"}) {
                const FieldInfo* f = FindSettingsField(name);
                editable = editable || (b >= f->offset && b < f->offset + f->width);
            }
            EXPECT_EQ(after[b], editable ? wanted[b] : before[i][b]) << "byte " << b;
        }
    }

    // "-" is standard output and standard input.
    r = Cfg({"export", sample.string(), "--output", "-"});
    EXPECT_EQ(r.out, test::ReadText(profile));
    EXPECT_FALSE(fs::exists(fs::current_path() / "-"));
    const fs::path piped = NewCard(dir, "piped");
    r = Cfg({"apply", "-", piped.string()}, r.out);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Cfg({"diff", (sample / "setup.cfg").string(), (piped / "setup.cfg").string()}).status, 0);

    // Another product's profile is refused unless forced.
    auto other = ReadBytes(cards[0] / "setup.cfg");
    other[8] = 'X';
    test::WriteBytes(cards[0] / "setup.cfg", other);
    EXPECT_EQ(Cfg({"apply", profile.string(), cards[0].string()}).status, 1);
    EXPECT_EQ(Cfg({"apply", profile.string(), cards[0].string(), "--force"}).status, 0);
    test::WriteText(dir.path() / "bad.json", "{\"format\": \"dashcam-cfg profile\", \"formatVersion\": 1, "
                                             "\"productName\": \"KESTRAVON Z910\", \"fields\": {\"recordLength\": 3}}");
    EXPECT_EQ(Cfg({"apply", (dir.path() / "bad.json").string(), cards[1].string()}).status, 1);
}

std::uint32_t U32At(const std::vector<std::uint8_t>& b, std::size_t o) {
    return b[o] | b[o + 1] << 8 | b[o + 2] << 16 | static_cast<std::uint32_t>(b[o + 3]) << 24;
}

TEST(CommandLine, ProfilesCarryTheLanguageCodeAndTheMonthBoxesOnly) {
    TempDir dir;
    const fs::path sample = NewCard(dir, "sample"); // en de fr es it pt
    ASSERT_EQ(Cfg({"set", sample.string(), "deviceLanguage=1", "winterMonthMask=3"}).status, 0);
    const fs::path profile = dir.path() / "p.json";
    ASSERT_EQ(Cfg({"export", sample.string(), "--output", profile.string()}).status, 0);
    EXPECT_NE(test::ReadText(profile).find("\"deviceLanguage\": \"de\""), std::string::npos);

    // German is the fourth language of this card; its month bits above the boxes stay.
    const fs::path other = NewCard(dir, "other");
    test::WriteText(other / "lang/ver.dat", " Ver: 1.0\n Code: en ko ja de\n");
    auto setup = ReadBytes(other / "setup.cfg");
    PutU32(setup, 432, 0x90);
    test::WriteBytes(other / "setup.cfg", setup);
    Result r = Cfg({"apply", profile.string(), other.string()});
    ASSERT_EQ(r.status, 0) << r.err;
    setup = ReadBytes(other / "setup.cfg");
    EXPECT_EQ(U32At(setup, 428), 3u);
    EXPECT_EQ(U32At(setup, 432), 0x83u);

    // A card without German fails and keeps its record.
    test::WriteText(other / "lang/ver.dat", " Ver: 1.0\n Code: en ko ja\n");
    r = Cfg({"apply", profile.string(), other.string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("\"de\" is not in the card's language list (en ko ja)"), std::string::npos) << r.err;
    EXPECT_EQ(ReadBytes(other / "setup.cfg"), setup);
}

TEST(CommandLine, ProfilesThatCannotBeTrustedAreRefusedWithTheReason) {
    TempDir dir;
    const fs::path card = NewCard(dir, "card");
    const auto before = ReadBytes(card / "setup.cfg");
    const std::string head = "{\"format\": \"dashcam-cfg profile\", \"productName\": \"KESTRAVON Z910\", ";
    const std::pair<std::string, std::string> refused[] = {
        {head + "\"formatVersion\": \"1\", \"fields\": {}}", "formatVersion the text \"1\";"},
        {head + "\"formatVersion\": 1.0, \"fields\": {}}", "formatVersion 1.0;"},
        {head + "\"formatVersion\": 2, \"fields\": {\"speedUnit\": 1234567890123456789}}",
         "speedUnit 1234567890123456789 is out of range"},
        {head + "\"formatVersion\": 1, \"fields\": {\"speedUnit\": 1, \"speedUnit\": 0}}",
         "\"speedUnit\" given twice"},
        {head + "\"formatVersion\": 1, \"fields\": {}}" + std::string(1 << 20, ' '), "larger than 1 MiB"},
    };
    for (const auto& [profile, reason] : refused) {
        test::WriteText(dir.path() / "p.json", profile);
        const Result r = Cfg({"apply", (dir.path() / "p.json").string(), card.string()});
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find(reason), std::string::npos) << r.err;
    }
    EXPECT_EQ(ReadBytes(card / "setup.cfg"), before);
}

TEST(CommandLine, FieldsListsWhatSetAccepts) {
    TempDir dir;
    const fs::path card = NewCard(dir, "card");
    const Result r = Cfg({"fields", "--json"});
    ASSERT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("{\"name\": \"recordTimerHours\", \"type\": \"unsigned\", \"values\": [6, 12, 24, 48]"),
              std::string::npos)
        << r.out;
    // Every listed value of the plain list is one that set stores without --force.
    for (const std::string& line : {std::string("motionSensitivity"), std::string("memoryPartition")}) {
        const std::string plain = Cfg({"fields"}).out;
        const std::size_t at = plain.find(line + "\t");
        ASSERT_NE(at, std::string::npos);
        const std::string values = plain.substr(plain.find('\t', at + line.size() + 1) + 1,
                                                plain.find('\n', at) - plain.find('\t', at + line.size() + 1) - 1);
        for (const char* v : {"0", "1", "3", "5"})
            EXPECT_EQ(Cfg({"set", card.string(), line + "=" + v}).status == 0,
                      values.find(v) != std::string::npos && (values.find('-') == std::string::npos || *v != '0'))
                << line << "=" << v << " against " << values;
    }
}

TEST(CommandLine, DiffExitsOneWhenTheFilesDifferAndCountsTheTail) {
    TempDir dir;
    const fs::path card = NewCard(dir, "card");
    const std::string setup = (card / "setup.cfg").string();
    EXPECT_EQ(Cfg({"diff", setup, setup}).status, 0);
    auto longer = ReadBytes(card / "setup.cfg");
    longer.resize(600, 0x55);
    test::WriteBytes(dir.path() / "long.cfg", longer);
    const Result r = Cfg({"diff", setup, (dir.path() / "long.cfg").string(), "--json"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("\"bytesPastRecord\": 28"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"fields\": {}"), std::string::npos) << r.out;
    EXPECT_EQ(Cfg({"diff", setup, (dir.path() / "none.cfg").string()}).status, 1);

    // Card folders are loaded as the other commands load them: without setup.cfg, default.cfg.
    const fs::path other = NewCard(dir, "other");
    EXPECT_EQ(Cfg({"diff", card.string(), other.string()}).status, 0);
    fs::remove(other / "setup.cfg");
    Result folders = Cfg({"diff", card.string(), other.string()});
    EXPECT_EQ(folders.status, 1);
    EXPECT_NE(folders.out.find("recordTimerHours: 24 -> 12\n"), std::string::npos) << folders.out;
    // A profile is no settings record.
    const fs::path profile = dir.path() / "p.json";
    ASSERT_EQ(Cfg({"export", card.string(), "--output", profile.string()}).status, 0);
    folders = Cfg({"diff", setup, profile.string()});
    EXPECT_EQ(folders.status, 1);
    EXPECT_NE(folders.err.find("not a settings record"), std::string::npos) << folders.err;
}

TEST(CommandLine, LanguagesPairsAndARegularFileOnly) {
    TempDir dir;
    const fs::path card = NewCard(dir, "card");
    test::WriteText(card / "lang/ver.dat", " Ver: 1.0\n Code: en xx ko\n");
    Result r = Cfg({"languages", card.string(), "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("{\"code\": \"xx\", \"name\": null},\n    {\"code\": \"ko\", \"name\": \"Korean\"}"),
              std::string::npos)
        << r.out;
    fs::remove(card / "lang/ver.dat");
    fs::create_directory(card / "lang/ver.dat");
    r = Cfg({"languages", card.string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("ver.dat: "), std::string::npos) << r.err; // with the reason
}

// A host on which only the folders named "card…" are on a removable drive.
struct CardReaderHost : test::FakeHost {
    bool IsOnRemovableDrive(const std::u16string& folder) override {
        return folder.find(u"card") != std::u16string::npos;
    }
};

TEST(CommandLine, ClockNowAndCardsComeFromTheHost) {
    CardReaderHost host;
    host.bias = -540;
    TempDir dir;
    const fs::path card = NewCard(dir, "card");
    ASSERT_EQ(Cfg({"clock", card.string(), "--now"}).status, 0);
    EXPECT_EQ(test::ReadText(card / "time.dat"), "2014,05,06,13,45,07,+0900");

    fs::create_directory(dir.path() / "empty");
    const fs::path fixed = NewCard(dir, "fixed");
    const fs::path spaced = NewCard(dir, "card NO NAME");
    host.volumes = {fixed.u16string() + u'/', (dir.path() / "empty").u16string() + u'/', card.u16string() + u'/',
                    spaced.u16string() + u'/'};
    Result r = Cfg({"cards"});
    ASSERT_EQ(r.status, 0);
    // A volume without setup.cfg is no card; one on a fixed disk outside the places for removable media is not
    // offered either.
    EXPECT_EQ(r.out, card.string() + "/\n" + spaced.string() + "/\n");
    r = Cfg({"cards", "--null"});
    EXPECT_EQ(r.out, card.string() + "/" + '\0' + spaced.string() + "/" + '\0');
}

#ifndef _WIN32
int g_interrupts = 0;

TEST(CommandLine, AnInterruptDuringASaveWaitsUntilTheSaveIsDone) {
    struct sigaction count {}, previous{};
    count.sa_handler = [](int) { ++g_interrupts; };
    sigaction(SIGTERM, &count, &previous);
    {
        DeferredInterrupts hold;
        ::raise(SIGTERM);
        EXPECT_EQ(g_interrupts, 0);
    }
    EXPECT_EQ(g_interrupts, 1);
    sigaction(SIGTERM, &previous, nullptr);
}
#endif

} // namespace
} // namespace dashcam
