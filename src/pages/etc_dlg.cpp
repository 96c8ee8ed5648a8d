#include "pages/etc_dlg.h"

#include <QCheckBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

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

// Record field of each overwrite check box, 1320 … 1323.
struct OverwriteField {
    std::uint32_t (*get)(const SettingsRecord&);
    void (*set)(SettingsRecord&, std::uint32_t);
};
const OverwriteField kOverwriteFields[] = {
    {[](const SettingsRecord& r) { return r.overwriteContinuousIncident(); },
     [](SettingsRecord& r, std::uint32_t v) { r.setOverwriteContinuousIncident(v); }},
    {[](const SettingsRecord& r) { return r.overwriteParkingMotion(); },
     [](SettingsRecord& r, std::uint32_t v) { r.setOverwriteParkingMotion(v); }},
    {[](const SettingsRecord& r) { return r.overwriteParkingIncident(); },
     [](SettingsRecord& r, std::uint32_t v) { r.setOverwriteParkingIncident(v); }},
    {[](const SettingsRecord& r) { return r.overwriteManual(); },
     [](SettingsRecord& r, std::uint32_t v) { r.setOverwriteManual(v); }},
};

} // namespace

CProgPopupDlg*& CurrentProgressPopup() {
    static CProgPopupDlg* popup = nullptr;
    return popup;
}

CEtcDlg::CEtcDlg(Card& card, QWidget* parent) : CBaseDialog(kTemplateId, parent), card_(card) {
    swallowEscape = true;
    scrollMax = 100;
    lineStep = 100;
    CreateControls();
    Create();
}

int CEtcDlg::closePauseMs = 1000;

CEtcDlg::~CEtcDlg() = default;

void CEtcDlg::CreateControls() {
    for (int id : {1305, 1340, 1300})
        AddItem(id, new QLabel(this))->setGeometry(0, 0, 0, 0);
    AddRadioGroup({kTypeA, kTypeB, kTypeC}, [this](int id) { OnPartitionClicked(id); });
    for (int k = 0; k < kKinds; ++k) {
        AddItem(kFirstLegend + k, new QLabel(this))->setGeometry(0, 0, 0, 0);
        auto* percentage = AddItem(kFirstPercentage + k, new QLabel(this));
        percentage->setGeometry(0, 0, 0, 0);
        percentage->setAlignment(Qt::AlignRight | Qt::AlignTop);
    }
    auto* format = AddItem(kFormatButton, new QPushButton(this));
    format->setAutoDefault(false);
    connect(format, &QPushButton::clicked, this, [this] { OnFormatButton(); });

    AddItem(kContinuousOverwrite, new QCheckBox(this));
    for (int id = kFirstOverwrite; id <= kLastOverwrite; ++id) {
        auto* box = AddItem(id, new QCheckBox(this));
        connect(box, &QAbstractButton::clicked, this, [this, id](bool checked) { OnOverwriteClicked(id, checked); });
    }
    AddFocusSink(kFocusSink);
}

bool CEtcDlg::OnInitDialog() {
    SetUpPageControls(true);
    ShowShares(); // over the "000" the layout measured the percentages with
    return true;
}

void CEtcDlg::Layout() {
    leaderIds.clear();
    const QFont& normal = normalFont();
    auto at = [](int n) { return ToDevice(n); };

    PlaceTitle(1305, u"IDS_STRING156", at(15), at(20));
    const int wA = PlaceLabel(kTypeA, u"IDS_STRING157", normal, at(25), at(45)).width();
    const int xB = at(25) + wA + at(30);
    const int wB = PlaceLabel(kTypeB, u"IDS_STRING158", normal, xB, at(45)).width();
    PlaceLabel(kTypeC, u"IDS_STRING159", normal, xB + wB + at(100), at(45));

    static constexpr const char16_t* kLegendKeys[kKinds] = {u"IDS_STRING171", u"IDS_STRING172", u"IDS_STRING173",
                                                           u"IDS_STRING174", u"IDS_STRING175"};
    int legendWidth = 0;
    for (int k = 0; k < kKinds; ++k)
        legendWidth =
            std::max(legendWidth, PlaceLabel(kFirstLegend + k, kLegendKeys[k], normal, at(25), at(85 + 30 * k)).width());
    // Sized for "000"; the percentages that replace it stand right-aligned in that box.
    for (int k = 0; k < kKinds; ++k)
        PlaceOptionItem(this, kFirstPercentage + k, QStringLiteral("000"), normal, legendWidth + at(50),
                        at(85 + 30 * k));

    PlaceTitle(1340, u"IDS_STRING160", at(15), at(245));
    const QString formatText = UiText(u"IDS_STRING161");
    if (QWidget* format = item(kFormatButton)) {
        format->setFont(normal);
        static_cast<QPushButton*>(format)->setText(formatText);
        format->setGeometry(at(25), at(284), 6 * static_cast<int>(formatText.size()) + 40, 30);
    }

    PlaceTitle(1300, u"IDS_STRING145", at(15), at(334));
    PlaceLabel(kContinuousOverwrite, u"IDS_STRING166", normal, at(25), at(374));
    SetChecked(kContinuousOverwrite, true);
    SetEnabled(kContinuousOverwrite, false);
    static constexpr const char16_t* kOverwriteKeys[] = {u"IDS_STRING147", u"IDS_STRING148", u"IDS_STRING149",
                                                        u"IDS_STRING150"};
    int y = 0;
    for (int i = 0; i < 4; ++i) {
        y = 399 + 25 * i;
        PlaceLabel(kFirstOverwrite + i, kOverwriteKeys[i], normal, at(25), at(y));
    }
    scrollMax = at(y) - at(kPageHeight) + at(30);
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
    const SettingsRecord* record = card_.record();
    if (!record)
        return;
    // A stored value other than 0 shows as checked: the camera overwrites for any non-zero value.
    for (int i = 0; i < 4; ++i)
        SetChecked(kFirstOverwrite + i, kOverwriteFields[i].get(*record) != 0);
    for (std::uint32_t type = 1; type <= 3; ++type)
        SetChecked(kTypeA + static_cast<int>(type) - 1, record->memoryPartition() == type);
    update();
}

void CEtcDlg::OnPartitionClicked(int id) {
    if (SettingsRecord* record = card_.record())
        record->setMemoryPartition(static_cast<std::uint32_t>(id - kTypeA + 1));
    ShowShares();
    update();
}

void CEtcDlg::OnOverwriteClicked(int id, bool checked) {
    if (SettingsRecord* record = card_.record())
        kOverwriteFields[id - kFirstOverwrite].set(*record, checked ? 1 : 0);
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
