#include "pages/parking_dlg.h"

#include <QAbstractButton>

#include <array>

#include "i18n/language_table.h"
#include "platform/prompt.h"
#include "settings/settings_record.h"
#include "ui/msg_popup_dlg.h"
#include "ui/sub_slider.h"
#include "ui/ui_text.h"

namespace dashcam {

CParkingDlg::CParkingDlg(Card& card, QWidget* parent) : CBaseDialog(kTemplateId, parent), card_(card) {
    swallowEscape = true;
    scrollMax = 500;
    lineStep = 80;
    CreateForm(RecordPageForm());
    Create();
}

CParkingDlg::~CParkingDlg() = default;

bool CParkingDlg::OnInitDialog() {
    return SetUpPageControls(false);
}

void CParkingDlg::Layout() {
    PlaceForm();
    scrollMax = kContentHeight - kPageHeight;
}

CSubSlider* CParkingDlg::slider(int id) const {
    return itemAs<CSubSlider>(id);
}

void CParkingDlg::OnFormInput(const FormControl& row, int state) {
    switch (row.id) {
    case kParkingEnabled:
    case kParkingMode2:
    case kParkingDisabled:
        OnParkingModeClicked(row.id);
        return;
    case kLowVoltageOn:
    case kLowVoltageOff:
        OnLowVoltageClicked(row.id);
        return;
    default:
        CBaseDialog::OnFormInput(row, state);
    }
}

void CParkingDlg::Refresh() {
    const SettingsRecord* record = card_.record();
    if (!record)
        return;
    ShowRecord(*record);
    ParkingEnablement(!itemAs<QAbstractButton>(kParkingDisabled)->isChecked(), true);
}

void CParkingDlg::ParkingEnablement(bool enable, bool apply) {
    const SettingsRecord* record = card_.record();
    if (!record)
        return;
    const std::uint32_t mode = record->parkingMode();
    constexpr std::array<int, 5> kParkingSliders = {kParkingSensitivity, kMotionSensitivity, kRecordTimer,
                                                    kCutoff12V, kCutoff24V};
    if (mode != 0)
        for (int id : kParkingSliders)
            SetEnabled(id, true);
    if (apply) {
        SetEnabled(kRecordTimer, enable);
        SetEnabled(kParkingSensitivity, enable);
        SetEnabled(kMotionSensitivity, enable);
    }
    if (mode == 0)
        for (int id : kParkingSliders)
            SetEnabled(id, false);
    if (mode == 2)
        SetEnabled(kMotionSensitivity, false);
}

void CParkingDlg::OnParkingModeClicked(int id) {
    SettingsRecord* record = card_.record();
    if (!record)
        return;
    if (id != kParkingDisabled) {
        Store(id, *record);
        ParkingEnablement(true, true);
        return;
    }
    auto* disabled = itemAs<QAbstractButton>(kParkingDisabled);
    if (!disabled->isChecked() || record->parkingMode() == 0)
        return;

    prompt::Request request;
    request.kind = prompt::Kind::MessageYesNo;
    request.caption = LookupText(u"IDS_STRING104");
    request.text = LookupText(u"IDS_STRING177") + u"\r\n" + LookupText(u"IDS_STRING1770") + u"\r\n";
    const prompt::Answer answer = prompt::Ask(request);

    if (answer == prompt::Answer::Yes) {
        Store(kParkingDisabled, *record);
        ParkingEnablement(false, true);
        return;
    }
    SetChecked(kParkingEnabled, false);
    SetChecked(kParkingMode2, false);
    SetChecked(kParkingDisabled, false);
    if (record->parkingMode() == 1) {
        SetChecked(kParkingEnabled, true);
        item(kParkingEnabled)->setFocus();
    } else if (record->parkingMode() == 2) {
        SetChecked(kParkingMode2, true);
        item(kParkingMode2)->setFocus();
    }
    SetChecked(kParkingDisabled, false);
    ParkingEnablement(true, true);
}

void CParkingDlg::OnLowVoltageClicked(int id) {
    SettingsRecord* record = card_.record();
    if (!record)
        return;
    auto setWinterMonthsEnabled = [this](bool enabled) {
        for (int box = kWinterMonthFirst; box <= kWinterMonthLast; ++box)
            SetEnabled(box, enabled);
    };
    if (id == kLowVoltageOn) {
        Store(kLowVoltageOn, *record);
        ParkingEnablement(true, false);
        setWinterMonthsEnabled(true);
        return;
    }
    if (record->lowVoltageShutdown() == 0)
        return;

    CMsgPopupDlg popup(window());
    popup.SetPopupText(UiText(u"IDS_STRING246"),
                       UiText(u"IDS_STRING247") + QStringLiteral("\r\n") + UiText(u"IDS_STRING248") +
                           QStringLiteral("\r\n") + UiText(u"IDS_STRING249"),
                       330, 170);
    if (popup.DoModal() == CMsgPopupDlg::kIdOk) {
        Store(kLowVoltageOff, *record);
        ParkingEnablement(false, false);
        setWinterMonthsEnabled(false);
        return;
    }
    Store(kLowVoltageOn, *record);
    SetChecked(kLowVoltageOn, true);
    SetChecked(kLowVoltageOff, false);
    item(kLowVoltageOn)->setFocus();
    ParkingEnablement(true, false);
    setWinterMonthsEnabled(true);
}

} // namespace dashcam
