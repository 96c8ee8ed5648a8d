// dashcam-cfg text: an interface text as the editor looks it up, for translators and scripts.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "cli/cli_commands.h"
#include "i18n/embedded_languages.h"
#include "i18n/language_table.h"
#include "platform/text_codec.h"

namespace dashcam::cli {

namespace {

const char* const kTextUsage =
    "usage: dashcam-cfg text KEY [--lang NAME] [--section NAME] [--lang-file PATH]\n"
    "       dashcam-cfg text --list-languages\n"
    "\n"
    "Prints the interface text of KEY (for example IDS_STRING101) exactly as the editor shows it, in UTF-8,\n"
    "followed by one line feed. The chosen language answers first; English fills in texts that it lacks or\n"
    "leaves empty. \"Error Loading\" is printed when the language cannot be loaded.\n"
    "\n"
    "  --lang NAME        the language file to use (default: english); see --list-languages\n"
    "  --section NAME     the section of the file (default: the text section; the font is in \"font\")\n"
    "  --lang-file PATH   use this language file instead of a built-in one, with English as the fallback\n"
    "                     (to preview a new or edited translation)\n"
    "  --list-languages   print the names of the built-in language files, one per line\n"
    "\n"
    "Exit status: 0 success, 1 the language or the file could not be loaded, 2 usage error.\n";

int UsageError(const std::string& message) {
    std::fprintf(stderr, "dashcam-cfg text: %s\n\n%s", message.c_str(), kTextUsage);
    return 2;
}

void WriteOut(const std::string& bytes) {
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY); // the text's own line breaks are written unchanged
#endif
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    std::fflush(stdout);
}

std::optional<std::vector<unsigned char>> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        return std::nullopt;
    return bytes;
}

} // namespace

int RunText(const Args& args) {
    if (WantsHelp(args)) {
        std::fputs(kTextUsage, stdout);
        return 0;
    }
    std::optional<std::string> key;
    std::optional<std::string> lang;
    std::optional<std::string> section;
    std::optional<std::string> langFile;
    bool listLanguages = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto takeValue = [&](std::optional<std::string>& into) -> bool {
            if (into)
                return false;
            if (i + 1 >= args.size())
                return false;
            into = args[++i];
            return true;
        };
        if (a == "--lang") {
            if (!takeValue(lang))
                return UsageError(lang ? "--lang given twice or without a name" : "--lang needs a name");
        } else if (a == "--section") {
            if (!takeValue(section))
                return UsageError("--section given twice or without a name");
        } else if (a == "--lang-file") {
            if (!takeValue(langFile))
                return UsageError("--lang-file given twice or without a path");
        } else if (a == "--list-languages") {
            listLanguages = true;
        } else if (a.size() > 1 && a[0] == '-' && a != "-") {
            return UsageError("unknown option '" + a + "'");
        } else if (key) {
            return UsageError("only one KEY can be given");
        } else {
            key = a;
        }
    }
    if (listLanguages) {
        if (key || lang || section || langFile)
            return UsageError("--list-languages takes no other arguments");
        std::string out;
        for (std::string_view name : kLanguageNames) {
            out.append(name);
            out.push_back('\n');
        }
        WriteOut(out);
        return 0;
    }
    if (!key)
        return UsageError("a KEY is needed");
    if (lang && langFile)
        return UsageError("--lang and --lang-file cannot be used together");

    LanguageTable& table = TheLanguageTable();
    if (langFile) {
        std::optional<std::vector<unsigned char>> bytes = ReadFileBytes(*langFile);
        if (!bytes) {
            std::fprintf(stderr, "dashcam-cfg text: cannot read the language file '%s'\n", langFile->c_str());
            return 1;
        }
        // Whether the file itself was usable, before English is added behind it.
        IniDocument probe;
        if (!probe.ParseLanguageBuffer(bytes->data(), bytes->size())) {
            std::fprintf(stderr,
                         "dashcam-cfg text: '%s' is not a language file (shorter than 2 bytes, or 8-bit text "
                         "that is not valid in the ANSI code page)\n",
                         langFile->c_str());
            return 1;
        }
        if (!table.LoadLanguageFromBytes(*bytes)) {
            std::fputs("dashcam-cfg text: the built-in English language file is missing\n", stderr);
            return 1;
        }
    } else {
        std::u16string name = Utf8ToUtf16(lang ? *lang : std::string("english"));
        if (!table.LoadLanguage(name)) {
            // Print what the editor would show, and say why.
            WriteOut(Utf16ToUtf8(table.LookupText(Utf8ToUtf16(*key))) + "\n");
            std::fprintf(stderr, "dashcam-cfg text: no language file named '%s' (see --list-languages)\n",
                         lang ? lang->c_str() : "english");
            return 1;
        }
    }
    std::optional<std::u16string> sectionName;
    if (section)
        sectionName = Utf8ToUtf16(*section);
    WriteOut(Utf16ToUtf8(table.LookupText(Utf8ToUtf16(*key), sectionName)) + "\n");
    return 0;
}

} // namespace dashcam::cli
