#include "timezone/reg_time_zone_info.h"

#include <algorithm>

namespace dashcam {
namespace {

template <std::size_t N>
std::u16string_view UpToNul(const std::array<char16_t, N>& text) {
    return std::u16string_view(text.data(), static_cast<std::size_t>(std::find(text.begin(), text.end(), u'\0') -
                                                                     text.begin()));
}

} // namespace

std::u16string_view KeyNameOf(const CRegTimeZoneInfo& zone) { return UpToNul(zone.keyName); }
std::u16string_view DisplayNameOf(const CRegTimeZoneInfo& zone) { return UpToNul(zone.displayName); }
std::u16string_view StandardNameOf(const CRegTimeZoneInfo& zone) { return UpToNul(zone.standardName); }
std::int32_t BiasOf(const CRegTimeZoneInfo& zone) { return zone.zoneRule.bias; }

} // namespace dashcam
