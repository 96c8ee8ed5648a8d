#pragma once
// One zone of the host's time-zone list: its key name, the text shown for it, its standard-time name and its rule.
#include <array>
#include <cstdint>
#include <string_view>

#include "platform/time_zone_source.h"

namespace dashcam {

// Zero-filled when created; each text is NUL-terminated inside its array.
struct CRegTimeZoneInfo {
    std::array<char16_t, 255> keyName{};
    std::array<char16_t, 510> displayName{};
    std::array<char16_t, 255> standardName{};
    TziRecord zoneRule{};
};

// The texts up to their first NUL.
std::u16string_view KeyNameOf(const CRegTimeZoneInfo& zone);
std::u16string_view DisplayNameOf(const CRegTimeZoneInfo& zone);
std::u16string_view StandardNameOf(const CRegTimeZoneInfo& zone);
// The zone's bias: minutes east of UTC.
std::int32_t BiasOf(const CRegTimeZoneInfo& zone);

} // namespace dashcam
