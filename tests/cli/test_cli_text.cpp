// dashcam-cfg text, run as a translator or a script would.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <filesystem>
#include <string>
#include <vector>

#include "support/run_process.h"
#include "support/temp_dir.h"

namespace dashcam {
namespace {
using test::ProcessResult;
using test::RunProgram;
using test::TempDir;
using test::WriteBytes;

ProcessResult Text(std::vector<std::string> args) {
    args.insert(args.begin(), "text");
    return RunProgram("dashcam-cfg", args);
}

std::vector<std::uint8_t> Utf16File(const std::u16string& text) {
    std::vector<std::uint8_t> bytes = {0xFF, 0xFE};
    for (char16_t c : text) {
        bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    return bytes;
}

TEST(CliText, PrintsTheTextExactlyInUtf8) {
    ProcessResult r = Text({"IDS_STRING101", "--lang", "GERMAN"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Dashcam-Einstellungen\n");
    EXPECT_EQ(Text({"IDS_STRING101"}).out, "Dash Cam Settings\n");
    EXPECT_EQ(Text({"ids_string340"}).out, "Mobile Speed Trap Notification \n"); // trailing space kept
    EXPECT_EQ(Text({"IDS_STRING101", "--lang", "korean"}).out,
              "\xEB\xB8\x94\xEB\x9E\x99\xEB\xB0\x95\xEC\x8A\xA4 "
              "\xEC\x84\xA4\xEC\xA0\x95\n");
    EXPECT_EQ(Text({"IDS_STRING310", "--lang", "thai"}).out, "Apply?\n");
    EXPECT_EQ(Text({"IDS_STRING3500"}).out, " \n");
    // A key that no window shows is a slip, not an empty text.
    ProcessResult missing = Text({"IDS_STRING999", "--lang", "french"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_NE(missing.err.find("did you mean"), std::string::npos) << missing.err;
}

TEST(CliText, FontSection) {
    EXPECT_EQ(Text({"DEFAULT_UI_FACENAME", "--section", "font", "--lang", "thai"}).out, "dotum\n");
    EXPECT_EQ(Text({"DEFAULT_UI_CHARSET", "--section", "FONT", "--lang", "chinesesimplified"}).out, "134\n");
    EXPECT_EQ(Text({"DEFAULT_UI_FACENAME"}).status, 1); // not a text of the text section
}

TEST(CliText, UnknownLanguageShowsErrorLoadingAndFails) {
    ProcessResult r = Text({"IDS_STRING101", "--lang", "klingon"});
    EXPECT_EQ(r.out, "Error Loading\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("klingon"), std::string::npos);
}

TEST(CliText, LanguageFilePreviewsADraftOverEnglish) {
    TempDir dir;
    WriteBytes(dir / "draft.lng", Utf16File(u"[text]\r\nIDS_STRING101=\"Ajustes\\nde la c\u00E1mara\"\r\n"
                                            u"IDS_STRING108=\"\"\r\n"));
    ProcessResult r = Text({"IDS_STRING101", "--lang-file", (dir / "draft.lng").string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Ajustes\nde la c\xC3\xA1mara\n");
    EXPECT_EQ(Text({"IDS_STRING108", "--lang-file", (dir / "draft.lng").string()}).out, "Save\n");

    ProcessResult unreadable = Text({"IDS_STRING101", "--lang-file", (dir / "none.lng").string()});
    EXPECT_EQ(unreadable.status, 1);
    EXPECT_EQ(unreadable.out, "");
    EXPECT_NE(unreadable.err.find("none.lng"), std::string::npos);

    WriteBytes(dir / "tiny.lng", {0x41});
    ProcessResult tiny = Text({"IDS_STRING101", "--lang-file", (dir / "tiny.lng").string()});
    EXPECT_EQ(tiny.status, 1);
    EXPECT_EQ(tiny.out, "");
#ifndef _WIN32
    // A folder or a FIFO is refused at once, with the reason, instead of aborting or waiting for a writer.
    ASSERT_EQ(::mkfifo((dir / "pipe.lng").c_str(), 0600), 0);
    for (const char* name : {"pipe.lng", "."}) {
        ProcessResult refused = Text({"IDS_STRING101", "--lang-file", (dir / name).string()});
        EXPECT_EQ(refused.status, 1) << name;
        EXPECT_NE(refused.err.find(": it is "), std::string::npos) << refused.err;
    }
#endif
}

TEST(CliText, ListsTheTwelveLanguages) {
    ProcessResult r = Text({"--list-languages"});
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "english\nfrench\ngerman\nitalian\njapanese\nportuguese\nrussian\nspanish\nkorean\nthai\n"
              "chinesesimplified\nchinesetraditional\n");
    for (std::string name : {"english", "french", "german", "italian", "japanese", "portuguese", "russian",
                             "spanish", "korean", "thai", "chinesesimplified", "chinesetraditional"}) {
        ProcessResult t = Text({"IDS_STRING107", "--lang", name});
        EXPECT_EQ(t.status, 0) << name;
        EXPECT_GT(t.out.size(), 1u) << name;
    }
}

TEST(CliText, UsageErrors) {
    EXPECT_EQ(Text({}).status, 2);
    EXPECT_EQ(Text({"A", "B"}).status, 2);
    EXPECT_EQ(Text({"A", "--lang"}).status, 2);
    EXPECT_EQ(Text({"A", "--lang", "french", "--lang", "german"}).status, 2);
    EXPECT_EQ(Text({"A", "--colour"}).status, 2);
    EXPECT_EQ(Text({"A", "--lang", "french", "--lang-file", "x.lng"}).status, 2);
    EXPECT_EQ(Text({"--list-languages", "A"}).status, 2);
    ProcessResult help = Text({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--lang-file"), std::string::npos);
}

} // namespace
} // namespace dashcam
