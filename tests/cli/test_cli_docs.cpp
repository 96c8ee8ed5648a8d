// dashcam-cfg's manual page, bash completion and README reference agree with its command declarations.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>

#include "support/run_process.h"
#include "support/temp_dir.h"

namespace dashcam {
namespace {
namespace fs = std::filesystem;

// The command names as the overview lists them.
std::set<std::string> DeclaredCommands() {
    const std::string overview = test::RunProgram("dashcam-cfg", {"--help"}).out;
    std::set<std::string> names;
    const std::string block = overview.substr(overview.find("commands:\n"));
    const std::regex row("\n  ([a-z-]+) ");
    for (auto it = std::sregex_iterator(block.begin(), block.end(), row); it != std::sregex_iterator(); ++it)
        names.insert((*it)[1]);
    return names;
}

test::ProcessResult Bash(const std::string& script) {
    return test::RunProgram("/bin/bash", {"-c", script}, {"PATH=" DASHCAM_BIN_DIR ":/usr/bin:/bin"});
}

TEST(CfgDocs, ManPageRendersCleanlyAndNamesEveryCommand) {
    test::TempDir dir;
    const std::string page = (dir / "dashcam-cfg.1").string();
    const auto r = Bash("dashcam-cfg help --man > '" + page + "' && MANWIDTH=100 man --warnings -l '" + page + "'");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const std::set<std::string> commands = DeclaredCommands();
    ASSERT_GE(commands.size(), 15u);
    for (const std::string& name : commands)
        EXPECT_NE(r.out.find("dashcam-cfg " + name), std::string::npos) << name;
    EXPECT_NE(r.out.find("QT_LOGGING_RULES"), std::string::npos);
    for (const char* part : {"\nFILES\n", "\nEXAMPLES\n", "cards --null | xargs -0r dashcam-cfg apply fleet.json",
                             "\nSEE ALSO\n", "dashcam-setting(1)"})
        EXPECT_NE(r.out.find(part), std::string::npos) << part;
    // What set --help says is what the page says.
    EXPECT_NE(r.out.find("--force"), std::string::npos);
}

TEST(CfgDocs, BashCompletesCommandsOptionsAndFieldNames) {
    const std::string load = "source <(dashcam-cfg help --bash-completion) && ";
    auto complete = [&](const std::string& words, int index) {
        return Bash(load + "COMP_WORDS=(" + words + "); COMP_CWORD=" + std::to_string(index) +
                    "; _dashcam_cfg; echo \"${COMPREPLY[*]}\"")
            .out;
    };
    EXPECT_EQ(complete("dashcam-cfg se", 1), "set\n");
    EXPECT_EQ(complete("dashcam-cfg restore", 1), "restore-defaults\n");
    EXPECT_EQ(complete("dashcam-cfg set /tmp recordTi", 3), "recordTimerHours=\n");
    EXPECT_EQ(complete("dashcam-cfg set /tmp parkingMode=1 speedU", 4), "speedUnit=\n");
    EXPECT_EQ(complete("dashcam-cfg get /tmp productN", 3), "productName\n");
    EXPECT_EQ(complete("dashcam-cfg show /tmp --js", 3), "--json\n");
    EXPECT_EQ(complete("dashcam-cfg text --lang kor", 3), "korean\n");
    // The word after an option's value is still the first argument.
    EXPECT_EQ(complete("dashcam-cfg text --lang korean --sec", 4), "--section\n");
}

// The words as bash hands them to the function that `complete -p` names: COMP_LINE as typed, COMP_WORDS split at
// blanks and at '=' (COMP_WORDBREAKS), the last word being completed.
TEST(CfgDocs, BashCompletesFoldersWithSpacesAndTheValuesOfFieldsAndOptions) {
    test::TempDir dir;
    fs::create_directories(dir / "NO NAME");
    const std::string root = dir.path().string();
    auto complete = [&](const std::string& line, const std::string& words) {
        const std::string script =
            "source <(dashcam-cfg help --bash-completion) && f=$(complete -p dashcam-cfg) && f=${f##*-F } && "
            "f=${f%% *} && COMP_LINE='" + line + "' COMP_POINT=${#COMP_LINE} && COMP_WORDS=(" + words +
            ") && COMP_CWORD=$((${#COMP_WORDS[@]} - 1)) && $f && printf '%s|' \"${COMPREPLY[@]}\"";
        return Bash(script).out;
    };
    EXPECT_EQ(complete("dashcam-cfg show " + root + "/NO\\ N", "dashcam-cfg show '" + root + "/NO\\ N'"),
              root + "/NO NAME|");
    EXPECT_EQ(complete("dashcam-cfg set /c voiceVolume=", "dashcam-cfg set /c voiceVolume ="), "1|2|3|");
    EXPECT_EQ(complete("dashcam-cfg set /c recordTimerHours=4", "dashcam-cfg set /c recordTimerHours = 4"), "48|");
    EXPECT_EQ(complete("dashcam-cfg set /c timeZone=Kor", "dashcam-cfg set /c timeZone = Kor"),
              "Korea Standard Time|");
    EXPECT_EQ(complete("dashcam-cfg text K --lang=kor", "dashcam-cfg text K --lang = kor"), "korean|");
    EXPECT_EQ(complete("dashcam-cfg screenshot /c o.png --lang ko", "dashcam-cfg screenshot /c o.png --lang ko"),
              "korean|");
    EXPECT_EQ(complete("dashcam-cfg help rest", "dashcam-cfg help rest"), "restore-defaults|");
    // After FIELD=VALUE, the next word is again a field.
    EXPECT_EQ(complete("dashcam-cfg set /c speedUnit=1 speedS", "dashcam-cfg set /c speedUnit = 1 speedS"),
              "speedStamp=|");
}

TEST(CfgDocs, ReadmeReferenceListsTheDeclaredCommands) {
    const std::string readme = test::ReadText(fs::path(DASHCAM_SOURCE_DIR) / "README.md");
    const std::size_t start = readme.find("## `dashcam-cfg` reference");
    ASSERT_NE(start, std::string::npos);
    const std::string section = readme.substr(start, readme.find("\n## ", start + 1) - start);
    std::set<std::string> documented;
    const std::regex row("\n\\| `([a-z-]+)[ `]");
    for (auto it = std::sregex_iterator(section.begin(), section.end(), row); it != std::sregex_iterator(); ++it)
        documented.insert((*it)[1]);
    EXPECT_EQ(documented, DeclaredCommands());
    EXPECT_NE(section.find("QT_LOGGING_RULES"), std::string::npos);
}

} // namespace
} // namespace dashcam
