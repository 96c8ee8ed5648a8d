// Where each field of the 572-byte record stands, and the scales of the Record page's sliders.
#include <gtest/gtest.h>

#include <string>

#include "settings/settings_record.h"
#include "settings/slider_scale.h"

namespace dashcam {
namespace {

// The interpreted fields as the camera's record format lays them out: first and last byte, kind.
struct FormatField {
    std::string_view name;
    std::size_t first;
    std::size_t last;
    FieldKind kind;
};
constexpr FieldKind U = FieldKind::Unsigned;
constexpr FormatField kRecordFormat[] = {
    {"recordLength", 0, 3, U},
    {"configVersion", 4, 7, U},
    {"productName", 8, 23, FieldKind::Text},
    {"cameraBrightness", 64, 67, U},
    {"voiceGuidanceOn", 108, 111, U},
    {"voiceVolume", 112, 115, U},
    {"safetyCameraAlert", 116, 119, U},
    {"continuousImpactSensitivity", 120, 123, U},
    {"overwriteContinuousIncident", 132, 135, U},
    {"overwriteParkingMotion", 136, 139, U},
    {"overwriteParkingIncident", 140, 143, U},
    {"overwriteManual", 144, 147, U},
    {"parkingImpactSensitivity", 176, 179, U},
    {"parkingMode", 180, 183, U},
    {"motionSet", 184, 187, U},
    {"motionSensitivity", 196, 199, U},
    {"recordTimerHours", 200, 203, U},
    {"cutoffVoltage12V", 204, 207, U},
    {"cutoffVoltage24V", 208, 211, U},
    {"memoryPartition", 212, 215, U},
    {"systemRadioChoice", 216, 219, U},
    {"retainedValue", 224, 227, U},
    {"timeZoneBias", 372, 375, FieldKind::Signed},
    {"daylightSaving", 376, 379, U},
    {"timeZoneName", 380, 411, FieldKind::Text},
    {"speedUnit", 416, 419, U},
    {"auxSliderLevel", 420, 423, U},
    {"lcdAutoOffMs", 424, 427, U},
    {"deviceLanguage", 428, 431, U},
    {"winterMonthMask", 432, 435, U},
    {"combinedFlag", 440, 443, U},
    {"lowVoltageShutdown", 464, 467, U},
    {"flagSourceA", 484, 487, U},
    {"flagSourceB", 492, 495, U},
    {"flagSourceC", 500, 503, U},
    {"recordOptionA", 508, 511, U},
    {"speedStamp", 512, 515, U},
    {"recordOptionB", 536, 539, U},
    {"recordOptionC", 540, 543, U},
    {"speedTrapAlert", 548, 551, U},
};

TEST(SettingsRecordLayout, EveryFieldStandsWhereTheRecordFormatPutsIt) {
    const std::span<const FieldInfo> fields = SettingsFields();
    ASSERT_EQ(fields.size(), std::size(kRecordFormat));
    std::size_t interpreted = 0;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const FormatField& want = kRecordFormat[i];
        SCOPED_TRACE(std::string(want.name));
        EXPECT_EQ(fields[i].name, want.name);
        EXPECT_EQ(fields[i].offset, want.first);
        EXPECT_EQ(fields[i].width, want.last - want.first + 1);
        EXPECT_EQ(fields[i].kind, want.kind);
        EXPECT_EQ(FindSettingsField(want.name), &fields[i]);
        interpreted += fields[i].width;
    }
    // Everything else, retainedBlock included, is carried as loaded.
    std::size_t kept = 0;
    for (std::size_t b = 0; b < SettingsRecord::kSize; ++b)
        kept += IsInterpretedByte(b) ? 0 : 1;
    EXPECT_EQ(kept, SettingsRecord::kSize - interpreted);
    for (std::size_t b = 40; b <= 49; ++b)
        EXPECT_FALSE(IsInterpretedByte(b)) << b;
}

TEST(SliderScales, PositionsOutsideAScaleStoreNothingAndShowThemselves) {
    EXPECT_EQ(kRecordTimerScale.StoredValue(-1), std::nullopt);
    EXPECT_EQ(kRecordTimerScale.StoredValue(4), std::nullopt);
    EXPECT_EQ(kImpactSensitivityScale.StoredValue(0), std::nullopt);
    EXPECT_EQ(kImpactSensitivityScale.StoredValue(5), 5u);
    EXPECT_EQ(kMotionSensitivityScale.PositionOf(2), std::nullopt);
    EXPECT_EQ(kMotionSensitivityScale.PositionOf(5), 3);
    EXPECT_EQ(kCutoff24VScale.ValueText(8), "8");
    EXPECT_EQ(kCutoff24VScale.ValueText(-1), "-1");
    EXPECT_EQ(kRecordTimerScale.ValueText(9), "9");
}

} // namespace
} // namespace dashcam
