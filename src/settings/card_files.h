#pragma once
// The card folder as a path, and the clock request that Save writes to the card's time.dat.
#include <cstdint>
#include <string>

namespace dashcam {

// The card folder as given (by a shell's completion, a drag and drop, a desktop entry) made a card root: a folder
// without its trailing separator gets one, so that its files land inside it and not beside it. Empty stays empty.
std::u16string CardRootFromArgument(std::u16string folder);

// A Windows SYSTEMTIME.
struct SystemTime {
    std::uint16_t year = 0;
    std::uint16_t month = 0;
    std::uint16_t dayOfWeek = 0;
    std::uint16_t day = 0;
    std::uint16_t hour = 0;
    std::uint16_t minute = 0;
    std::uint16_t second = 0;
    std::uint16_t milliseconds = 0;
    bool operator==(const SystemTime&) const = default;
};

// The clock request: whether Save writes time.dat, and the moment it asks the camera to take.
struct ClockRequest {
    std::uint32_t timeSyncRequested = 0;
    SystemTime timeSyncTime;
};

// Text of the clock request line as WriteClockFile writes it, for the given standard bias (minutes west of UTC).
std::string FormatClockLine(const SystemTime& time, std::int32_t standardBiasMinutes);

} // namespace dashcam
