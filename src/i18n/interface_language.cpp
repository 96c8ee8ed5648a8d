#include "i18n/interface_language.h"

#include <array>

#include "i18n/language_table.h"
#include "i18n/wide_text.h"
#include "platform/viewer_link.h"

namespace dashcam {

namespace {

std::optional<std::u16string> g_viewerLanguage;

// Index -> language name; indices 1, 3 and 9 are aliases that no choice produces.
constexpr std::array<std::u16string_view, 15> kIndexNames = {u"english",
                                                             u"english",
                                                             u"french",
                                                             u"french",
                                                             u"russian",
                                                             u"korean",
                                                             u"spanish",
                                                             u"chinesesimplified",
                                                             u"chinesetraditional",
                                                             u"chinesetraditional",
                                                             u"german",
                                                             u"italian",
                                                             u"japanese",
                                                             u"portuguese",
                                                             u"thai"};

struct NameToIndex {
    std::u16string_view name;
    int index;
};

// The viewer's names, in the order they are tried. The viewer has no Thai.
constexpr NameToIndex kViewerNames[] = {
    {u"french", 2},    {u"english", 0},           {u"spanish", 6},
    {u"korean", 5},    {u"chinesesimplified", 7}, {u"chinesetraditional", 8},
    {u"russian", 4},   {u"german", 10},           {u"italian", 11},
    {u"japanese", 12}, {u"portuguese", 13}};

// The camera's codes, in the order they are tried.
constexpr NameToIndex kCameraCodes[] = {{u"fr", 2},         {u"fr-CA", 2},      {u"es", 6},  {u"zh-Hans", 7},
                                        {u"zh-Hant-HK", 8}, {u"zh-Hant-TW", 8}, {u"en", 0},  {u"en-GB", 0},
                                        {u"ko", 5},         {u"de", 10},        {u"it", 11}, {u"ja", 12},
                                        {u"pt", 13},        {u"ru", 4},         {u"th", 14}};

} // namespace

void ReadViewerLanguage() {
    g_viewerLanguage.reset();
    std::optional<std::u16string> value = Viewer().ReadLanguageValue();
    if (!value)
        return;
    // A terminator stored with the value is not part of it.
    if (!value->empty() && value->back() == u'\0')
        value->pop_back();
    if (value->size() > kViewerLanguageMaxLength)
        return;
    std::size_t nul = value->find(u'\0');
    if (nul != std::u16string::npos)
        value->resize(nul);
    g_viewerLanguage = std::move(value);
}

const std::optional<std::u16string>& ViewerLanguageName() {
    return g_viewerLanguage;
}

void ResetViewerLanguage() {
    g_viewerLanguage.reset();
}

int ChooseInterfaceLanguageIndex(const CardVersionInfo& card, const SettingsRecord* record) {
    if (Viewer().IsWindowPresent(kViewerWindowTitle)) {
        if (!g_viewerLanguage || g_viewerLanguage->empty())
            return 0;
        for (const NameToIndex& entry : kViewerNames)
            if (EqualsIgnoreCase(*g_viewerLanguage, entry.name))
                return entry.index;
        return 0;
    }
    if (card.languageCodes.empty() || record == nullptr)
        return 0;
    // deviceLanguage is unsigned, so a negative value written by anything else is a huge position here.
    std::uint32_t position = record->deviceLanguage();
    if (position >= card.languageCodes.size())
        return 0;
    const std::u16string& code = card.languageCodes[position];
    for (const NameToIndex& entry : kCameraCodes)
        if (code == entry.name)
            return entry.index;
    return 0;
}

void ChooseInterfaceLanguage(const CardVersionInfo& card, const SettingsRecord* record) {
    SetInterfaceLanguage(ChooseInterfaceLanguageIndex(card, record));
}

std::u16string_view InterfaceLanguageName(int index) {
    if (index < 0 || index >= static_cast<int>(kIndexNames.size()))
        return kIndexNames[0];
    return kIndexNames[static_cast<std::size_t>(index)];
}

void SetInterfaceLanguage(int index) {
    LoadLanguage(InterfaceLanguageName(index));
}

} // namespace dashcam
