// Language files of any content: the parser must neither crash nor run away, and lookups on what it built
// must stay consistent.
#include <cstddef>
#include <cstdint>
#include <string>

#include "i18n/ini_document.h"
#include "i18n/language_table.h"

namespace {

// The fuzzer's bytes, handed to the table as the only language file besides a tiny English one.
const std::uint8_t* g_data = nullptr;
std::size_t g_size = 0;
const unsigned char kEnglish[] = {0xFF, 0xFE, '[', 0,   't', 0,   'e', 0,   'x', 0,   't', 0,    ']',
                                  0,    '\n', 0,   'A', 0,   '=', 0,   'e', 0,   'n', 0,   '\n', 0};

std::span<const unsigned char> Finder(std::string_view name) {
    if (name == "english")
        return {kEnglish, sizeof kEnglish};
    if (name == "fuzz")
        return {g_data != nullptr ? g_data : kEnglish, g_data != nullptr ? g_size : 0};
    return {};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    dashcam::IniDocument doc;
    bool parsed = doc.ParseLanguageBuffer(data, size);
    if (!parsed && doc.sectionCount() != 0)
        __builtin_trap(); // a refused buffer must leave the document unchanged
    if (size >= 2 && data[0] == 0xFF && data[1] == 0xFE && !parsed)
        __builtin_trap(); // UTF-16 is never refused

    // Keys taken from the input itself, looked up in the default and a named section.
    const char16_t* const keys[] = {u"IDS_STRING101", u"ids_string101", u"", u"A", u"DEFAULT_UI_CHARSET"};
    for (const char16_t* key : keys) {
        doc.FindValue(key);
        doc.FindValue(key, u"font");
        doc.FindValue(key, u"text");
    }
    if (doc.defaultSection() != nullptr && doc.defaultSection() != doc.FindSection(u"TEXT"))
        __builtin_trap();

    g_data = data;
    g_size = size;
    dashcam::LanguageTable table(&Finder);
    table.LoadLanguage(u"fuzz");
    for (const char16_t* key : keys)
        table.LookupText(key);
    table.GetUiFontFaceName();
    table.GetUiFontNumber(u"DEFAULT_UI_CHARSET");
    g_data = nullptr;
    return 0;
}
