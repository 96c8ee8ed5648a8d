#include "pages/etc_dlg.h"

#include <QLabel>
#include <QPainter>

#include <chrono>
#include <thread>

#include "platform/prompt.h"
#include "platform/viewer_link.h"
#include "settings/card.h"
#include "settings/card_format.h"
#include "settings/settings_record.h"
#include "ui/dpi_scale.h"
#include "ui/prog_popup_dlg.h"
#include "ui/skin_painter.h"
#include "ui/ui_text.h"

namespace dashcam {
namespace {

// Bar colours of the five kinds: green, yellow, orange, red, blue.
constexpr int kFirstBarImage = 175;

// Shares of continuous, continuous-incident, parking-motion, parking-incident and manual recording.
constexpr std::array<float, CEtcDlg::kKinds> kTypeAShares = {0.62f, 0.20f, 0.05f, 0.03f, 0.10f};
constexpr std::array<float, CEtcDlg::kKinds> kTypeBShares = {0.37f, 0.15f, 0.05f, 0.03f, 0.40f};
constexpr std::array<float, CEtcDlg::kKinds> kTypeCShares = {0.55f, 0.15f, 0.15f, 0.05f, 0.10f};
// For a type the camera does not know; these add up to 0.986.
constexpr std::array<float, CEtcDlg::kKinds> kFallbackShares = {0.606f, 0.20f, 0.05f, 0.03f, 0.10f};

} // namespace

CProgPopupDlg*& CurrentProgressPopup() {
    static CProgPopupDlg* popup = nullptr;
    return popup;
}

CEtcDlg::CEtcDlg(Card& card, QWidget* parent) : CBaseDialog(kTemplateId, parent), card_(card) {
    swallowEscape = true;
    scrollMax = 100;
    lineStep = 100;
    CreateForm(MemoryCardPageForm());
    Create();
}

int CEtcDlg::closePauseMs = 1000;

CEtcDlg::~CEtcDlg() = default;

bool CEtcDlg::OnInitDialog() {
    SetUpPageControls(true);
    ShowShares(); // over the "000" the layout measured the percentages with
    return true;
}

void CEtcDlg::Layout() {
    PlaceForm();
    SetChecked(kContinuousOverwrite, true);
    SetEnabled(kContinuousOverwrite, false);
    // Down to 30 past the top of the last overwrite box.
    const int lastRow = form().Find(kLastOverwrite)->place.y;
    scrollMax = ToDevice(lastRow) - ToDevice(kPageHeight) + ToDevice(30);
}

const std::array<float, CEtcDlg::kKinds>& CEtcDlg::Shares(std::uint32_t memoryPartition) {
    switch (memoryPartition) {
    case 1:
        return kTypeAShares;
    case 2:
        return kTypeBShares;
    case 3:
        return kTypeCShares;
    default:
        return kFallbackShares;
    }
}

int CEtcDlg::BarWidth(float share) {
    const float width = share * kDiagramWidth;
    return static_cast<int>(width);
}

QString CEtcDlg::PercentageText(float share) {
    const float percent = share * 100.0f;
    return QString::asprintf("%3.1f%%", static_cast<double>(percent));
}

void CEtcDlg::Refresh() {
    ShowShares();
    if (const SettingsRecord* record = card_.record())
        ShowRecord(*record);
    update();
}

void CEtcDlg::OnFormInput(const FormControl& row, int state) {
    if (row.id == kFormatButton) {
        OnFormatButton();
        return;
    }
    CBaseDialog::OnFormInput(row, state);
    if (row.kind == ControlKind::Radio) {
        // The diagram shows the partition type at once.
        ShowShares();
        update();
    }
}

QPoint CEtcDlg::DiagramOrigin() const {
    const QWidget* percentage = item(kFirstPercentage);
    const QWidget* typeA = item(kTypeA);
    if (!percentage || !typeA)
        return {};
    Rect p = Rect::fromQRect(percentage->geometry());
    // Below the row of the partition types' texts (their circles may reach a row lower).
    Rect t = Rect::fromQRect(QRect(typeA->pos(), QSize(typeA->width(), TextRowHeight(typeA))));
    ToLogicalRect(p);
    ToLogicalRect(t);
    return QPoint(p.right + 10, t.bottom + 21);
}

void CEtcDlg::paintEvent(QPaintEvent* event) {
    CBaseDialog::paintEvent(event);
    PaintDiagram();
}

void CEtcDlg::ShowShares() {
    const SettingsRecord* record = card_.record();
    const auto& shares = Shares(record ? record->memoryPartition() : 0);
    SkinPainter& painter = AcquirePainter();
    for (int k = 0; k < kKinds; ++k) {
        MemorySurface& bar = barImages_[k];
        bar.Release();
        bar.Create(ToDevice(BarWidth(shares[k])), ToDevice(15));
        painter.DrawStretchImage(bar, kFirstBarImage + k);
        if (auto* label = itemAs<QLabel>(kFirstPercentage + k))
            label->setText(PercentageText(shares[k]));
    }
    ReleasePainter();
}

void CEtcDlg::PaintDiagram() {
    const QPoint origin = DiagramOrigin();
    QPainter screen(this);
    screen.setCompositionMode(QPainter::CompositionMode_Source);
    for (int k = 0; k < kKinds; ++k)
        if (const QImage* pixels = barImages_[k].Dc())
            screen.drawImage(ToDevice(origin.x()), ToDevice(origin.y() + 30 * k), *pixels);
}

void CEtcDlg::OnFormatButton() {
    const SettingsRecord* record = card_.record();
    if (!record)
        return;
    const std::u16string caption = LookupText(u"IDS_STRING162");
    auto tell = [&caption](const std::u16string& text, bool warning) {
        prompt::Ask({prompt::Kind::MessageOk, caption, text, warning});
    };

    CardFormatHooks hooks;
    hooks.text = [](std::u16string_view key) { return LookupText(key); };
    hooks.confirm = [&caption, &hooks](const CardFormatPlan& plan) {
        prompt::Request question;
        question.kind = prompt::Kind::MessageYesNo;
        question.caption = caption;
        question.text = LookupText(u"IDS_STRING163") + u"\r\n" + LookupText(u"IDS_STRING1630") + u"\r\n" +
                        VolumeDescription(plan, hooks.text) + u"\r\n";
        question.defaultNo = true;
        if (prompt::Ask(question) != prompt::Answer::Yes)
            return false;
        // A running PC viewer is asked to let go of the card and given a while to say it has.
        ViewerLink& viewer = Viewer();
        if (viewer.PostToWindow(kViewerTitle, kViewerReleaseCardMessage) ||
            viewer.PostToWindow(kViewerShortTitle, kViewerReleaseCardMessage))
            viewer.WaitForEvent(kViewerReleaseEvent, kViewerWaitMs);
        return true;
    };
    CProgPopupDlg* target = nullptr;
    hooks.onStep = [&target] { target->SetProgress(target->GetProgress() + 20); };
    hooks.runFormat = [&caption, &target](const std::function<CardFormatRun()>& format) {
        CProgPopupDlg*& popup = CurrentProgressPopup();
        delete popup;
        popup = new CProgPopupDlg(nullptr);
        popup->SetPopupText(QString::fromStdU16String(caption),
                            UiText(u"IDS_STRING178") + QStringLiteral("\r\n") + UiText(u"IDS_STRING1780") +
                                QStringLiteral("\r\n"),
                            400, 150);
        target = popup;
        // The worker talks to the interface only through the popup.
        CardFormatRun outcome;
        std::thread worker([&format, &outcome, popup] {
            outcome = format();
            popup->SetProgress(outcome.succeeded ? 100 : 0);
            std::this_thread::sleep_for(std::chrono::milliseconds(closePauseMs));
            popup->Close();
        });
        popup->DoModal();
        // The popup's run ends with the worker's close, its last act.
        worker.join();
        delete popup;
        popup = nullptr;
        target = nullptr;
        return outcome;
    };

    const CardFormatOutcome outcome = FormatCardKeepingFiles(card_.root(), *record, hooks);
    const std::u16string problem = FormatProblemText(outcome, hooks.text);
    if (outcome.declined || !outcome.plan || !outcome.stopped.empty() || !outcome.backup.ok) {
        // Stopped before the format: nothing on the card was touched.
        if (!problem.empty())
            tell(problem, true);
        return;
    }
    if (!outcome.format.run.ran && !outcome.format.run.unavailableText.empty())
        tell(outcome.format.run.unavailableText, false);
    // The editor goes on with the card where it is now; a card that did not come back keeps its old path.
    if (outcome.restored && outcome.cardRootAfter != card_.root())
        card_.MoveTo(outcome.cardRootAfter);

    std::u16string result = outcome.format.succeeded
                                ? LookupText(u"IDS_STRING179")
                                : LookupText(u"IDS_STRING181") + u"\r\n" + LookupText(u"IDS_STRING1810") + u"\r\n";
    // What the formatter could not do as asked (a disk service that chooses the cluster size itself), or what
    // went wrong.
    if (outcome.complete() && !outcome.format.run.note.empty())
        result += u"\r\n(" + outcome.format.run.note + u")";
    else if (!problem.empty() && (outcome.format.run.ran || outcome.erased()))
        result += u"\r\n" + problem;
    tell(result, !outcome.complete() && outcome.erased());

    if (IsLargeCard(card_.root()))
        Viewer().PostToWindow(kViewerShortTitle, kDeviceChangeMessage);
}

} // namespace dashcam
