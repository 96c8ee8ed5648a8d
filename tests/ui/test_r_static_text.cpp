#include <QWidget>
#include <gtest/gtest.h>

#include <vector>

#include "kit_test_util.h"
#include "ui/alpha_text.h"
#include "ui/fonts.h"
#include "ui/pixel_ops.h"
#include "ui/r_static_text.h"

using namespace dashcam;
using dashcam::test::SendMouse;

namespace {

// A parent that records the mouse events it receives.
class Recorder : public QWidget {
public:
    struct Seen {
        QEvent::Type type;
        QPoint pos;
        Qt::MouseButtons buttons;
    };
    std::vector<Seen> seen;

protected:
    void mousePressEvent(QMouseEvent* e) override { Record(e); }
    void mouseReleaseEvent(QMouseEvent* e) override { Record(e); }
    void mouseMoveEvent(QMouseEvent* e) override { Record(e); }

private:
    void Record(QMouseEvent* e) { seen.push_back({e->type(), e->position().toPoint(), e->buttons()}); }
};

class RStaticTextTest : public ::testing::Test {
protected:
    void SetUp() override {
        parent.resize(722, 100);
        ASSERT_TRUE(skin.Create(722, 100));
        dashcam::test::FillPattern(skin);
    }
    Recorder parent;
    MemorySurface skin;
    QFont font = CellHeightFont(QStringLiteral("Tahoma"), 13, 700);
};

} // namespace

TEST_F(RStaticTextTest, TitleCaptionStartsAtTheLeftAndIsCentredVertically) {
    auto* label = new CRStaticText();
    ASSERT_TRUE(label->Create(Rect{11, 7, 411, 27}, &parent, 2001));
    const QColor colour(214, 223, 233);
    SkinTextInfo info{QStringLiteral("Dash Cam Settings"), colour, Qt::white, Qt::white, 13, 0};
    label->SetContent(0, font, &skin, &info);
    EXPECT_EQ(label->textRect(), (Rect{0, 0, 400, 20}));
    EXPECT_EQ(label->caption(), QStringLiteral("Dash Cam Settings"));

    QImage expected(400, 20, QImage::Format_ARGB32_Premultiplied);
    CopyPixels(expected, 0, 0, 400, 20, *skin.Dc(), 11, 7);
    const auto text = RenderTextAlpha(info.text, font, colour);
    ASSERT_TRUE(text.has_value());
    ASSERT_EQ(text->height(), 13);
    AlphaBlendPixels(expected, 0, 3, text->width(), 13, *text, 0, 0, text->width(), 13);
    EXPECT_EQ(label->picture(), expected);
    EXPECT_EQ(label->grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied), expected);
}

TEST_F(RStaticTextTest, ImageUnderTheCaptionGivesTheTextItsContentArea) {
    auto* label = new CRStaticText();
    ASSERT_TRUE(label->Create(Rect{0, 0, 221, 29}, &parent, 7));
    SkinTextInfo info{QStringLiteral("Save"), Qt::white, Qt::white, Qt::white, 13, 1};
    label->SetContent(161, font, &skin, &info);
    EXPECT_EQ(label->textRect(), (Rect{7, 3, 217, 28}));
    // Where the image is opaque the background no longer shows.
    EXPECT_NE(label->picture().pixel(100, 15), skin.Dc()->pixel(100, 15));

    // An empty caption shows the background only.
    auto* empty = new CRStaticText();
    ASSERT_TRUE(empty->Create(Rect{0, 0, 50, 20}, &parent, 8));
    SkinTextInfo none{QString(), Qt::white, Qt::white, Qt::white, 13, 0};
    empty->SetContent(0, font, &skin, &none);
    QImage background(50, 20, QImage::Format_ARGB32_Premultiplied);
    CopyPixels(background, 0, 0, 50, 20, *skin.Dc(), 0, 0);
    EXPECT_EQ(empty->picture(), background);
}

TEST_F(RStaticTextTest, MouseGoesOnToTheParentInTheLabelsCoordinates) {
    auto* label = new CRStaticText();
    ASSERT_TRUE(label->Create(Rect{11, 7, 411, 27}, &parent, 2001));
    SendMouse(label, QEvent::MouseButtonPress, {5, 6});
    SendMouse(label, QEvent::MouseMove, {9, 8}, Qt::NoButton, Qt::LeftButton);
    SendMouse(label, QEvent::MouseButtonRelease, {9, 8});
    ASSERT_EQ(parent.seen.size(), 3u);
    EXPECT_EQ(parent.seen[0].type, QEvent::MouseButtonPress);
    EXPECT_EQ(parent.seen[0].pos, QPoint(5, 6));
    EXPECT_EQ(parent.seen[1].type, QEvent::MouseMove);
    EXPECT_EQ(parent.seen[1].buttons, Qt::LeftButton);
    EXPECT_EQ(parent.seen[1].pos, QPoint(9, 8));
    EXPECT_EQ(parent.seen[2].type, QEvent::MouseButtonRelease);
}

TEST_F(RStaticTextTest, ResizeRebuildsThePicture) {
    auto* label = new CRStaticText();
    ASSERT_TRUE(label->Create(Rect{0, 0, 100, 20}, &parent, 9));
    SkinTextInfo info{QStringLiteral("A"), Qt::white, Qt::white, Qt::white, 13, 0};
    label->SetContent(0, font, &skin, &info);
    EXPECT_EQ(label->picture().size(), QSize(100, 20));
    label->resize(120, 30);
    EXPECT_EQ(label->picture().size(), QSize(120, 30));
}
