#include "settings/card_files.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

#include "platform/host_system.h"
#include "platform/leading_integer.h"
#include "platform/prompt.h"
#include "platform/text_codec.h"
#include "platform/trace.h"
#include "settings/safe_file.h"

namespace dashcam {
namespace fs = std::filesystem;

namespace {
std::u16string& RootSlot() {
    static std::u16string root;
    return root;
}

std::string Printf(const char* format, auto... values) {
    int n = std::snprintf(nullptr, 0, format, values...);
    std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    std::snprintf(out.data(), out.size() + 1, format, values...);
    return out;
}

bool LoadSettingsInto(const std::u16string& path, SettingsRecord*& record) {
    auto head = ReadFileHead(path, SettingsRecord::kSize);
    if (!head) {
        Trace("Warning Trevanil Setting not found !\n");
        return false;
    }
    if (!record)
        record = &AllocateRecord();
    record->bytes.fill(0);
    std::copy(head->bytes.begin(), head->bytes.end(), record->bytes.begin());
    Trace("\n\nTrevanil Setting loading...\n");
    if (head->fileSize > SettingsRecord::kSize)
        Trace("Warning config version seems to be higher than 1.2 or invalid !\n");
    if (head->fileSize != record->recordLength())
        Trace("Warning file length differs  from the checksum !\n");
    return true;
}

// Integer of a clock field: leading blanks, an optional sign, then digits up to the first other character.
int ClockFieldValue(std::string_view field) {
    return LeadingInteger(field, [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); });
}

constexpr std::size_t kMaxClockLine = 64 * 1024;
} // namespace

const std::u16string& CardRoot() { return RootSlot(); }
void SetCardRoot(std::u16string root) { RootSlot() = std::move(root); }

ClockRequest& Clock() {
    static ClockRequest clock;
    return clock;
}

void ResetCardState() {
    Clock() = ClockRequest{};
    RootSlot().clear();
}

bool LoadSettingsFile(const std::u16string& path) {
    SettingsRecord* record = CurrentRecord();
    return LoadSettingsInto(path, record);
}

bool SaveSettingsFile(const std::u16string& path) {
    SettingsRecord* record = CurrentRecord();
    if (!record)
        return false;
    Trace(Printf("%d\n", static_cast<std::int32_t>(record->recordLength())));
    record->DeriveCombinedFlag();
    const std::size_t n = record->SaveLength();
    bool written = ReplaceFileHead(path, std::span<const std::uint8_t>(record->bytes.data(), n),
                                   [] { Trace("\n\nTrevanil Setting saving...\n"); });
    if (!written) {
        Trace("\n\nTrevanil Setting fail to save\n");
        return false;
    }
    std::u16string line = u"Write Product:[" + AnsiForDisplay(record->productName()) + u"]  ";
    line += Widen(Printf("Config Ver.:[%d.%d], CheckSum:[%d], Written Size [%d] \n",
                         static_cast<int>(record->configVersion() >> 16),
                         static_cast<int>(record->configVersion() & 0xFFFF),
                         static_cast<std::int32_t>(record->recordLength()), static_cast<int>(n)));
    Trace(line);
    Trace(Printf("motion set: %d / motion sensitivity: %d\n", static_cast<std::int32_t>(record->motionSet()),
                 static_cast<std::int32_t>(record->motionSensitivity())));
    Trace(std::string(77, '-') + "\n");
    return true;
}

bool RestoreDefaultSettings(SettingsRecord& record) {
    std::array<std::uint8_t, SettingsRecord::kRetainedBlockSize> block;
    std::copy(record.retainedBlock().begin(), record.retainedBlock().end(), block.begin());
    const std::uint32_t value = record.retainedValue();
    const std::u16string path = CardRoot() + u"default.cfg";
    SettingsRecord* target = &record;
    const bool loaded = LoadSettingsInto(path, target);
    if (!loaded)
        prompt::Ask({prompt::Kind::MessageOk, {}, u"no default.cfg :" + path});
    record.setRetainedBlock(block);
    record.setRetainedValue(value);
    return loaded;
}

bool LoadCardSettings(SettingsRecord& record) {
    SettingsRecord* target = &record;
    return LoadSettingsInto(CardRoot() + u"setup.cfg", target) || RestoreDefaultSettings(record);
}

bool ReadClockFile(const std::u16string& path) {
    auto line = ReadFirstLine(path, kMaxClockLine);
    if (!line) {
        Clock().timeSyncRequested = 0;
        return false;
    }
    std::string_view text(*line);
    if (auto nul = text.find('\0'); nul != std::string_view::npos)
        text = text.substr(0, nul);
    int values[6] = {};
    for (int field = 0; field < 6 && !text.empty(); ++field) {
        std::size_t comma = text.find(',');
        values[field] = ClockFieldValue(text.substr(0, comma));
        if (comma == std::string_view::npos)
            break;
        text.remove_prefix(comma + 1);
    }
    SystemTime& t = Clock().timeSyncTime;
    t.year = static_cast<std::uint16_t>(values[0]);
    t.month = static_cast<std::uint16_t>(values[1]);
    t.day = static_cast<std::uint16_t>(values[2]);
    t.hour = static_cast<std::uint16_t>(values[3]);
    t.minute = static_cast<std::uint16_t>(values[4]);
    t.second = static_cast<std::uint16_t>(values[5]);
    Clock().timeSyncRequested = 1;
    return true;
}

std::string FormatClockLine(const SystemTime& time, std::int32_t standardBiasMinutes) {
    const std::int32_t offset = -standardBiasMinutes;
    const std::int32_t magnitude = offset < 0 ? -offset : offset;
    return Printf("%4d,%02d,%02d,%02d,%02d,%02d,%c%02d%02d", time.year, time.month, time.day, time.hour,
                  time.minute, time.second, offset > 0 ? '+' : '-', magnitude / 60, magnitude % 60);
}

bool WriteClockFile(const std::u16string& path) {
    if (Clock().timeSyncRequested == 0) {
        // A request that stays on the card would make the camera set its clock again: a file that cannot be
        // removed is a failure.
        return RemoveFileIfPresent(path);
    }
    std::string line = FormatClockLine(Clock().timeSyncTime, Host().StandardBiasMinutes());
    return ReplaceFile(path, std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(line.data()),
                                                           line.size()));
}

} // namespace dashcam
