// A page built from its table: the controls created, placed, shown from the record and handled row by row.
#include "ui/base_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTimeEdit>

#include <algorithm>
#include <functional>

#include "ui/dpi_scale.h"
#include "ui/sub_slider.h"
#include "ui/ui_text.h"

namespace dashcam {
namespace {

// The caption a row shows: its key's text in the current language; none without a key.
QString CaptionOf(const FormControl& row) {
    return row.caption.empty() ? QString() : UiText(row.caption);
}

} // namespace

const QFont& CBaseDialog::FontOf(FontRole role) const {
    switch (role) {
    case FontRole::Title:
        return titleFont_;
    case FontRole::BoldSmall:
        return boldSmallFont_;
    default:
        return normalFont_;
    }
}

void CBaseDialog::CreateForm(const PageForm& form) {
    form_ = &form;
    const auto rows = form.controls;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const FormControl& row = rows[i];
        const FormControl* input = &row;
        auto report = [this, input](int state) { OnFormInput(*input, state); };
        QWidget* control = nullptr;
        switch (row.kind) {
        case ControlKind::Title:
        case ControlKind::Label:
            control = AddItem(row.id, new QLabel(this));
            break;
        case ControlKind::Figure: {
            auto* figure = AddItem(row.id, new QLabel(this));
            figure->setAlignment(Qt::AlignRight | Qt::AlignTop);
            control = figure;
            break;
        }
        case ControlKind::Radio:
            // The radios of one field that stand together are one group, made with its first.
            if (!item(row.id)) {
                std::vector<int> group;
                for (std::size_t j = i; j < rows.size() && rows[j].kind == ControlKind::Radio &&
                                        rows[j].field == row.field;
                     ++j)
                    group.push_back(rows[j].id);
                AddRadioGroup(group);
            }
            control = item(row.id);
            break;
        case ControlKind::Check: {
            auto* box = AddItem(row.id, new QCheckBox(this));
            connect(box, &QAbstractButton::clicked, this, [report](bool checked) { report(checked ? 1 : 0); });
            control = box;
            break;
        }
        case ControlKind::Slider: {
            auto* slider = AddItem(row.id, new CSubSlider(this));
            connect(slider, &CSubSlider::scrolled, this, report);
            control = slider;
            break;
        }
        case ControlKind::PlainSlider: {
            auto* slider = AddItem(row.id, new QSlider(Qt::Horizontal, this));
            slider->setRange(static_cast<int>(row.low), static_cast<int>(row.high));
            connect(slider, &QSlider::actionTriggered, this, [report, slider] { report(slider->sliderPosition()); });
            control = slider;
            break;
        }
        case ControlKind::List: {
            auto* list = AddItem(row.id, new QComboBox(this));
            list->setEditable(false);
            list->setInsertPolicy(QComboBox::InsertAtBottom);
            connect(list, &QComboBox::activated, this, report);
            control = list;
            break;
        }
        case ControlKind::Date: {
            auto* date = AddItem(row.id, new QDateEdit(this));
            date->setCalendarPopup(true);
            connect(date, &QDateEdit::dateChanged, this, [report] { report(0); });
            control = date;
            break;
        }
        case ControlKind::Time: {
            auto* time = AddItem(row.id, new QTimeEdit(this));
            connect(time, &QTimeEdit::timeChanged, this, [report] { report(0); });
            control = time;
            break;
        }
        case ControlKind::Button: {
            auto* button = AddItem(row.id, new QPushButton(this));
            button->setAutoDefault(false);
            connect(button, &QAbstractButton::clicked, this, [report] { report(0); });
            control = button;
            break;
        }
        case ControlKind::FocusSink:
            AddFocusSink(row.id);
            continue;
        }
        if (row.placed())
            control->setGeometry(0, 0, 0, 0);
        else
            Unplaced(control);
    }
}

void CBaseDialog::PlaceRow(const FormControl& row, int x, int y) {
    const QFont& font = FontOf(row.font);
    switch (row.kind) {
    case ControlKind::Title:
        PlaceTitle(row.id, row.caption, x, y);
        return;
    case ControlKind::Label:
    case ControlKind::Radio:
    case ControlKind::Check:
        PlaceOptionItem(this, row.id, CaptionOf(row), font, x, y);
        return;
    case ControlKind::Figure:
        PlaceOptionItem(this, row.id, QStringView(row.caption).toString(), font, x, y);
        return;
    case ControlKind::Slider:
    case ControlKind::PlainSlider:
        MoveItem(this, row.id, x, y, row.width, row.height);
        return;
    default:
        break;
    }
    // Lists, date and time fields, buttons.
    const bool hasText = row.kind == ControlKind::Button;
    const QString text = row.sizing == Sizing::Measure ? QStringView(row.caption).toString() : CaptionOf(row);
    int width = row.width;
    if (row.sizing == Sizing::CharCells)
        width = 6 * static_cast<int>(text.size()) + 40;
    const bool measured = row.sizing == Sizing::CaptionAndSpaces || row.sizing == Sizing::Measure;
    if (hasText)
        SetItemText(row.id, font, text, x, y, width, row.height, measured);
    else
        SetItemFont(row.id, font, text, x, y, width, row.height, measured);
}

void CBaseDialog::PlaceForm() {
    leaderIds.clear();
    const PageForm& form = *form_;
    auto at = [&form](int n) { return form.scaled ? ToDevice(n) : n; };
    std::vector<bool> done(form.controls.size(), false);
    // A row placed after another is placed once that one is, wherever it stands in the table.
    std::function<const QWidget*(const FormControl&)> place = [&](const FormControl& row) -> const QWidget* {
        const auto index = static_cast<std::size_t>(&row - form.controls.data());
        if (!row.placed() || done[index])
            return item(row.id);
        int x = at(row.place.x);
        if (row.place.from == From::RightOf) {
            const QWidget* anchor = place(*form.Find(row.place.anchor));
            x += anchor->x() + anchor->width();
        } else if (row.place.from == From::PastWidthOf) {
            int widest = 0;
            for (int k = 0; k < row.place.anchorCount; ++k)
                widest = std::max(widest, place(*form.Find(row.place.anchor + k))->width());
            x += widest;
        }
        PlaceRow(row, x, at(row.place.y));
        done[index] = true;
        return item(row.id);
    };
    for (const FormControl& row : form.controls)
        place(row);

    for (const FormControl& row : form.controls) {
        if (!row.placed())
            continue;
        if (row.namedAfter[0] != 0)
            NameAfterCaptions(row.id, row.namedAfter);
        auto* slider = itemAs<CSubSlider>(row.id);
        if (row.kind != ControlKind::Slider || !slider)
            continue;
        const SliderLook& look = row.slider;
        if (!look.labelled) {
            slider->setRange(look.scale->minimum, look.scale->maximum);
            slider->setTickInterval(1);
            continue;
        }
        slider->SetLabelFont(&normalFont_);
        slider->SetScale(*look.scale, look.flags);
        slider->setValue(look.start); // beyond the range comes out at its end
        slider->SetTooltipKind(look.tooltipKind);
    }
}

void CBaseDialog::ShowRecord(const SettingsRecord& record) {
    for (const FormControl& row : form_->controls) {
        if (row.field.empty())
            continue;
        switch (row.kind) {
        case ControlKind::Radio:
        case ControlKind::Check:
            SetChecked(row.id, ShowsChecked(*form_, row, record));
            break;
        case ControlKind::Slider:
        case ControlKind::PlainSlider:
            // Sliders report only the user's moves, not this one.
            if (auto* slider = itemAs<QSlider>(row.id))
                slider->setValue(ShownPosition(row, record));
            break;
        default:
            break;
        }
    }
}

void CBaseDialog::OnFormInput(const FormControl& row, int state) {
    if (SettingsRecord* record = EditedRecord())
        StoreControlValue(row, state, *record);
}

} // namespace dashcam
