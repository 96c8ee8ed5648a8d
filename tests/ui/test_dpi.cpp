#include <QWidget>
#include <gtest/gtest.h>

#include <climits>

#include "ui/controls.h"
#include "ui/dpi_scale.h"
#include "ui/r_button.h"

using namespace dashcam;

namespace {

// Leaves the scale at 100 % for the other tests whatever a test did to it.
class ScaleTest : public ::testing::Test {
protected:
    void TearDown() override { SetScaleFromDpi(96); }
};

} // namespace

TEST(MulDivTest, RoundsToNearestWithHalvesAwayFromZero) {
    EXPECT_EQ(MulDiv(1, 1, 2), 1);
    EXPECT_EQ(MulDiv(3, 1, 2), 2);
    EXPECT_EQ(MulDiv(-1, 1, 2), -1);
    EXPECT_EQ(MulDiv(-3, 1, 2), -2);
    EXPECT_EQ(MulDiv(1, 1, 3), 0);
    EXPECT_EQ(MulDiv(2, 1, 3), 1);
    EXPECT_EQ(MulDiv(5, 1, -2), -3);
    EXPECT_EQ(MulDiv(-5, 1, -2), 3);
    EXPECT_EQ(MulDiv(13, 125, 100), 16);
    EXPECT_EQ(MulDiv(437, 100, 125), 350);
}

TEST(MulDivTest, ZeroDivisorAndOverflowGiveMinusOne) {
    EXPECT_EQ(MulDiv(5, 7, 0), -1);
    EXPECT_EQ(MulDiv(0, 0, 0), -1);
    EXPECT_EQ(MulDiv(INT_MAX, 2, 1), -1);
    // The intermediate is 64-bit: a product beyond 32 bits still divides correctly.
    EXPECT_EQ(MulDiv(1 << 30, 8, 16), 1 << 29);
    EXPECT_EQ(MulDiv(INT_MAX, INT_MAX, INT_MAX), INT_MAX);
}

TEST_F(ScaleTest, ConversionsFollowTheScale) {
    ResetScale();
    EXPECT_EQ(ToDevice(13), 0);
    EXPECT_EQ(ToLogical(437), -1);

    SetScaleFromDpi(96);
    EXPECT_EQ(Scale().percent, 100);
    for (int n : {0, 1, 13, 437, 722, -5})
        EXPECT_EQ(ToDevice(n), n) << n;
    for (int n : {0, 1, 13, 437, 587})
        EXPECT_EQ(ToLogical(n), n) << n;

    SetScaleFromDpi(120);
    EXPECT_EQ(Scale().percent, 125);
    EXPECT_EQ(ToDevice(13), 16);
    EXPECT_EQ(ToLogical(437), 350);

    Rect r{11, 48, 151, 85};
    ToDeviceRect(r);
    EXPECT_EQ(r, (Rect{14, 60, 189, 106}));
    ToLogicalRect(r);
    EXPECT_EQ(r, (Rect{11, 48, 151, 85}));
}

TEST_F(ScaleTest, CreatePlacesTheControlInDevicePixelsUnderItsId) {
    QWidget parent;
    parent.resize(722, 587);
    SetScaleFromDpi(120);
    auto* button = new CRButton();
    ASSERT_TRUE(button->Create(Rect{8, 546, 58, 575}, &parent, 2305));
    EXPECT_EQ(button->parentWidget(), &parent);
    EXPECT_EQ(button->geometry(), QRect(10, 683, 63, 36));
    EXPECT_EQ(ControlId(button), 2305);
    EXPECT_EQ(FindControl(&parent, 2305), button);
    EXPECT_EQ(FindControl(&parent, 2304), nullptr);
    // The id goes with its control: a new control, usually at the same address, has none.
    delete button;
    auto* next = new CRButton();
    EXPECT_EQ(ControlId(next), 0);
    delete next;

    CRButton orphan;
    EXPECT_FALSE(orphan.Create(Rect{0, 0, 10, 10}, nullptr, 1));
}

TEST(ControlIdTest, FindsDirectChildrenBeforeDeeperOnesInTheParentsOrder) {
    QWidget page;
    auto* inner = new QWidget(&page);
    auto* deep = new QWidget(inner);
    SetControlId(deep, 7);
    EXPECT_EQ(FindControl(&page, 7), deep);
    EXPECT_EQ(FindControl(inner, 7), deep);
    EXPECT_EQ(FindControl(deep, 7), nullptr);
    auto* second = new QWidget(&page);
    auto* first = new QWidget(&page);
    first->stackUnder(second); // the parent's order is no longer the order of creation
    SetControlId(first, 7);
    SetControlId(second, 7);
    EXPECT_EQ(FindControl(&page, 7), first);
    SetControlId(first, 8); // a new id replaces the old one
    EXPECT_EQ(FindControl(&page, 7), second);
    EXPECT_EQ(FindControl(&page, 8), first);
    delete second;
    EXPECT_EQ(FindControl(&page, 7), deep);
    QWidget other;
    EXPECT_EQ(FindControl(&other, 7), nullptr);
}
