#pragma once
// The scales of the pages' sliders: the positions a slider offers, the text under each tick, the value a
// position stands for and what it stores in the record. The page, the slider's tooltips and the checks of
// dashcam-cfg set all read them from here.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace dashcam {

struct SliderScale {
    int minimum = 0;
    int maximum = 0;
    // What each position from `minimum` on stores; empty when the slider stores the position itself.
    std::span<const std::uint32_t> values;
    // The voltage of each position from `minimum` on, in tenths of a volt (the battery cut-off sliders only; they
    // store the position).
    std::span<const std::uint16_t> decivolts;

    // The record value of a position; nullopt outside the scale.
    std::optional<std::uint32_t> StoredValue(int position) const;
    // The position that stores `value`; nullopt when none does.
    std::optional<int> PositionOf(std::uint32_t value) const;
    // The position a slider shows for a stored value: the value itself on a slider that stores its position;
    // otherwise the position that stores it, and for a value no position stores one beyond the last (a 0: the
    // step before the first, which the slider shows at its left end).
    int ShownPosition(std::uint32_t value) const;
    // What a position stands for, as its tooltip shows it: the stored value ("%d"), the voltage ("%0.1f"), or the
    // position itself (also for a position outside the scale).
    std::string ValueText(int position) const;
    // The text under a position's tick: "OFF" for a stored 0, the voltage followed by "V" (and a space after the
    // last one, as the camera's own labels have it), otherwise the value text.
    std::string TickText(int position) const;
};

// Which ticks of a slider get a label: the first and the last, number (n + 1) / 2, number (n - 1) / 2, or all of
// them (the other flags are then ignored).
inline constexpr std::uint32_t kTickLabelEnds = 0x01;
inline constexpr std::uint32_t kTickLabelUpperMid = 0x04;
inline constexpr std::uint32_t kTickLabelLowerMid = 0x08;
inline constexpr std::uint32_t kTickLabelEvery = 0x10;

inline constexpr std::array<std::uint32_t, 4> kMotionSensitivityValues = {0, 1, 3, 5};
inline constexpr std::array<std::uint32_t, 4> kRecordTimerValues = {6, 12, 24, 48};
inline constexpr std::array<std::uint16_t, 8> kCutoff12VDecivolts = {116, 117, 118, 119, 120, 121, 122, 123};
inline constexpr std::array<std::uint32_t, 4> kVoiceValues = {0, 1, 2, 3};
inline constexpr std::array<std::uint16_t, 8> kCutoff24VDecivolts = {232, 234, 236, 238, 240, 242, 244, 246};

inline constexpr SliderScale kImpactSensitivityScale{1, 5, {}, {}};
inline constexpr SliderScale kBrightnessScale{0, 2, {}, {}};
inline constexpr SliderScale kMotionSensitivityScale{0, 3, kMotionSensitivityValues, {}};
inline constexpr SliderScale kRecordTimerScale{0, 3, kRecordTimerValues, {}};
inline constexpr SliderScale kCutoff12VScale{0, 7, {}, kCutoff12VDecivolts};
inline constexpr SliderScale kCutoff24VScale{0, 7, {}, kCutoff24VDecivolts};
// The System page's voice slider: position 0 switches the voice guidance off, 1 … 3 are the volume it stores.
inline constexpr SliderScale kVoiceScale{0, 3, kVoiceValues, {}};

} // namespace dashcam
