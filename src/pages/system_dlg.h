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
class QTimeEdit;

namespace dashcam {

class CSubSlider;
class CTimeZoneInfoManager;
struct CardVersionInfo;

class CSystemDlg : public CBaseDialog, public SystemPageIds {
    Q_OBJECT
public:
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
    void OnFormInput(const FormControl& row, int state) override;
    SettingsRecord* EditedRecord() override { return card_.record(); }

private:
    Card& card_;
    void Layout() override;
    // The page's own settings of the controls the table made: the zone list's drop-down, the pickers' start.
    void SetUpControls();
    void RefreshTimeZone();
    void RefreshClockRequest();
    void SetClockControlsEnabled(bool enabled);
    void OnTimeZonePicked(int index);
    void OnClockCheckClicked(bool checked);
    void OnDateChanged();
    void OnTimeChanged();
    void OnGetCurrentTime();

    std::unique_ptr<CTimeZoneInfoManager> catalogue_;
    const CardVersionInfo* versionInfo_ = nullptr;
    CSubSlider* voiceSlider_ = nullptr;
    QComboBox* languageBox_ = nullptr;
    QComboBox* zoneBox_ = nullptr;
    QDateEdit* datePicker_ = nullptr;
    QTimeEdit* timePicker_ = nullptr;
};

} // namespace dashcam
