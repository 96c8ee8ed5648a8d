#pragma once
// Where the host's time zones come from: on Windows the registry's Time Zones key, elsewhere the system's time-zone
// database as the Qt layer presents it. The zones are given raw, as the registry holds them, so that the catalogue
// builds the same list from either.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dashcam {

// A SYSTEMTIME. In a zone rule, year 0 with day 1 … 5 means "the day-th dayOfWeek of the month" (5 = the last).
struct TziSystemTime {
    std::uint16_t year, month, dayOfWeek, day, hour, minute, second, milliseconds;
};

// The 44-byte "TZI" rule. Stored, Bias and DaylightBias count minutes west of UTC; the zone catalogue keeps
// them negated (minutes to add to UTC, east positive: 540 for UTC+9), while standardBias keeps the stored sign.
struct TziRecord {
    std::int32_t bias;
    std::int32_t standardBias;
    std::int32_t daylightBias;
    TziSystemTime standardDate;
    TziSystemTime daylightDate;
};

inline constexpr std::size_t kTziSize = 44;

// A stored TZI value (little-endian) as a record with the stored signs; missing bytes read as zero.
TziRecord DecodeTzi(const std::uint8_t* bytes, std::size_t count);
// The 44 bytes of a TZI value.
std::array<std::uint8_t, kTziSize> EncodeTzi(const TziRecord& rule);
// A text value as the registry stores it: UTF-16LE with its NUL.
std::vector<std::uint8_t> EncodeZoneText(std::u16string_view text);

// One value of a zone's key. "Display" and "Std" hold UTF-16LE text (usually with its NUL), "TZI" the 44-byte rule
// with the registry's signs (Bias and DaylightBias in minutes west of UTC).
struct TimeZoneValue {
    std::u16string name;
    std::vector<std::uint8_t> data;
};

// The host's own zone as GetTimeZoneInformation gives it.
struct HostTimeZone {
    std::int32_t bias = 0;         // minutes west of UTC, without the daylight part (UTC+9 is -540)
    std::int32_t standardBias = 0;
    std::u16string standardName;   // at most 64 code units are meaningful
};

class TimeZoneSource {
public:
    virtual ~TimeZoneSource() = default;

    // The names of the zones' keys in enumeration order; empty when the list cannot be opened or enumerated.
    virtual std::vector<std::u16string> ZoneKeyNames() = 0;
    // The values of one zone's key in enumeration order; empty when the key cannot be opened.
    virtual std::vector<TimeZoneValue> ZoneValues(std::u16string_view keyName) = 0;
    virtual HostTimeZone HostZone() = 0;
};

// The zone source in use: the one a caller installed, else the platform's own (the registry on Windows; elsewhere
// an empty list until the Qt layer installs the system's database, see InstallSystemTimeZones).
TimeZoneSource& TimeZones();
// Installs a replacement (nullptr restores the platform's own); the caller keeps ownership.
void SetTimeZones(TimeZoneSource* source);

} // namespace dashcam
