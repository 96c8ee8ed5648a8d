#include <QApplication>
#include <QSignalSpy>
#include <QWidget>
#include <gtest/gtest.h>

#include <algorithm>

#include "kit_test_util.h"
#include "ui/pixel_ops.h"
#include "ui/r_button.h"
#include "ui/skin_painter.h"

using namespace dashcam;
using dashcam::test::SendMouse;

namespace {

const QColor kNormal(119, 148, 177), kHover(1, 2, 3), kPressed(255, 255, 255);

class RButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        parent.resize(300, 120);
        ASSERT_TRUE(skin.Create(300, 120));
        dashcam::test::FillPattern(skin);
    }

    // A tab button at (10, 20), 140 × 37, as the main window builds it.
    CRButton* MakeTab(bool withSelected = true) {
        auto* b = new CRButton();
        EXPECT_TRUE(b->Create(Rect{10, 20, 150, 57}, &parent, 2203));
        if (withSelected)
            b->SetSelectedImage(146);
        SkinTextInfo info{QStringLiteral("Memory Card Settings"), kNormal, kHover, kPressed, 13, 1};
        b->SetImagesWithText(143, 144, 145, &skin, &info);
        return b;
    }

    // What the picture of a state must be: the parent's pixels under the button with the state image on top.
    QImage Expected(int id, int w, int h) {
        QImage out(w, h, QImage::Format_ARGB32_Premultiplied);
        CopyPixels(out, 0, 0, w, h, *skin.Dc(), 10, 20);
        MemorySurface image;
        image.Create(w, h);
        AcquirePainter().DrawStretchImage(image, id);
        ReleasePainter();
        AlphaBlendPixels(out, 0, 0, w, h, *image.Dc(), 0, 0, w, h);
        return out;
    }

    QWidget parent;
    MemorySurface skin;
};

} // namespace

TEST_F(RButtonTest, SetUpTakesTheBackgroundAndTheCaptionArea) {
    CRButton* tab = MakeTab();
    EXPECT_EQ(tab->state(), CRButton::Normal);
    EXPECT_TRUE(tab->hasText());
    EXPECT_EQ(tab->textRect(), (Rect{6, 2, 136, 37}));
    // 35 pixels high: a 13-pixel caption starts 11 below the top.
    EXPECT_EQ(tab->captionRect(), (Rect{6, 13, 136, 37}));
    EXPECT_EQ(tab->picture(), Expected(143, 140, 37));
    EXPECT_FALSE(PainterExists());

    auto* command = new CRButton();
    ASSERT_TRUE(command->Create(Rect{10, 20, 231, 49}, &parent, 2302));
    SkinTextInfo info{QStringLiteral("Initialize"), kNormal, kHover, kPressed, 13, 1};
    command->SetImagesWithText(161, 162, 163, &skin, &info);
    EXPECT_EQ(command->textRect(), (Rect{7, 3, 217, 28}));
    EXPECT_EQ(command->captionRect(), (Rect{7, 9, 217, 28}));
}

TEST_F(RButtonTest, ClickPostsTheCommandAfterTheButtonsOwnHandling) {
    CRButton* tab = MakeTab();
    QSignalSpy spy(tab, &CRButton::command);
    SendMouse(tab, QEvent::MouseMove, {20, 10});
    EXPECT_EQ(tab->state(), CRButton::Hover);
    EXPECT_EQ(tab->picture(), Expected(144, 140, 37));
    EXPECT_EQ(tab->captionColour(), kHover);

    SendMouse(tab, QEvent::MouseButtonPress, {20, 10});
    EXPECT_EQ(tab->state(), CRButton::Pressed);
    EXPECT_EQ(tab->picture(), Expected(145, 140, 37));
    EXPECT_EQ(tab->captionColour(), kPressed);

    SendMouse(tab, QEvent::MouseButtonRelease, {20, 10});
    EXPECT_EQ(tab->state(), CRButton::Hover);
    EXPECT_EQ(spy.count(), 0) << "the command is queued, not delivered during the release";
    QCoreApplication::processEvents();
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toInt(), 2203);

    // The owner latches it, as the tabs do.
    tab->SetCheck(true);
    EXPECT_EQ(tab->state(), CRButton::Selected);
    EXPECT_EQ(tab->picture(), Expected(146, 140, 37));
    tab->SetCheck(false);
    EXPECT_EQ(tab->state(), CRButton::Normal);
    EXPECT_FALSE(tab->latched());
}

TEST_F(RButtonTest, ReleaseOutsideSendsNothingAndLeavingEndsThePress) {
    CRButton* tab = MakeTab();
    QSignalSpy spy(tab, &CRButton::command);
    SendMouse(tab, QEvent::MouseMove, {20, 10});
    SendMouse(tab, QEvent::MouseButtonPress, {20, 10});
    SendMouse(tab, QEvent::MouseMove, {200, 10}, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(tab->state(), CRButton::Normal);
    SendMouse(tab, QEvent::MouseButtonRelease, {200, 10});
    QCoreApplication::processEvents();
    EXPECT_EQ(spy.count(), 0);
    EXPECT_EQ(tab->state(), CRButton::Normal);

    // A press that began elsewhere and ends over the button is a click.
    SendMouse(tab, QEvent::MouseButtonRelease, {30, 12});
    QCoreApplication::processEvents();
    EXPECT_EQ(spy.count(), 1);

    // Other buttons of the mouse do nothing.
    SendMouse(tab, QEvent::MouseButtonPress, {30, 12}, Qt::RightButton);
    SendMouse(tab, QEvent::MouseButtonRelease, {30, 12}, Qt::RightButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(spy.count(), 1);
}

TEST_F(RButtonTest, LatchedTabKeepsItsStateUnderThePointerAndAfterAClick) {
    CRButton* tab = MakeTab();
    QSignalSpy spy(tab, &CRButton::command);
    tab->SetCheck(true);
    SendMouse(tab, QEvent::MouseMove, {20, 10});
    EXPECT_EQ(tab->state(), CRButton::Selected);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(tab, &leave);
    EXPECT_EQ(tab->state(), CRButton::Selected);

    SendMouse(tab, QEvent::MouseButtonPress, {20, 10});
    SendMouse(tab, QEvent::MouseButtonRelease, {20, 10});
    EXPECT_EQ(tab->state(), CRButton::Pressed) << "the pressed look stays until the owner latches again";
    QCoreApplication::processEvents();
    EXPECT_EQ(spy.count(), 1);
    tab->SetCheck(true);
    EXPECT_EQ(tab->state(), CRButton::Selected);

    // Latched without a selected image, a click ends in hover like any button.
    CRButton* plain = MakeTab(false);
    plain->SetCheck(true);
    SendMouse(plain, QEvent::MouseButtonPress, {20, 10});
    SendMouse(plain, QEvent::MouseButtonRelease, {20, 10});
    EXPECT_EQ(plain->state(), CRButton::Hover);
    // Leaving a latched button keeps it where it is.
    QCoreApplication::sendEvent(plain, &leave);
    EXPECT_EQ(plain->state(), CRButton::Hover);
}

TEST_F(RButtonTest, LeaveWithoutAMoveFirstChangesNothing) {
    CRButton* tab = MakeTab();
    SendMouse(tab, QEvent::MouseButtonPress, {20, 10});
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(tab, &leave);
    EXPECT_EQ(tab->state(), CRButton::Pressed);
}

TEST_F(RButtonTest, ReleaseHandedOnFromAnotherPressLooksNormalOnceThePointerLeaves) {
    CRButton* initialize = MakeTab(false);
    initialize->OnLButtonUp(); // what the button or window that got the press does with a release over it
    EXPECT_EQ(initialize->state(), CRButton::Hover);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(initialize, &leave);
    EXPECT_EQ(initialize->state(), CRButton::Normal);
}

TEST_F(RButtonTest, DisablingUsesTheDisabledImageOnlyWhenThereIsOne) {
    auto* minimise = new CRButton();
    ASSERT_TRUE(minimise->Create(Rect{10, 20, 39, 46}, &parent, 2300));
    minimise->SetImages(155, 156, 157, &skin);
    EXPECT_FALSE(minimise->hasText());
    const QImage normal = minimise->picture();
    minimise->setEnabled(false);
    EXPECT_EQ(minimise->state(), CRButton::Normal);
    EXPECT_EQ(minimise->picture(), normal);
    minimise->setEnabled(true);
    EXPECT_EQ(minimise->state(), CRButton::Normal);

    auto* close = new CRButton();
    ASSERT_TRUE(close->Create(Rect{10, 20, 39, 46}, &parent, 2301));
    close->SetImages(158, 159, 160, &skin, 157);
    close->setEnabled(false);
    EXPECT_EQ(close->state(), CRButton::Disabled);
    EXPECT_NE(close->picture(), normal);
    close->setEnabled(true);
    EXPECT_EQ(close->state(), CRButton::Normal);
}

TEST_F(RButtonTest, MissingImagesShowTheBackgroundOnly) {
    auto* b = new CRButton();
    ASSERT_TRUE(b->Create(Rect{10, 20, 39, 46}, &parent, 5));
    b->SetImages(990, 991, 992, &skin);
    QImage background(29, 26, QImage::Format_ARGB32_Premultiplied);
    CopyPixels(background, 0, 0, 29, 26, *skin.Dc(), 10, 20);
    EXPECT_EQ(b->picture(), background);
    SendMouse(b, QEvent::MouseButtonPress, {3, 3});
    EXPECT_EQ(b->picture(), background);

    // Never set up: an empty picture, and painting does not fail.
    auto* bare = new CRButton();
    ASSERT_TRUE(bare->Create(Rect{0, 0, 20, 20}, &parent, 6));
    EXPECT_EQ(bare->picture().pixel(5, 5), 0u);
    EXPECT_FALSE(bare->grab().isNull());
}

TEST_F(RButtonTest, CaptionIsPaintedOverThePictureInTheStateColour) {
    CRButton* tab = MakeTab();
    tab->SetCheck(true);
    const QImage picture = tab->picture();
    const QImage shown = tab->grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const Rect r = tab->captionRect();
    int inside = 0, outside = 0, brightest = 0;
    for (int y = 0; y < 37; ++y)
        for (int x = 0; x < 140; ++x) {
            if (shown.pixel(x, y) == picture.pixel(x, y))
                continue;
            if (r.toQRect().contains(x, y)) {
                ++inside;
                brightest = std::max(brightest, qMin(qRed(shown.pixel(x, y)), qBlue(shown.pixel(x, y))));
            } else
                ++outside;
        }
    EXPECT_GT(inside, 50);
    EXPECT_GT(brightest, 230) << "the selected caption is white";
    EXPECT_EQ(outside, 0) << "the caption stays inside its rectangle";
}
