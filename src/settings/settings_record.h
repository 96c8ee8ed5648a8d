#pragma once
// The camera's 572-byte settings record: the exact image of setup.cfg and default.cfg. Integers are 32-bit
// little-endian; texts are fixed-width 8-bit fields in the ANSI code page. Bytes that the editor does not interpret
// are kept exactly as loaded.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace dashcam {

enum class FieldKind { Unsigned, Signed, Text };

struct FieldInfo {
    std::string_view name;
    std::size_t offset;
    std::size_t width;
    FieldKind kind;
};

// The interpreted fields, in record order: name, the name as the setter spells it, byte offset, width in bytes
// and kind. This one list makes both the accessors (recordLength(), setRecordLength()) and SettingsFields().
#define DASHCAM_SETTINGS_FIELDS(X)                                                                                \
    X(recordLength, RecordLength, 0, 4, Unsigned)                                                                 \
    X(configVersion, ConfigVersion, 4, 4, Unsigned)                                                               \
    X(productName, ProductName, 8, 16, Text)                                                                      \
    X(cameraBrightness, CameraBrightness, 64, 4, Unsigned)                                                        \
    X(voiceGuidanceOn, VoiceGuidanceOn, 108, 4, Unsigned)                                                         \
    X(voiceVolume, VoiceVolume, 112, 4, Unsigned)                                                                 \
    X(safetyCameraAlert, SafetyCameraAlert, 116, 4, Unsigned)                                                     \
    X(continuousImpactSensitivity, ContinuousImpactSensitivity, 120, 4, Unsigned)                                 \
    X(overwriteContinuousIncident, OverwriteContinuousIncident, 132, 4, Unsigned)                                 \
    X(overwriteParkingMotion, OverwriteParkingMotion, 136, 4, Unsigned)                                           \
    X(overwriteParkingIncident, OverwriteParkingIncident, 140, 4, Unsigned)                                       \
    X(overwriteManual, OverwriteManual, 144, 4, Unsigned)                                                         \
    X(parkingImpactSensitivity, ParkingImpactSensitivity, 176, 4, Unsigned)                                       \
    X(parkingMode, ParkingMode, 180, 4, Unsigned)                                                                 \
    X(motionSet, MotionSet, 184, 4, Unsigned)                                                                     \
    X(motionSensitivity, MotionSensitivity, 196, 4, Unsigned)                                                     \
    X(recordTimerHours, RecordTimerHours, 200, 4, Unsigned)                                                       \
    X(cutoffVoltage12V, CutoffVoltage12V, 204, 4, Unsigned)                                                       \
    X(cutoffVoltage24V, CutoffVoltage24V, 208, 4, Unsigned)                                                       \
    X(memoryPartition, MemoryPartition, 212, 4, Unsigned)                                                         \
    X(systemRadioChoice, SystemRadioChoice, 216, 4, Unsigned)                                                     \
    X(retainedValue, RetainedValue, 224, 4, Unsigned)                                                             \
    X(timeZoneBias, TimeZoneBias, 372, 4, Signed)                                                                 \
    X(daylightSaving, DaylightSaving, 376, 4, Unsigned)                                                           \
    X(timeZoneName, TimeZoneName, 380, 32, Text)                                                                  \
    X(speedUnit, SpeedUnit, 416, 4, Unsigned)                                                                     \
    X(auxSliderLevel, AuxSliderLevel, 420, 4, Unsigned)                                                           \
    X(lcdAutoOffMs, LcdAutoOffMs, 424, 4, Unsigned)                                                               \
    X(deviceLanguage, DeviceLanguage, 428, 4, Unsigned)                                                           \
    X(winterMonthMask, WinterMonthMask, 432, 4, Unsigned)                                                         \
    X(combinedFlag, CombinedFlag, 440, 4, Unsigned)                                                               \
    X(lowVoltageShutdown, LowVoltageShutdown, 464, 4, Unsigned)                                                   \
    X(flagSourceA, FlagSourceA, 484, 4, Unsigned)                                                                 \
    X(flagSourceB, FlagSourceB, 492, 4, Unsigned)                                                                 \
    X(flagSourceC, FlagSourceC, 500, 4, Unsigned)                                                                 \
    X(recordOptionA, RecordOptionA, 508, 4, Unsigned)                                                             \
    X(speedStamp, SpeedStamp, 512, 4, Unsigned)                                                                   \
    X(recordOptionB, RecordOptionB, 536, 4, Unsigned)                                                             \
    X(recordOptionC, RecordOptionC, 540, 4, Unsigned)                                                             \
    X(speedTrapAlert, SpeedTrapAlert, 548, 4, Unsigned)

// The accessors of one field of each kind.
#define DASHCAM_ACCESSORS_Unsigned(name, Name, offset, width)                                                     \
    static_assert((width) == 4 && (offset) % 4 == 0);                                                              \
    std::uint32_t name() const { return U32(offset); }                                                             \
    void set##Name(std::uint32_t v) { SetU32(offset, v); }
#define DASHCAM_ACCESSORS_Signed(name, Name, offset, width)                                                       \
    static_assert((width) == 4 && (offset) % 4 == 0);                                                              \
    std::int32_t name() const { return I32(offset); }                                                              \
    void set##Name(std::int32_t v) { SetI32(offset, v); }
#define DASHCAM_ACCESSORS_Text(name, Name, offset, width)                                                         \
    std::string_view name() const { return Text(offset, width); }                                                  \
    void set##Name(std::string_view ansi) { SetText(offset, width, ansi); }

class SettingsRecord {
public:
    static constexpr std::size_t kSize = 572;
    static constexpr std::size_t kRetainedBlockOffset = 40;
    static constexpr std::size_t kRetainedBlockSize = 10;

    std::array<std::uint8_t, kSize> bytes{};

    std::uint32_t U32(std::size_t offset) const;
    void SetU32(std::size_t offset, std::uint32_t value);
    std::int32_t I32(std::size_t offset) const { return static_cast<std::int32_t>(U32(offset)); }
    void SetI32(std::size_t offset, std::int32_t value) { SetU32(offset, static_cast<std::uint32_t>(value)); }
    // A text field's bytes up to its first zero byte, or all of them when it has none.
    std::string_view Text(std::size_t offset, std::size_t width) const;
    // Zeroes the field, then stores at most `width` bytes of the text.
    void SetText(std::size_t offset, std::size_t width, std::string_view ansi);

    std::span<const std::uint8_t, kRetainedBlockSize> retainedBlock() const {
        return std::span<const std::uint8_t, kRetainedBlockSize>(bytes.data() + kRetainedBlockOffset,
                                                                 kRetainedBlockSize);
    }
    void setRetainedBlock(std::span<const std::uint8_t, kRetainedBlockSize> block);

#define DASHCAM_FIELD_ACCESSORS(name, Name, offset, width, kind) DASHCAM_ACCESSORS_##kind(name, Name, offset, width)
    DASHCAM_SETTINGS_FIELDS(DASHCAM_FIELD_ACCESSORS)
#undef DASHCAM_FIELD_ACCESSORS

    // combinedFlag = 1 when any of flagSourceA, flagSourceB, flagSourceC is non-zero, else 0.
    void DeriveCombinedFlag();
    // How many bytes a save writes: the smaller of recordLength and 572, compared unsigned.
    std::size_t SaveLength() const;
};

// The interpreted fields, in record order.
std::span<const FieldInfo> SettingsFields();
const FieldInfo* FindSettingsField(std::string_view name);
// True when the byte lies in an interpreted field (retainedBlock counts as not interpreted).
bool IsInterpretedByte(std::size_t offset);


} // namespace dashcam
