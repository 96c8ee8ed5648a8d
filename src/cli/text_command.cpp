// dashcam-cfg text: an interface text as the editor looks it up, for translators and scripts.
#include <string>
#include <vector>

#include "cli/cli_commands.h"
#include "cli/command_line.h"
#include "cli/command_support.h"
#include "i18n/embedded_languages.h"
#include "i18n/ini_document.h"
#include "i18n/interface_keys.h"
#include "i18n/language_table.h"
#include "i18n/wide_text.h"
#include "platform/files/safe_file.h"
#include "platform/text_codec.h"

namespace dashcam::cli {
namespace {

// A language file is a few hundred KiB; anything far beyond that is refused before it is read.
constexpr std::size_t kMaxLanguageFileBytes = 16u << 20;

int RunText(Invocation& call) {
    const auto lang = call.Value("--lang"), section = call.Value("--section"), langFile = call.Value("--lang-file");
    if (call.Has("--list-languages")) {
        if (!call.arguments().empty() || lang || section || langFile)
            return call.UsageError("--list-languages takes no other arguments");
        std::string out;
        for (std::string_view name : kLanguageNames)
            out += std::string(name) + "\n";
        call.Out(out);
        return 0;
    }
    if (call.arguments().empty())
        return call.UsageError("a KEY is needed");
    if (call.arguments().size() > 1)
        return call.UsageError("only one KEY can be given");
    if (lang && langFile)
        return call.UsageError("--lang and --lang-file cannot be used together");
    const std::u16string key = Utf8ToUtf16(call.argument(0));

    LanguageTable& table = TheLanguageTable();
    if (langFile) {
        // A regular file only: folders, FIFOs, devices and oversized files are refused without reading them.
        const FileHeadRead read = ReadFileHeadOrWhy(ToFsPath(Utf8ToUtf16(*langFile)), kMaxLanguageFileBytes);
        if (!read.head || read.head->fileSize > kMaxLanguageFileBytes)
            return call.Fail("cannot read the language file '" + *langFile + "': " +
                             (!read.head ? WhyUnread(read)
                                         : std::string("it is larger than 16 MiB")));
        const std::vector<unsigned char> bytes(read.head->bytes.begin(), read.head->bytes.end());
        // Whether the file itself was usable, before English is added behind it.
        IniDocument probe;
        if (!probe.ParseLanguageBuffer(bytes.data(), bytes.size()))
            return call.Fail("'" + *langFile +
                             "' is not a language file (shorter than 2 bytes, or 8-bit text that is not valid in the "
                             "ANSI code page)");
        if (!table.LoadLanguageFromBytes(bytes))
            return call.Fail("the built-in English language file is missing");
    } else if (!table.LoadLanguage(Utf8ToUtf16(lang.value_or("english")))) {
        // Print what the editor would show, and say why.
        call.Out(Utf16ToUtf8(table.LookupText(key)) + "\n");
        return call.Fail("no language file named '" + lang.value_or("english") + "' (see 'text --list-languages')");
    }
    std::optional<std::u16string> sectionName;
    if (section)
        sectionName = Utf8ToUtf16(*section);
    const std::u16string text = table.LookupText(key, sectionName);
    if (text.empty()) {
        // An empty answer for a key that no window shows is a slip in the key, not an empty text.
        std::vector<std::string> known;
        bool isKnown = false;
        for (std::u16string_view k : InterfaceKeys()) {
            isKnown = isKnown || EqualsIgnoreCase(k, key);
            known.push_back(Utf16ToUtf8(std::u16string(k)));
        }
        if (!isKnown)
            return call.Fail("no text has the key '" + call.argument(0) + "'" + DidYouMean(call.argument(0), known));
    }
    call.Out(Utf16ToUtf8(text) + "\n");
    return 0;
}

} // namespace

Command TextCommand() {
    std::vector<std::string> languages(kLanguageNames.begin(), kLanguageNames.end());
    return {"text",
            "an interface text as the editor looks it up",
            "Prints the interface text of KEY (for example IDS_STRING101) exactly as the editor shows it, followed "
            "by one line feed. The chosen language answers first; English fills in texts that it lacks or leaves "
            "empty. \"Error Loading\" is printed, with status 1, when the language cannot be loaded; a key that no "
            "window shows and the file does not hold is an error, not an empty line.",
            {{"KEY", "the text's key, as IDS_STRING101", ValueKind::Text, true}},
            {{"--lang", "NAME", "the built-in language file to use (default: english)", ValueKind::Choice, languages},
             {"--section", "NAME", "the section of the file (default: the text section; the font is in \"font\")"},
             {"--lang-file", "PATH",
              "use this language file instead of a built-in one, with English as the fallback (to preview a new or "
              "edited translation)",
              ValueKind::File},
             {"--list-languages", "", "print the names of the built-in language files, one per line"}},
            RunText};
}

} // namespace dashcam::cli
