#pragma once
// The "Record Settings" page: impact and motion sensitivity, camera brightness, parking mode, record timer
// and the battery cut-off voltages. Every control change is written into the settings record at once; Refresh
// sets every control from the record and never writes it.
#include "settings/card.h"
#include "ui/base_dialog.h"

class QButtonGroup;

namespace dashcam {

class CSubSlider;

class CParkingDlg : public CBaseDialog {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 132;
    // The content is taller than the page's window and scrolls.
    static constexpr int kContentHeight = 998;

    // Sliders.
    static constexpr int kContinuousSensitivity = 1252;
    static constexpr int kBrightness = 1020;
    static constexpr int kParkingSensitivity = 1160;
    static constexpr int kMotionSensitivity = 1161;
    static constexpr int kRecordTimer = 1162;
    static constexpr int kCutoff12V = 1163;
    static constexpr int kCutoff24V = 1164;
    // Parking mode: Enabled, the second (never shown) mode, Disabled.
    static constexpr int kParkingEnabled = 4000;
    static constexpr int kParkingMode2 = 4001;
    static constexpr int kParkingDisabled = 4002;
    // Controls that the page keeps in step with the record but never shows.
    static constexpr int kWinterMonthFirst = 1165; // 1165 ... 1169: bits 0 ... 4 of winterMonthMask
    static constexpr int kWinterMonthLast = 1169;
    static constexpr int kLowVoltageOn = 1153;
    static constexpr int kLowVoltageOff = 1154;
    static constexpr int kOptionAOn = 1155;
    static constexpr int kOptionAOff = 1156;
    static constexpr int kOptionACheck = 4104;
    static constexpr int kOptionBCheck = 4103;
    static constexpr int kOptionCOn = 4106;
    static constexpr int kOptionCOff = 4107;
    // The hidden button that takes the keyboard focus on a click on the page's background.
    static constexpr int kFocusSink = 1171;

    // The page edits `card`'s record, which the window owns and keeps for the page's whole life.
    CParkingDlg(Card& card, QWidget* parent);
    ~CParkingDlg() override;

    void Refresh() override;

    CSubSlider* slider(int id) const;

    // Enables or disables the five parking sliders from the record's parking mode; with `apply` the timer,
    // parking-sensitivity and motion sliders first follow `enable`.
    void ParkingEnablement(bool enable, bool apply);

protected:
    bool OnInitDialog() override;

private:
    Card& card_;
    void CreateControls();
    void Layout() override;
    void SetUpSliders();
    void OnSliderMoved(int id, int position);
    void OnParkingModeClicked(int id);
    void OnLowVoltageClicked(int id);
    void OnWinterMonthClicked(int id, bool checked);

    CSubSlider* continuousSlider_ = nullptr;
    CSubSlider* parkingSlider_ = nullptr;
    CSubSlider* motionSlider_ = nullptr;
    CSubSlider* timerSlider_ = nullptr;
    CSubSlider* cutoff12Slider_ = nullptr;
    CSubSlider* cutoff24Slider_ = nullptr;
    CSubSlider* brightnessSlider_ = nullptr;

    QButtonGroup* parkingGroup_ = nullptr;
    QButtonGroup* lowVoltageGroup_ = nullptr;
    QButtonGroup* optionAGroup_ = nullptr;
    QButtonGroup* optionCGroup_ = nullptr;
};

} // namespace dashcam
