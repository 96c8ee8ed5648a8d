#include "platform/time_zone_source.h"

namespace dashcam {

TimeZoneSource& PlatformTimeZones(); // posix/ or win32/

namespace {

TimeZoneSource* g_timeZones = nullptr;

// Reads little-endian fields in order from a byte string; missing bytes read as zero.
class LittleEndianReader {
public:
    LittleEndianReader(const std::uint8_t* bytes, std::size_t count) : bytes_(bytes), count_(count) {}
    std::uint32_t Next(std::size_t width) {
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < width; ++i, ++pos_)
            if (pos_ < count_)
                value |= static_cast<std::uint32_t>(bytes_[pos_]) << (8 * i);
        return value;
    }
    std::int32_t NextI32() { return static_cast<std::int32_t>(Next(4)); }
    TziSystemTime NextTime() {
        TziSystemTime t{};
        for (std::uint16_t* field : {&t.year, &t.month, &t.dayOfWeek, &t.day, &t.hour, &t.minute, &t.second,
                                     &t.milliseconds})
            *field = static_cast<std::uint16_t>(Next(2));
        return t;
    }

private:
    const std::uint8_t* bytes_;
    std::size_t count_;
    std::size_t pos_ = 0;
};

} // namespace

TimeZoneSource& TimeZones() { return g_timeZones ? *g_timeZones : PlatformTimeZones(); }
void SetTimeZones(TimeZoneSource* source) { g_timeZones = source; }

TziRecord DecodeTzi(const std::uint8_t* bytes, std::size_t count) {
    LittleEndianReader in(bytes, count);
    TziRecord rule{};
    rule.bias = in.NextI32();
    rule.standardBias = in.NextI32();
    rule.daylightBias = in.NextI32();
    rule.standardDate = in.NextTime();
    rule.daylightDate = in.NextTime();
    return rule;
}

std::vector<std::uint8_t> EncodeZoneText(std::u16string_view text) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(2 * text.size() + 2);
    for (char16_t c : std::u16string(text) + u'\0') {
        bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    return bytes;
}

std::array<std::uint8_t, kTziSize> EncodeTzi(const TziRecord& rule) {
    std::array<std::uint8_t, kTziSize> out{};
    std::size_t pos = 0;
    auto put = [&](std::uint32_t value, std::size_t width) {
        for (std::size_t i = 0; i < width; ++i)
            out[pos++] = static_cast<std::uint8_t>(value >> (8 * i));
    };
    for (std::int32_t v : {rule.bias, rule.standardBias, rule.daylightBias})
        put(static_cast<std::uint32_t>(v), 4);
    for (const TziSystemTime& t : {rule.standardDate, rule.daylightDate})
        for (std::uint16_t v : {t.year, t.month, t.dayOfWeek, t.day, t.hour, t.minute, t.second, t.milliseconds})
            put(v, 2);
    return out;
}

} // namespace dashcam
