// The page base: scrolling by wheel and scroll bar, the keys a page swallows, and the text-sized layout.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include <memory>

#include "ui/base_dialog.h"
#include "ui/dpi_scale.h"
#include "ui/fonts.h"

namespace dashcam {
namespace {

// A page like the Record settings page: 561 pixels more content than window, 80 per notch.
class TallPage : public CBaseDialog {
public:
    explicit TallPage(QWidget* parent, int maximum = 561, int step = 80)
        : CBaseDialog(700, parent), maximum_(maximum), step_(step) {
        AddItem(10, new QLabel(this));
        AddItem(11, new QCheckBox(this));
        AddItem(12, new QLineEdit(this));
    }
    bool OnInitDialog() override {
        BeginPageSetUp();
        lineStep = step_;
        PlaceOptionItem(this, 10, "Title", font(), 15, 20);
        MoveItem(this, 11, 25, 700, 200, 25);
        scrollMax = maximum_;
        FinishPageSetUp();
        return true;
    }
    using CBaseDialog::scrollPos;

private:
    int maximum_, step_;
};

class BaseDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetScaleFromDpi(96);
        host = std::make_unique<QWidget>();
        host->resize(722, 587);
        page = new TallPage(host.get());
        ASSERT_TRUE(page->Create());
    }
    // Where the controls are now, relative to their laid-out places.
    int Offset() const { return 20 - page->item(10)->y(); }
    void Wheel(int delta, QWidget* target = nullptr) {
        QWidget* to = target ? target : page;
        QWheelEvent e(QPointF(5, 5), to->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(to, &e);
    }

    std::unique_ptr<QWidget> host;
    TallPage* page = nullptr;
};

TEST_F(BaseDialogTest, SetUpPlacesThePageAndItsScrollBar) {
    EXPECT_EQ(page->geometry(), QRect(0, 0, 700, 437));
    EXPECT_EQ(page->backgroundColour(), QColor(254, 254, 254));
    QScrollBar* bar = page->scrollBar();
    EXPECT_EQ(bar->minimum(), 0);
    EXPECT_EQ(bar->maximum(), 562); // Windows range 0 … 998 with a page of 437
    EXPECT_EQ(bar->pageStep(), 437);
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(bar->geometry(), QRect(683, 0, 17, 437));
    EXPECT_EQ(page->clientWidth(), 683);
    // The painted background is the near-white of the pages, not the toolkit's window colour.
    EXPECT_EQ(page->grab().toImage().pixelColor(300, 300), QColor(254, 254, 254));
}

TEST_F(BaseDialogTest, WheelMovesOneStepPerMessageAndStopsAtBothEnds) {
    Wheel(120); // at the top: nothing to go up to
    EXPECT_EQ(page->scrollPosition(), 0);
    EXPECT_EQ(Offset(), 0);
    Wheel(-240); // two notches in one message still move one step
    EXPECT_EQ(page->scrollPosition(), 80);
    EXPECT_EQ(Offset(), 80);
    EXPECT_EQ(page->scrollBar()->value(), 80);
    page->scrollPos = 500;
    page->OnMouseWheel(-120); // 61 left to the end
    EXPECT_EQ(page->scrollPosition(), 561);
    page->OnMouseWheel(-120);
    EXPECT_EQ(page->scrollPosition(), 561);
    Wheel(0);
    EXPECT_EQ(page->scrollPosition(), 561);
    // Over the scroll bar the wheel scrolls the page the same way.
    Wheel(120, page->scrollBar());
    EXPECT_EQ(page->scrollPosition(), 481);
}

TEST_F(BaseDialogTest, ScrollBarCodesMoveByTheirAmountsAndTopAndBottomAreIgnored) {
    page->OnVScroll(CBaseDialog::ScrollCode::LineUp, 0);
    EXPECT_EQ(page->scrollPosition(), 0);
    page->OnVScroll(CBaseDialog::ScrollCode::LineDown, 0);
    EXPECT_EQ(page->scrollPosition(), 80);
    page->OnVScroll(CBaseDialog::ScrollCode::PageDown, 0);
    EXPECT_EQ(page->scrollPosition(), 517);
    page->OnVScroll(CBaseDialog::ScrollCode::PageDown, 0);
    EXPECT_EQ(page->scrollPosition(), 561);
    page->OnVScroll(CBaseDialog::ScrollCode::PageUp, 0);
    EXPECT_EQ(page->scrollPosition(), 124);
    page->OnVScroll(CBaseDialog::ScrollCode::PageUp, 0);
    EXPECT_EQ(page->scrollPosition(), 0);
    for (auto code : {CBaseDialog::ScrollCode::Bottom, CBaseDialog::ScrollCode::Top,
                      CBaseDialog::ScrollCode::EndScroll}) {
        page->OnVScroll(code, 300);
        EXPECT_EQ(page->scrollPosition(), 0);
    }
    EXPECT_EQ(Offset(), 0);
    // The thumb goes where it is dropped, also one pixel past the end, and the controls follow exactly.
    page->OnVScroll(CBaseDialog::ScrollCode::ThumbTrack, 562);
    EXPECT_EQ(page->scrollPosition(), 562);
    EXPECT_EQ(Offset(), 562);
    page->OnVScroll(CBaseDialog::ScrollCode::ThumbPosition, 10);
    EXPECT_EQ(Offset(), 10);
    EXPECT_EQ(page->item(11)->y(), 690);
    EXPECT_EQ(page->scrollBar()->y(), 0); // the bar itself never moves
}

TEST_F(BaseDialogTest, UsingTheScrollBarWidgetScrollsThePage) {
    QScrollBar* bar = page->scrollBar();
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(page->scrollPosition(), 80);
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(page->scrollPosition(), 517);
    bar->triggerAction(QAbstractSlider::SliderToMinimum); // Home on the bar: ignored by the page
    EXPECT_EQ(page->scrollPosition(), 517);
    EXPECT_EQ(bar->value(), 517);
    bar->setSliderPosition(562);
    bar->triggerAction(QAbstractSlider::SliderMove);
    EXPECT_EQ(page->scrollPosition(), 562);
}

TEST_F(BaseDialogTest, ThePageScrollBarLooksAsTheStyleDrawsIt) {
    // The page's bar is drawn in bands; a plain bar on the same page, drawn in one go, is the reference.
    QScrollBar* bar = page->scrollBar();
    QScrollBar plain(Qt::Vertical, page);
    plain.setRange(bar->minimum(), bar->maximum());
    plain.setPageStep(bar->pageStep());
    for (const int height : {437, 48, 94, 95}) {
        bar->resize(17, height);
        plain.resize(17, height);
        for (const int value : {0, 281, 562}) {
            bar->setValue(value);
            plain.setValue(value);
            const QImage banded = bar->grab().toImage(), whole = plain.grab().toImage();
            ASSERT_EQ(banded.size(), whole.size());
            int differing = 0;
            for (int y = 0; y < whole.height(); ++y)
                for (int x = 0; x < whole.width(); ++x)
                    differing += banded.pixel(x, y) != whole.pixel(x, y);
            EXPECT_EQ(differing, 0) << "height " << height << ", value " << value;
        }
    }
}

TEST_F(BaseDialogTest, EnterIsSwallowedOtherKeysAreNot) {
    host->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(host.get()));
    auto* edit = page->itemAs<QLineEdit>(12);
    edit->setFocus();
    QSignalSpy returned(edit, &QLineEdit::returnPressed);
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClick(edit, Qt::Key_Enter);
    EXPECT_EQ(returned.count(), 0);
    QTest::keyClicks(edit, "ab");
    EXPECT_EQ(edit->text(), "ab");
}

TEST_F(BaseDialogTest, TextSizedLayout) {
    const QFont font = CellHeightFont(QStringLiteral("Tahoma"), 13);
    const QSize trimmed = page->PlaceOptionItem(page, 10, " Auto ", font, 40, 50);
    auto* label = page->itemAs<QLabel>(10);
    EXPECT_EQ(label->text(), "Auto");
    EXPECT_EQ(trimmed.width(), CBaseDialog::MeasureTextWidth("Auto", font) + 30);
    EXPECT_EQ(label->geometry(), QRect(QPoint(40, 50), trimmed));
    EXPECT_EQ(page->PlaceOptionItem(page, 10, "   ", font, 40, 50).width(), 25);
    EXPECT_EQ(page->PlaceOptionItem(page, 99, "Missing", font, 0, 0), QSize(0, 0));

    // Two lines: the wider one counts.
    EXPECT_EQ(CBaseDialog::MeasureTextWidth("ab\nabcdef", font),
              CBaseDialog::MeasureTextWidth("abcdef", font));

    const int space = QFontMetrics(font).horizontalAdvance(QLatin1Char(' '));
    page->SetItemText(10, font, "Format", 5, 6, 999, 20, true);
    EXPECT_EQ(label->text(), "Format");
    EXPECT_EQ(label->geometry(), QRect(5, 6, CBaseDialog::MeasureTextWidth("Format", font) + 4 * space, 20));
    page->SetItemText(10, font, "", 5, 6, 999, 20, true);
    EXPECT_EQ(label->width(), 0);
    page->SetItemText(10, font, "Fixed", 5, 6, 120, 20, false);
    EXPECT_EQ(label->width(), 120);
    // SetItemFont keeps the text and measures without the margin.
    page->SetItemFont(10, font, "Much longer text", 1, 2, 0, 18, true);
    EXPECT_EQ(label->text(), "Fixed");
    EXPECT_EQ(label->geometry(), QRect(1, 2, CBaseDialog::MeasureTextWidth("Much longer text", font), 18));
    page->SetItemText(98, font, "nobody", 0, 0, 10, 10, false); // no such child: nothing happens
    EXPECT_EQ(page->MoveItem(page, 11, 3, 4, 50, 60), QSize(50, 60));
    EXPECT_EQ(page->item(11)->geometry(), QRect(3, 4, 50, 60));
}

} // namespace
} // namespace dashcam
