#include "settings/card_files.h"

#include <cstdio>

#include "platform/host_system.h"

namespace dashcam {

std::u16string CardRootFromArgument(std::u16string folder) {
    if (!folder.empty() && folder.back() != u'/' && folder.back() != kPathSeparator)
        folder.push_back(kPathSeparator);
    return folder;
}

std::string FormatClockLine(const SystemTime& time, std::int32_t standardBiasMinutes) {
    const std::int32_t offset = -standardBiasMinutes;
    const std::int32_t magnitude = offset < 0 ? -offset : offset;
    char line[64];
    const int n = std::snprintf(line, sizeof line, "%4d,%02d,%02d,%02d,%02d,%02d,%c%02d%02d", time.year, time.month,
                                time.day, time.hour, time.minute, time.second, offset > 0 ? '+' : '-',
                                magnitude / 60, magnitude % 60);
    return std::string(line, n > 0 ? static_cast<std::size_t>(n) : 0);
}

} // namespace dashcam
