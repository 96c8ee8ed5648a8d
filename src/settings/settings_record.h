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

// The stored values of the two sliders that do not store their position, indexed by slider position 0-3.
inline constexpr std::array<std::uint32_t, 4> kMotionSensitivityValues = {0, 1, 3, 5};
inline constexpr std::array<std::uint32_t, 4> kRecordTimerValues = {6, 12, 24, 48};

enum class FieldKind { Unsigned, Signed, Text };

struct FieldInfo {
    std::string_view name;
    std::size_t offset;
    std::size_t width;
    FieldKind kind;
};

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

    std::uint32_t recordLength() const { return U32(0); }
    void setRecordLength(std::uint32_t v) { SetU32(0, v); }
    std::uint32_t configVersion() const { return U32(4); }
    void setConfigVersion(std::uint32_t v) { SetU32(4, v); }
    std::uint32_t cameraBrightness() const { return U32(64); }
    void setCameraBrightness(std::uint32_t v) { SetU32(64, v); }
    std::uint32_t voiceGuidanceOn() const { return U32(108); }
    void setVoiceGuidanceOn(std::uint32_t v) { SetU32(108, v); }
    std::uint32_t voiceVolume() const { return U32(112); }
    void setVoiceVolume(std::uint32_t v) { SetU32(112, v); }
    std::uint32_t safetyCameraAlert() const { return U32(116); }
    void setSafetyCameraAlert(std::uint32_t v) { SetU32(116, v); }
    std::uint32_t continuousImpactSensitivity() const { return U32(120); }
    void setContinuousImpactSensitivity(std::uint32_t v) { SetU32(120, v); }
    std::uint32_t overwriteContinuousIncident() const { return U32(132); }
    void setOverwriteContinuousIncident(std::uint32_t v) { SetU32(132, v); }
    std::uint32_t overwriteParkingMotion() const { return U32(136); }
    void setOverwriteParkingMotion(std::uint32_t v) { SetU32(136, v); }
    std::uint32_t overwriteParkingIncident() const { return U32(140); }
    void setOverwriteParkingIncident(std::uint32_t v) { SetU32(140, v); }
    std::uint32_t overwriteManual() const { return U32(144); }
    void setOverwriteManual(std::uint32_t v) { SetU32(144, v); }
    std::uint32_t parkingImpactSensitivity() const { return U32(176); }
    void setParkingImpactSensitivity(std::uint32_t v) { SetU32(176, v); }
    std::uint32_t parkingMode() const { return U32(180); }
    void setParkingMode(std::uint32_t v) { SetU32(180, v); }
    std::uint32_t motionSet() const { return U32(184); }
    void setMotionSet(std::uint32_t v) { SetU32(184, v); }
    std::uint32_t motionSensitivity() const { return U32(196); }
    void setMotionSensitivity(std::uint32_t v) { SetU32(196, v); }
    std::uint32_t recordTimerHours() const { return U32(200); }
    void setRecordTimerHours(std::uint32_t v) { SetU32(200, v); }
    std::uint32_t cutoffVoltage12V() const { return U32(204); }
    void setCutoffVoltage12V(std::uint32_t v) { SetU32(204, v); }
    std::uint32_t cutoffVoltage24V() const { return U32(208); }
    void setCutoffVoltage24V(std::uint32_t v) { SetU32(208, v); }
    std::uint32_t memoryPartition() const { return U32(212); }
    void setMemoryPartition(std::uint32_t v) { SetU32(212, v); }
    std::uint32_t systemRadioChoice() const { return U32(216); }
    void setSystemRadioChoice(std::uint32_t v) { SetU32(216, v); }
    std::uint32_t retainedValue() const { return U32(224); }
    void setRetainedValue(std::uint32_t v) { SetU32(224, v); }
    std::int32_t timeZoneBias() const { return I32(372); }
    void setTimeZoneBias(std::int32_t v) { SetI32(372, v); }
    std::uint32_t daylightSaving() const { return U32(376); }
    void setDaylightSaving(std::uint32_t v) { SetU32(376, v); }
    std::uint32_t speedUnit() const { return U32(416); }
    void setSpeedUnit(std::uint32_t v) { SetU32(416, v); }
    std::uint32_t auxSliderLevel() const { return U32(420); }
    void setAuxSliderLevel(std::uint32_t v) { SetU32(420, v); }
    std::uint32_t lcdAutoOffMs() const { return U32(424); }
    void setLcdAutoOffMs(std::uint32_t v) { SetU32(424, v); }
    std::uint32_t deviceLanguage() const { return U32(428); }
    void setDeviceLanguage(std::uint32_t v) { SetU32(428, v); }
    std::uint32_t winterMonthMask() const { return U32(432); }
    void setWinterMonthMask(std::uint32_t v) { SetU32(432, v); }
    std::uint32_t combinedFlag() const { return U32(440); }
    void setCombinedFlag(std::uint32_t v) { SetU32(440, v); }
    std::uint32_t lowVoltageShutdown() const { return U32(464); }
    void setLowVoltageShutdown(std::uint32_t v) { SetU32(464, v); }
    std::uint32_t flagSourceA() const { return U32(484); }
    void setFlagSourceA(std::uint32_t v) { SetU32(484, v); }
    std::uint32_t flagSourceB() const { return U32(492); }
    void setFlagSourceB(std::uint32_t v) { SetU32(492, v); }
    std::uint32_t flagSourceC() const { return U32(500); }
    void setFlagSourceC(std::uint32_t v) { SetU32(500, v); }
    std::uint32_t recordOptionA() const { return U32(508); }
    void setRecordOptionA(std::uint32_t v) { SetU32(508, v); }
    std::uint32_t speedStamp() const { return U32(512); }
    void setSpeedStamp(std::uint32_t v) { SetU32(512, v); }
    std::uint32_t recordOptionB() const { return U32(536); }
    void setRecordOptionB(std::uint32_t v) { SetU32(536, v); }
    std::uint32_t recordOptionC() const { return U32(540); }
    void setRecordOptionC(std::uint32_t v) { SetU32(540, v); }
    std::uint32_t speedTrapAlert() const { return U32(548); }
    void setSpeedTrapAlert(std::uint32_t v) { SetU32(548, v); }
    std::string_view productName() const { return Text(8, 16); }
    void setProductName(std::string_view ansi) { SetText(8, 16, ansi); }
    std::string_view timeZoneName() const { return Text(380, 32); }
    void setTimeZoneName(std::string_view ansi) { SetText(380, 32, ansi); }

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

// The one process-wide record.
SettingsRecord* CurrentRecord();
// Creates the record, 572 zero bytes (replacing any earlier one), and returns it.
SettingsRecord& AllocateRecord();
void ReleaseRecord();

} // namespace dashcam
