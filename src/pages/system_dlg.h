#pragma once
// The "System Settings" page: the camera's menu language, voice guidance volume, time zone, daylight saving,
// speed unit, speed stamp and the two speed alerts, the request that the camera take its clock from the PC,
// and the touch-screen recalibration request. Every control change is written into the settings record (or
// the clock request) at once; Refresh sets every control from the record and switches the clock request off.
#include <QDateTime>

#include <memory>

#include "settings/card.h"
#include "ui/base_dialog.h"

class QComboBox;
class QDateEdit;
class QSlider;
class QTimeEdit;

namespace dashcam {

class CSubSlider;
class CTimeZoneInfoManager;
struct CardVersionInfo;

class CSystemDlg : public CBaseDialog {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 221;

    static constexpr int kLanguageBox = 1390;
    static constexpr int kVoiceSlider = 1018;
    static constexpr int kTimeZoneBox = 1123;
    static constexpr int kClockCheck = 1326;
    static constexpr int kDatePicker = 1122;
    static constexpr int kTimePicker = 1121;
    static constexpr int kCurrentTimeButton = 1344;
    static constexpr int kDaylightOn = 1380;
    static constexpr int kDaylightOff = 1381;
    static constexpr int kKmh = 1382;
    static constexpr int kMph = 1383;
    static constexpr int kSpeedStampOn = 1387;
    static constexpr int kSpeedStampOff = 1398;
    static constexpr int kSafetyCameraOn = 4005;
    static constexpr int kSafetyCameraOff = 4006;
    static constexpr int kSpeedTrapOn = 1399;
    static constexpr int kSpeedTrapOff = 1400;
    // Controls that the page keeps in step with the record but never shows.
    static constexpr int kAuxSlider = 1035;
    static constexpr int kTouchCalibrationButton = 1360;
    // The hidden button that takes the keyboard focus on a click on the page's background.
    static constexpr int kFocusSink = 1389;
    // Rows the open time-zone list shows at most.
    static constexpr int kZoneListRows = 30;

    // The text whose width in the normal font is the width of the time-zone box.
    static const QString kZoneBoxMeasure;

    // The page edits `card`'s record, which the window owns and keeps for the page's whole life.
    CSystemDlg(Card& card, QWidget* parent);
    ~CSystemDlg() override;

    // The card's language list that the language box offers; borrowed, must outlive the page. Without it the
    // box stays empty.
    void SetVersionInfo(const CardVersionInfo* info) { versionInfo_ = info; }

    void Refresh() override;

    CSubSlider* voiceSlider() const { return voiceSlider_; }
    // The zone catalogue, taken from the one being made at start-up when first asked for.
    CTimeZoneInfoManager& catalogue();

    // The touch-recalibration request (button 1360): asks, writes the request file to the root of the card's
    // volume, then says whether it was written.
    void OnTouchCalibration();

    // Where "now" comes from for the pickers' start value and "Get Current Time"; tests install a fixed
    // clock. nullptr restores the local clock.
    using NowFunction = QDateTime (*)();
    static void SetNowFunction(NowFunction now);

protected:
    bool OnInitDialog() override;

private:
    Card& card_;
    void CreateControls();
    void Layout() override;
    void RefreshTimeZone();
    void RefreshClockRequest();
    void SetClockControlsEnabled(bool enabled);
    void ShowCheckedOf(int onId, int offId, bool on);
    void OnRadioClicked(int id);
    void OnVoiceSliderMoved(int position);
    void OnTimeZonePicked(int index);
    void OnLanguagePicked(int index);
    void OnClockCheckClicked(bool checked);
    void OnDateChanged();
    void OnTimeChanged();
    void OnGetCurrentTime();

    std::unique_ptr<CTimeZoneInfoManager> catalogue_;
    const CardVersionInfo* versionInfo_ = nullptr;
    CSubSlider* voiceSlider_ = nullptr;
    QSlider* auxSlider_ = nullptr;
    QComboBox* languageBox_ = nullptr;
    QComboBox* zoneBox_ = nullptr;
    QDateEdit* datePicker_ = nullptr;
    QTimeEdit* timePicker_ = nullptr;
};

} // namespace dashcam
