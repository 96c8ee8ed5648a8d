#include "i18n/language_table.h"

#include <climits>
#include <memory>

#include "i18n/embedded_languages.h"
#include "platform/leading_integer.h"

namespace dashcam {

namespace {

// Resource names are plain ASCII; a name with any other character names no file.
std::optional<std::string> AsciiName(std::u16string_view name) {
    std::string out;
    out.reserve(name.size());
    for (char16_t c : name) {
        if (c == 0 || c >= 0x80)
            return std::nullopt;
        out.push_back(static_cast<char>(c));
    }
    return out;
}

std::span<const unsigned char> FindFile(LanguageTable::ResourceFinder finder, std::u16string_view name) {
    std::optional<std::string> ascii = AsciiName(name);
    if (!ascii)
        return {};
    return finder(*ascii);
}

bool Parse(IniDocument& document, std::span<const unsigned char> bytes) {
    return document.ParseLanguageBuffer(bytes.data(), bytes.size());
}

} // namespace

LanguageTable::LanguageTable() : LanguageTable(&EmbeddedLanguageResource) {}

LanguageTable::LanguageTable(ResourceFinder finder)
    : finder_(finder), primary_(std::make_unique<IniDocument>()), fallback_(std::make_unique<IniDocument>()) {
}

bool LanguageTable::LoadLanguage(std::u16string_view name) {
    loaded_ = false;
    bool primaryParsed = false;
    if (!name.empty()) {
        std::span<const unsigned char> bytes = FindFile(finder_, name);
        if (bytes.data() == nullptr)
            return false;
        primaryParsed = Parse(*primary_, bytes);
    }
    return LoadFallback(primaryParsed);
}

bool LanguageTable::LoadLanguageFromBytes(std::span<const unsigned char> primaryBytes) {
    loaded_ = false;
    return LoadFallback(Parse(*primary_, primaryBytes));
}

bool LanguageTable::LoadFallback(bool primaryParsed) {
    std::span<const unsigned char> bytes = FindFile(finder_, u"english");
    if (bytes.data() == nullptr)
        return false;
    bool fallbackParsed = Parse(*fallback_, bytes);
    loaded_ = primaryParsed || fallbackParsed;
    return loaded_;
}

std::u16string LanguageTable::LookupText(std::u16string_view key,
                                         std::optional<std::u16string_view> section) const {
    if (!loaded_)
        return u"Error Loading";
    const std::u16string* value = primary_->FindValue(key, section);
    if (value == nullptr || value->empty())
        value = fallback_->FindValue(key, section);
    if (value == nullptr)
        return {};
    std::u16string text;
    text.reserve(value->size());
    for (std::size_t i = 0; i < value->size(); ++i) {
        char16_t c = (*value)[i];
        if (c == u'\\' && i + 1 < value->size() && ((*value)[i + 1] == u'n' || (*value)[i + 1] == u'r')) {
            text.push_back((*value)[i + 1] == u'n' ? u'\n' : u'\r');
            ++i;
        } else {
            text.push_back(c);
        }
    }
    return text;
}

std::u16string LanguageTable::GetUiFontFaceName() const {
    return LookupText(u"DEFAULT_UI_FACENAME", u"font");
}

int LanguageTable::GetUiFontNumber(std::u16string_view key) const {
    const std::u16string text = LookupText(key, u"font");
    return LeadingInteger(std::u16string_view(text), IsWideSpace);
}

void LanguageTable::Reset() {
    primary_ = std::make_unique<IniDocument>();
    fallback_ = std::make_unique<IniDocument>();
    loaded_ = false;
}

LanguageTable& TheLanguageTable() {
    static LanguageTable table;
    return table;
}

bool LoadLanguage(std::u16string_view name) {
    return TheLanguageTable().LoadLanguage(name);
}
std::u16string LookupText(std::u16string_view key, std::optional<std::u16string_view> section) {
    return TheLanguageTable().LookupText(key, section);
}
std::u16string GetUiFontFaceName() {
    return TheLanguageTable().GetUiFontFaceName();
}
int GetUiFontNumber(std::u16string_view key) {
    return TheLanguageTable().GetUiFontNumber(key);
}
void ResetLanguageTable() {
    TheLanguageTable().Reset();
}

} // namespace dashcam
