#include "settings_record.h"

#include <algorithm>
#include <memory>

namespace dashcam {

std::uint32_t SettingsRecord::U32(std::size_t offset) const {
    return static_cast<std::uint32_t>(bytes[offset]) | static_cast<std::uint32_t>(bytes[offset + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[offset + 2]) << 16 | static_cast<std::uint32_t>(bytes[offset + 3]) << 24;
}

void SettingsRecord::SetU32(std::size_t offset, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::string_view SettingsRecord::Text(std::size_t offset, std::size_t width) const {
    const char* start = reinterpret_cast<const char*>(bytes.data() + offset);
    std::size_t length = 0;
    while (length < width && start[length] != 0)
        ++length;
    return {start, length};
}

void SettingsRecord::SetText(std::size_t offset, std::size_t width, std::string_view ansi) {
    std::fill_n(bytes.begin() + static_cast<std::ptrdiff_t>(offset), width, std::uint8_t{0});
    std::size_t n = std::min(width, ansi.size());
    std::copy_n(reinterpret_cast<const std::uint8_t*>(ansi.data()), n, bytes.begin() + static_cast<std::ptrdiff_t>(offset));
}

void SettingsRecord::setRetainedBlock(std::span<const std::uint8_t, kRetainedBlockSize> block) {
    std::copy(block.begin(), block.end(), bytes.begin() + kRetainedBlockOffset);
}

void SettingsRecord::DeriveCombinedFlag() {
    setCombinedFlag((flagSourceA() != 0 || flagSourceB() != 0 || flagSourceC() != 0) ? 1u : 0u);
}

std::size_t SettingsRecord::SaveLength() const { return std::min<std::uint32_t>(recordLength(), kSize); }

namespace {
constexpr FieldInfo kFields[] = {
    {"recordLength", 0, 4, FieldKind::Unsigned},
    {"configVersion", 4, 4, FieldKind::Unsigned},
    {"productName", 8, 16, FieldKind::Text},
    {"cameraBrightness", 64, 4, FieldKind::Unsigned},
    {"voiceGuidanceOn", 108, 4, FieldKind::Unsigned},
    {"voiceVolume", 112, 4, FieldKind::Unsigned},
    {"safetyCameraAlert", 116, 4, FieldKind::Unsigned},
    {"continuousImpactSensitivity", 120, 4, FieldKind::Unsigned},
    {"overwriteContinuousIncident", 132, 4, FieldKind::Unsigned},
    {"overwriteParkingMotion", 136, 4, FieldKind::Unsigned},
    {"overwriteParkingIncident", 140, 4, FieldKind::Unsigned},
    {"overwriteManual", 144, 4, FieldKind::Unsigned},
    {"parkingImpactSensitivity", 176, 4, FieldKind::Unsigned},
    {"parkingMode", 180, 4, FieldKind::Unsigned},
    {"motionSet", 184, 4, FieldKind::Unsigned},
    {"motionSensitivity", 196, 4, FieldKind::Unsigned},
    {"recordTimerHours", 200, 4, FieldKind::Unsigned},
    {"cutoffVoltage12V", 204, 4, FieldKind::Unsigned},
    {"cutoffVoltage24V", 208, 4, FieldKind::Unsigned},
    {"memoryPartition", 212, 4, FieldKind::Unsigned},
    {"systemRadioChoice", 216, 4, FieldKind::Unsigned},
    {"retainedValue", 224, 4, FieldKind::Unsigned},
    {"timeZoneBias", 372, 4, FieldKind::Signed},
    {"daylightSaving", 376, 4, FieldKind::Unsigned},
    {"timeZoneName", 380, 32, FieldKind::Text},
    {"speedUnit", 416, 4, FieldKind::Unsigned},
    {"auxSliderLevel", 420, 4, FieldKind::Unsigned},
    {"lcdAutoOffMs", 424, 4, FieldKind::Unsigned},
    {"deviceLanguage", 428, 4, FieldKind::Unsigned},
    {"winterMonthMask", 432, 4, FieldKind::Unsigned},
    {"combinedFlag", 440, 4, FieldKind::Unsigned},
    {"lowVoltageShutdown", 464, 4, FieldKind::Unsigned},
    {"flagSourceA", 484, 4, FieldKind::Unsigned},
    {"flagSourceB", 492, 4, FieldKind::Unsigned},
    {"flagSourceC", 500, 4, FieldKind::Unsigned},
    {"recordOptionA", 508, 4, FieldKind::Unsigned},
    {"speedStamp", 512, 4, FieldKind::Unsigned},
    {"recordOptionB", 536, 4, FieldKind::Unsigned},
    {"recordOptionC", 540, 4, FieldKind::Unsigned},
    {"speedTrapAlert", 548, 4, FieldKind::Unsigned},
};

std::unique_ptr<SettingsRecord>& Slot() {
    static std::unique_ptr<SettingsRecord> record;
    return record;
}
} // namespace

std::span<const FieldInfo> SettingsFields() { return kFields; }

const FieldInfo* FindSettingsField(std::string_view name) {
    for (const FieldInfo& f : kFields)
        if (f.name == name)
            return &f;
    return nullptr;
}

bool IsInterpretedByte(std::size_t offset) {
    for (const FieldInfo& f : kFields)
        if (offset >= f.offset && offset < f.offset + f.width)
            return true;
    return false;
}

SettingsRecord* CurrentRecord() { return Slot().get(); }

SettingsRecord& AllocateRecord() {
    Slot() = std::make_unique<SettingsRecord>();
    return *Slot();
}

void ReleaseRecord() { Slot().reset(); }

} // namespace dashcam
