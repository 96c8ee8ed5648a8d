#pragma once
// The "Memory Card Settings" page: how the camera divides its card among its five kinds of recording, with a bar
// diagram of the shares, which kinds overwrite their oldest videos, and the Format button. Every control change
// is written into the settings record at once; Refresh sets every control from the record and never writes it.
#include <array>

#include "settings/card.h"
#include "ui/base_dialog.h"
#include "ui/memory_surface.h"

class QPaintEvent;

namespace dashcam {

class CProgPopupDlg;

// The progress popup of the format that is running, or null.
CProgPopupDlg*& CurrentProgressPopup();

class CEtcDlg : public CBaseDialog, public MemoryCardPageIds {
    Q_OBJECT
public:
    // Full width of the diagram: 450 layout units stand for the whole card.
    static constexpr float kDiagramWidth = 450.0f;

    // The page edits `card`'s record, which the window owns and keeps for the page's whole life.
    CEtcDlg(Card& card, QWidget* parent);
    ~CEtcDlg() override;

    void Refresh() override;

    // The five shares of the card for a partition type; any value other than 1, 2 and 3 gets the fallback row.
    static const std::array<float, kKinds>& Shares(std::uint32_t memoryPartition);
    // Length of a share's bar in layout units: share × 450 in single precision, truncated.
    static int BarWidth(float share);
    // The text of a share's percentage label, "62.0%".
    static QString PercentageText(float share);

    // Top-left corner of the diagram's first bar in page coordinates (moves with the page when it scrolls).
    QPoint DiagramOrigin() const;

    // The Format button: asks about the card's volume, has the PC viewer let go of the card, formats it and
    // puts the camera's files and the program back on it, behind the progress popup; ends with the result box.
    // A volume that is not a removable card is refused with the reason.
    void OnFormatButton();

    // How long the viewer may take to let go of the card before the format goes ahead anyway.
    static constexpr std::uint32_t kViewerWaitMs = 15000;
    // Pause between the end of the format and the close of the progress popup, so the user sees the final
    // state of the bar; tests set it to 0.
    static int closePauseMs;

protected:
    bool OnInitDialog() override;
    void paintEvent(QPaintEvent* event) override;
    void OnFormInput(const FormControl& row, int state) override;
    SettingsRecord* EditedRecord() override { return card_.record(); }

private:
    Card& card_;
    void Layout() override;
    // The bars and percentages of the partition the record holds (a type the camera does not know: the
    // fallback shares).
    void ShowShares();
    void PaintDiagram();

    std::array<MemorySurface, kKinds> barImages_;
};

} // namespace dashcam
