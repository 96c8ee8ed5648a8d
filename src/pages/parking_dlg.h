#pragma once
// The "Record Settings" page: impact and motion sensitivity, camera brightness, parking mode, record timer
// and the battery cut-off voltages. Every control change is written into the settings record at once; Refresh
// sets every control from the record and never writes it.
#include "settings/card.h"
#include "ui/base_dialog.h"

namespace dashcam {

class CSubSlider;

class CParkingDlg : public CBaseDialog, public RecordPageIds {
    Q_OBJECT
public:
    // The content is taller than the page's window and scrolls.
    static constexpr int kContentHeight = 998;

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
    void OnFormInput(const FormControl& row, int state) override;
    SettingsRecord* EditedRecord() override { return card_.record(); }

private:
    Card& card_;
    void Layout() override;
    // Stores what control `id` stores when it is clicked.
    void Store(int id, SettingsRecord& record) { StoreControlValue(*form().Find(id), 1, record); }
    void OnParkingModeClicked(int id);
    void OnLowVoltageClicked(int id);
};

} // namespace dashcam
