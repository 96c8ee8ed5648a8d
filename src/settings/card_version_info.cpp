#include "settings/card_version_info.h"

#include <array>

#include "platform/files/safe_file.h"
#include "platform/text_codec.h"

namespace dashcam {
namespace {

constexpr std::array<LanguageCode, 165> kLanguageCodes = {{
    {u"ab", u"Abkhazian"},
    {u"aa", u"Afar"},
    {u"af", u"Afrikaans"},
    {u"sq", u"Albanian"},
    {u"am", u"Amharic"},
    {u"ar", u"Arabic"},
    {u"an", u"Aragonese"},
    {u"hy", u"Armenian"},
    {u"as", u"Assamese"},
    {u"ay", u"Aymara"},
    {u"az", u"Azerbaijani"},
    {u"ba", u"Bashkir"},
    {u"eu", u"Basque"},
    {u"bn", u"Bengali (Bangla)"},
    {u"dz", u"Bhutani"},
    {u"bh", u"Bihari"},
    {u"bi", u"Bislama"},
    {u"br", u"Breton"},
    {u"bg", u"Bulgarian"},
    {u"my", u"Burmese"},
    {u"be", u"Byelorussian (Belarusian)"},
    {u"km", u"Cambodian"},
    {u"ca", u"Catalan"},
    {u"zh", u"Chinese"},
    {u"zh-Hans", u"Chinese (Simplified)"},
    {u"zh-Hant", u"Chinese (Traditional)"},
    {u"zh-cmn", u"Mandarin Chinese"},
    {u"zh-cmn-Hans", u"Mandarin Chinese (Simplified)"},
    {u"zh-cmn-Hant", u"Mandarin Chinese (Traditional)"},
    {u"zh-Hans-CN", u"PRC Mainland Chinese in simplified script"},
    {u"zh-Hans-HK", u"Hong Kong Chinese in simplified script"},
    {u"zh-Hans-MO", u"Macao Chinese in simplified script"},
    {u"zh-Hans-TW", u"Taiwan Chinese in simplified script"},
    {u"zh-Hant-CN", u"PRC Mainland Chinese in traditional script"},
    {u"zh-Hant-HK", u"Hong Kong Chinese in traditional script"},
    {u"zh-Hant-MO", u"Macao Chinese in traditional script"},
    {u"zh-Hant-SG", u"Singapore Chinese in traditional script"},
    {u"zh-Hant-TW", u"Taiwan Chinese in traditional script"},
    {u"zh-wuu", u"Shanghaiese or Wu"},
    {u"co", u"Corsican"},
    {u"hr", u"Croatian"},
    {u"cs", u"Czech"},
    {u"da", u"Danish"},
    {u"nl", u"Dutch"},
    {u"en", u"English"},
    {u"en-GB", u"English (UK)"},
    {u"eo", u"Esperanto"},
    {u"et", u"Estonian"},
    {u"fo", u"Faeroese"},
    {u"fa", u"Farsi"},
    {u"fj", u"Fiji"},
    {u"fi", u"Finnish"},
    {u"fr", u"French"},
    {u"fr-CA", u"French (Canada)"},
    {u"fy", u"Frisian"},
    {u"gl", u"Galician"},
    {u"gd", u"Gaelic (Scottish)"},
    {u"gv", u"Gaelic (Manx)"},
    {u"ka", u"Georgian"},
    {u"de", u"German"},
    {u"el", u"Greek"},
    {u"kl", u"Greenlandic"},
    {u"gn", u"Guarani"},
    {u"gu", u"Gujarati"},
    {u"ht", u"Haitian Creole"},
    {u"ha", u"Hausa"},
    {u"he", u"Hebrew"},
    {u"iw", u"Hebrew"},
    {u"hi", u"Hindi"},
    {u"hu", u"Hungarian"},
    {u"is", u"Icelandic"},
    {u"io", u"Ido"},
    {u"id", u"Indonesian"},
    {u" in", u"Indonesian"},
    {u"ia", u"Interlingua"},
    {u"ie", u"Interlingue"},
    {u"iu", u"Inuktitut"},
    {u"ik", u"Inupiak"},
    {u"ga", u"Irish"},
    {u"it", u"Italian"},
    {u"ja", u"Japanese"},
    {u"jv", u"Javanese"},
    {u"kn", u"Kannada"},
    {u"ks", u"Kashmiri"},
    {u"kk", u"Kazakh"},
    {u"rw", u"Kinyarwanda (Ruanda)"},
    {u"ky", u"Kirghiz"},
    {u"rn", u"Kirundi (Rundi)"},
    {u"ko", u"Korean"},
    {u"ku", u"Kurdish"},
    {u"lo", u"Laothian"},
    {u"la", u"Latin"},
    {u"lv", u"Latvian (Lettish)"},
    {u"li", u"Limburgish ( Limburger)"},
    {u"ln", u"Lingala"},
    {u"lt", u"Lithuanian"},
    {u"mk", u"Macedonian"},
    {u"mg", u"Malagasy"},
    {u"ms", u"Malay"},
    {u"ml", u"Malayalam"},
    {u"mt", u"Maltese"},
    {u"mi", u"Maori"},
    {u"mr", u"Marathi"},
    {u"mo", u"Moldavian"},
    {u"mn", u"Mongolian"},
    {u"na", u"Nauru"},
    {u"ne", u"Nepali"},
    {u"no", u"Norwegian"},
    {u"oc", u"Occitan"},
    {u"or", u"Oriya"},
    {u"om", u"Oromo (Afaan Oromo)"},
    {u"ps", u"Pashto (Pushto)"},
    {u"pl", u"Polish"},
    {u"pt", u"Portuguese"},
    {u"pa", u"Punjabi"},
    {u"qu", u"Quechua"},
    {u"rm", u"Rhaeto-Romance"},
    {u"ro", u"Romanian"},
    {u"ru", u"Russian"},
    {u"sm", u"Samoan"},
    {u"sg", u"Sangro"},
    {u"sa", u"Sanskrit"},
    {u"sr", u"Serbian"},
    {u"sh", u"Serbo-Croatian"},
    {u"st", u"Sesotho"},
    {u"tn", u"Setswana"},
    {u"sn", u"Shona"},
    {u"ii", u"Sichuan Yi"},
    {u"sd", u"Sindhi"},
    {u"si", u"Sinhalese"},
    {u"ss", u"Siswati"},
    {u"sk", u"Slovak"},
    {u"sl", u"Slovenian"},
    {u"so", u"Somali"},
    {u"es", u"Spanish"},
    {u"su", u"Sundanese"},
    {u"sw", u"Swahili (Kiswahili)"},
    {u"sv", u"Swedish"},
    {u"tl", u"Tagalog"},
    {u"tg", u"Tajik"},
    {u"ta", u"Tamil"},
    {u"tt", u"Tatar"},
    {u"te", u"Telugu"},
    {u"th", u"Thai"},
    {u"bo", u"Tibetan"},
    {u"ti", u"Tigrinya"},
    {u"to", u"Tonga"},
    {u"ts", u"Tsonga"},
    {u"tr", u"Turkish"},
    {u"tk", u"Turkmen"},
    {u"tw", u"Twi"},
    {u"ug", u"Uighur"},
    {u"uk", u"Ukrainian"},
    {u"ur", u"Urdu"},
    {u"uz", u"Uzbek"},
    {u"vi", u"Vietnamese"},
    {u"vo", u"Volap?k"},
    {u"wa", u"Wallon"},
    {u"cy", u"Welsh"},
    {u"wo", u"Wolof"},
    {u"xh", u"Xhosa"},
    {u"yi", u"Yiddish"},
    {u"ji", u"Yiddish"},
    {u"yo", u"Yoruba"},
    {u"zu", u"Zulu"},
}};

constexpr std::size_t kMaxVersionFileBytes = 1024 * 1024;

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\v' || c == u'\f'; }

std::u16string Trimmed(std::u16string_view s) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return std::u16string(s);
}

// The second token of the line split at `delimiter`, runs of delimiters counting as one.
std::u16string_view SecondToken(std::u16string_view line, char16_t delimiter) {
    int index = 0;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && line[i] == delimiter)
            ++i;
        if (i >= line.size())
            break;
        std::size_t end = line.find(delimiter, i);
        if (end == std::u16string_view::npos)
            end = line.size();
        if (index == 1)
            return line.substr(i, end - i);
        ++index;
        i = end;
    }
    return {};
}

// A key counts only where its first occurrence is not at the very start of the line.
bool HasKey(std::u16string_view line, std::u16string_view key) {
    std::size_t at = line.find(key);
    return at != std::u16string_view::npos && at >= 1;
}

} // namespace

std::span<const LanguageCode> LanguageCodeTable() { return kLanguageCodes; }

void ReadVersionFile(const std::u16string& folder, CardVersionInfo& info) {
    auto lines = ReadTextLines(ToFsPath(folder + u"ver.dat"), kMaxVersionFileBytes);
    if (!lines)
        return;
    bool codesRead = false;
    for (const std::string& raw : *lines) {
        if (raw.empty())
            continue;
        std::string_view bytes(raw);
        if (auto nul = bytes.find('\0'); nul != std::string_view::npos)
            bytes = bytes.substr(0, nul);
        const std::u16string line = AnsiForDisplay(bytes);
        const std::u16string value = Trimmed(SecondToken(line, u':'));
        if (HasKey(line, u"Ver")) {
            info.version = value;
        } else if (HasKey(line, u"Pack Name")) {
            info.packName = value;
        } else if (HasKey(line, u"Code")) {
            if (codesRead)
                continue;
            codesRead = true;
            std::u16string_view rest(value);
            while (!rest.empty()) {
                std::size_t start = rest.find_first_not_of(u' ');
                if (start == std::u16string_view::npos)
                    break;
                rest.remove_prefix(start);
                std::size_t end = rest.find(u' ');
                info.languageCodes.emplace_back(rest.substr(0, end));
                if (end == std::u16string_view::npos)
                    break;
                rest.remove_prefix(end);
            }
        } else if (HasKey(line, u"Device")) {
            info.device = value;
        }
    }
    for (const std::u16string& code : info.languageCodes)
        for (const LanguageCode& pair : kLanguageCodes)
            if (pair.code == code)
                info.languageNames.emplace_back(pair.name);
}

} // namespace dashcam
