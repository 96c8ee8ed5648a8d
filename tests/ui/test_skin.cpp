#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <gtest/gtest.h>

#include "ui/alpha_text.h"
#include "ui/fonts.h"
#include "ui/memory_surface.h"
#include "ui/pixel_ops.h"
#include "ui/png_image.h"
#include "ui/skin_painter.h"

using namespace dashcam;

namespace {

QImage Png(int id) {
    PngImage png;
    EXPECT_TRUE(png.LoadPng(id)) << id;
    return png.Premultiplied();
}

QRgb Rgb(int r, int g, int b) {
    return qRgb(r, g, b);
}

// Draws image `id` stretched to w × h; returns the pixels and the content rectangle.
QImage Stretch(int id, int w, int h, Rect* content = nullptr) {
    MemorySurface surface;
    EXPECT_TRUE(surface.Create(w, h));
    SkinPainter& painter = AcquirePainter();
    painter.DrawStretchImage(surface, id, content);
    QImage out = *surface.Dc();
    return out;
}

// A stretchable frame of w × h with the given marks; the interior holds a distinct colour per pixel.
QImage Frame(int w, int h, std::vector<int> columns, std::vector<int> rows, std::vector<int> right,
             std::vector<int> bottom) {
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(qRgba(255, 255, 255, 0));
    for (int y = 1; y < h - 1; ++y)
        for (int x = 1; x < w - 1; ++x)
            img.setPixel(x, y, qRgba(x * 10, y * 10, 100, 255));
    for (int x : columns)
        img.setPixel(x, 0, qRgba(0, 0, 0, 255));
    for (int y : rows)
        img.setPixel(0, y, qRgba(0, 0, 0, 255));
    for (int y : right)
        img.setPixel(w - 1, y, qRgba(0, 0, 0, 255));
    for (int x : bottom)
        img.setPixel(x, h - 1, qRgba(0, 0, 0, 255));
    return img;
}

class PainterTest : public ::testing::Test {
protected:
    void TearDown() override { ReleasePainter(); }
};

} // namespace

TEST_F(PainterTest, TabImageAtTabSizeStretchesOneColumnAndFindsTheCaptionArea) {
    Rect content;
    const QImage out = Stretch(143, 140, 37, &content);
    const SkinPainter& painter = AcquirePainter();
    EXPECT_EQ(content, (Rect{6, 2, 136, 37}));
    EXPECT_EQ(painter.stretchX(), std::vector<int>{129});
    EXPECT_TRUE(painter.stretchY().empty());
    EXPECT_EQ(painter.markX(), std::vector<int>{5});
    EXPECT_EQ(painter.markY(), std::vector<int>{18});

    // Columns 0 … 4 are image columns 1 … 5, then 129 copies of column 6, then columns 7 … 12; rows are image
    // rows 1 … 37.
    const QImage src = Png(143);
    for (int y = 0; y < 37; ++y) {
        for (int x = 0; x < 140; ++x) {
            const int sx = x < 5 ? x + 1 : (x < 134 ? 6 : x - 134 + 7);
            ASSERT_EQ(out.pixel(x, y), src.pixel(sx, y + 1)) << x << "," << y;
        }
    }
}

TEST_F(PainterTest, CommandButtonImageAtButtonSize) {
    Rect content;
    Stretch(161, 221, 29, &content);
    const SkinPainter& painter = AcquirePainter();
    EXPECT_EQ(painter.stretchX(), std::vector<int>{209});
    EXPECT_TRUE(painter.stretchY().empty());
    EXPECT_EQ(content, (Rect{7, 3, 217, 28}));
}

TEST_F(PainterTest, InteriorSizeReproducesTheInteriorExactly) {
    for (int id : {143, 150, 161, 175, 501}) {
        const QImage src = Png(id);
        const int w = src.width() - 2, h = src.height() - 2;
        const QImage out = Stretch(id, w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                ASSERT_EQ(out.pixel(x, y), src.pixel(x + 1, y + 1)) << id << " at " << x << "," << y;
    }
}

TEST_F(PainterTest, WindowBackgroundGrowsThroughItsBodyRow) {
    const QImage out = Stretch(501, 722, 587);
    EXPECT_EQ(AcquirePainter().stretchY(), std::vector<int>{489});
    // Image rows 37/38 and 45/46 are the dark and light lines; row 42 fills the window's body.
    EXPECT_EQ(out.pixel(300, 36), Rgb(12, 12, 13));
    EXPECT_EQ(out.pixel(300, 37), Rgb(49, 53, 56));
    EXPECT_EQ(out.pixel(300, 532), Rgb(12, 12, 13));
    EXPECT_EQ(out.pixel(300, 533), Rgb(49, 53, 56));
    int body = 0;
    for (int y = 38; y < 532; ++y)
        body += out.pixel(360, y) == Rgb(32, 34, 36);
    EXPECT_EQ(body, 532 - 38);
    // The bottom bar darkens from its top to its bottom edge.
    int previous = 256;
    for (int y = 535; y < 585; y += 8) {
        const int grey = qGreen(out.pixel(360, y));
        EXPECT_LT(grey, previous) << y;
        previous = grey;
    }
    for (int x = 0; x < 722; x += 7)
        for (int y = 0; y < 587; y += 5)
            ASSERT_EQ(qAlpha(out.pixel(x, y)), 255) << x << "," << y;
}

TEST_F(PainterTest, StretchDrawReplacesTheSurfaceAlphaIncluded) {
    MemorySurface surface;
    ASSERT_TRUE(surface.Create(140, 37));
    surface.Dc()->fill(qRgba(200, 0, 0, 255));
    AcquirePainter().DrawStretchImage(surface, 143);
    const QImage expected = Stretch(143, 140, 37);
    EXPECT_EQ(*surface.Dc(), expected);
    // The rounded corner is see-through, not the red that was there.
    EXPECT_LT(qAlpha(surface.Dc()->pixel(0, 0)), 255);
}

TEST_F(PainterTest, MarkerRulesOnHandMadeFrames) {
    SkinPainter& painter = AcquirePainter();
    MemorySurface surface;
    ASSERT_TRUE(surface.Create(20, 12));
    Rect content;

    // A right-column run starting at row 0 never ends: bottom stays -1 and the height 0.
    painter.DrawStretchBitmap(surface, Frame(8, 8, {3}, {3}, {1, 2}, {2, 3, 4}), &content);
    EXPECT_EQ(content.top, 1);
    EXPECT_EQ(content.height(), 2);
    QImage fromTop = Frame(8, 8, {3}, {3}, {1, 2}, {2, 3, 4});
    fromTop.setPixel(7, 0, qRgba(0, 0, 0, 255)); // the corner is also the top row's last pixel
    painter.DrawStretchBitmap(surface, fromTop, &content);
    EXPECT_EQ(content.top, 0);
    EXPECT_EQ(content.height(), 0);

    // Both runs hold the widened column and row: 20 × 12 from 8 × 8 widens them by 15 and 7.
    painter.DrawStretchBitmap(surface, Frame(8, 8, {3}, {3}, {2, 3, 4}, {2, 3, 4}), &content);
    EXPECT_EQ(painter.stretchX(), std::vector<int>{15});
    EXPECT_EQ(painter.stretchY(), std::vector<int>{7});
    EXPECT_EQ(content, (Rect{2, 2, 2 + 3 + 15, 2 + 3 + 7}));

    // Two stretch marks in one direction: the first is widened, the rest are plain columns, and the content
    // width is not widened since the lists no longer match.
    painter.DrawStretchBitmap(surface, Frame(10, 8, {2, 5}, {3}, {2, 3, 4}, {2, 3, 4, 5, 6}), &content);
    EXPECT_EQ(painter.markX(), (std::vector<int>{1, 4}));
    EXPECT_EQ(painter.stretchX().size(), 1u);
    EXPECT_EQ(content.width(), 5);

    // Without marks the interior is copied from the top-left and the rest stays unpainted.
    MemorySurface wide;
    ASSERT_TRUE(wide.Create(10, 10));
    const QImage plain = Frame(5, 5, {}, {}, {1, 2}, {1, 2});
    painter.DrawStretchBitmap(wide, plain);
    EXPECT_EQ(wide.Dc()->pixel(0, 0), plain.pixel(1, 1));
    EXPECT_EQ(wide.Dc()->pixel(8, 8), 0u);
}

TEST_F(PainterTest, SurfaceNarrowerThanTheFixedColumnsDoesNotMirrorOrCrash) {
    MemorySurface surface;
    ASSERT_TRUE(surface.Create(6, 37));
    AcquirePainter().DrawStretchImage(surface, 143);
    const QImage src = Png(143);
    // 14 × 39 into 6 columns: the marked column is dropped and the right-hand columns, which end at the right
    // edge, overlap the left ones.
    for (int x = 0; x < 6; ++x)
        EXPECT_EQ(surface.Dc()->pixel(x, 10), src.pixel(x + 7, 11)) << x;
}

TEST_F(PainterTest, NaturalSizeImageComposesOverTheSurface) {
    const QImage src = Png(155);
    MemorySurface exact;
    ASSERT_TRUE(exact.Create(29, 26));
    AcquirePainter().DrawImage(exact, 155);
    EXPECT_EQ(*exact.Dc(), src);

    MemorySurface larger;
    ASSERT_TRUE(larger.Create(40, 40));
    const QRgb grey = qRgba(50, 60, 70, 255);
    larger.Dc()->fill(grey);
    AcquirePainter().DrawImage(larger, 155);
    EXPECT_EQ(larger.Dc()->pixel(35, 35), grey);
    EXPECT_EQ(larger.Dc()->pixel(29, 0), grey);
    EXPECT_EQ(larger.Dc()->pixel(0, 26), grey);
    // A transparent pixel of the image shows what was there; an opaque one replaces it.
    ASSERT_EQ(qAlpha(src.pixel(0, 0)), 0);
    EXPECT_EQ(larger.Dc()->pixel(0, 0), grey);
    const QRgb glyph = src.pixel(14, 17);
    ASSERT_EQ(qAlpha(glyph), 255);
    EXPECT_EQ(larger.Dc()->pixel(14, 17), glyph);
}

TEST_F(PainterTest, MissingImagesAndInvalidSurfacesDrawNothing) {
    PngImage png;
    EXPECT_FALSE(png.LoadPng(999));
    EXPECT_FALSE(png.IsLoaded());
    EXPECT_FALSE(png.LoadPng(143, QStringLiteral("LANGUAGE")));
    EXPECT_TRUE(png.LoadPng(143, QStringLiteral("png")));

    MemorySurface surface;
    ASSERT_TRUE(surface.Create(30, 30));
    surface.Dc()->fill(qRgba(1, 2, 3, 255));
    const QImage before = *surface.Dc();
    Rect content{-7, -7, -7, -7};
    AcquirePainter().DrawImage(surface, 999);
    AcquirePainter().DrawStretchImage(surface, 999, &content);
    EXPECT_EQ(*surface.Dc(), before);
    EXPECT_EQ(content, (Rect{-7, -7, -7, -7}));

    MemorySurface invalid;
    AcquirePainter().DrawImage(invalid, 155);
    AcquirePainter().DrawStretchImage(invalid, 143, &content);
    EXPECT_FALSE(invalid.IsValid());
}

// The build decodes the program's PNG resources ahead (tools/decode_png_resources); what it made must be what
// decoding the resource gives, for every PNG resource there is.
TEST(PngResourcesTest, EveryResourceHasBuildTimePixelsEqualToItsDecodedFile) {
    int checked = 0;
    for (const QString& folder : {QStringLiteral(":/png"), QStringLiteral(":/icon")}) {
        PngImage::ResourcePath(0); // registers the resources
        for (const QString& name : QDir(folder).entryList({QStringLiteral("*.png")}, QDir::Files)) {
            const QString path = folder + QLatin1Char('/') + name;
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
            const QImage decoded = QImage::fromData(file.readAll(), "PNG").convertToFormat(QImage::Format_ARGB32);
            ASSERT_FALSE(decoded.isNull()) << path.toStdString();
            EXPECT_EQ(PngImage::BuildTimePixels(path), decoded) << path.toStdString();
            ++checked;
        }
    }
    EXPECT_EQ(checked, 28);
    EXPECT_TRUE(PngImage::BuildTimePixels(QStringLiteral(":/png/999.png")).isNull());
}

TEST(PainterLifetimeTest, OnePainterUntilReleased) {
    SkinPainter& first = AcquirePainter();
    EXPECT_EQ(&AcquirePainter(), &first);
    EXPECT_TRUE(PainterExists());
    ReleasePainter();
    EXPECT_FALSE(PainterExists());
}

TEST(MemorySurfaceTest, CreateOnAnExistingSurfaceKeepsIt) {
    MemorySurface surface;
    EXPECT_FALSE(surface.IsValid());
    EXPECT_EQ(surface.Dc(), nullptr);
    ASSERT_TRUE(surface.Create(140, 37));
    EXPECT_EQ(surface.Dc()->pixel(0, 0), 0u);
    EXPECT_FALSE(surface.Create(221, 29));
    EXPECT_EQ(surface.Width(), 140);
    EXPECT_EQ(surface.Height(), 37);
    surface.Release();
    EXPECT_FALSE(surface.IsValid());
    EXPECT_EQ(surface.Width(), 0);
    EXPECT_TRUE(surface.Create(221, 29));
    EXPECT_EQ(surface.Width(), 221);
    MemorySurface empty;
    EXPECT_FALSE(empty.Create(0, 10));
    EXPECT_FALSE(empty.IsValid());
}

TEST(PixelOpsTest, BlendIsSourceOverWithRounding) {
    QImage dst(1, 1, QImage::Format_ARGB32_Premultiplied);
    QImage src(1, 1, QImage::Format_ARGB32_Premultiplied);
    dst.fill(qRgba(200, 100, 50, 255));
    src.setPixel(0, 0, qRgba(64, 0, 32, 128));
    AlphaBlendPixels(dst, 0, 0, 1, 1, src, 0, 0, 1, 1);
    // 64 + 200 × 127 / 255 = 64 + 99.6; 0 + 49.8; 32 + 24.9; alpha 128 + 127.
    EXPECT_EQ(dst.pixel(0, 0), qRgba(164, 50, 57, 255));
}

TEST(PixelOpsTest, StretchRunsAndRowCopiesMatchTheNearestPixelRuleWhenClipped) {
    // A source with a different colour at every pixel, and the rule each destination pixel follows.
    QImage src(5, 4, QImage::Format_ARGB32);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            src.setPixel(x, y, qRgba(x * 40, y * 60, 7, 255));
    struct Case { int dx, dy, dw, dh, sx, sy, sw, sh; };
    const Case cases[] = {
        {-3, 1, 12, 7, 2, 0, 1, 3},  // one column across, clipped on the left and the right
        {4, -2, 5, 9, 0, 1, 5, 2},   // rows repeated at their width, clipped on the right and the top
        {-1, 0, 5, 3, -1, 0, 5, 3},  // source starting left of the image
        {2, 3, 5, 2, 2, 0, 5, 1},    // source running past the image's right edge
        {0, 0, 7, 5, 1, 1, 3, 2},    // an ordinary stretch
    };
    for (const Case& c : cases) {
        QImage dst(8, 6, QImage::Format_ARGB32);
        dst.fill(qRgba(1, 2, 3, 4));
        QImage expected = dst.copy();
        for (int row = 0; row < c.dh; ++row)
            for (int col = 0; col < c.dw; ++col) {
                const int tx = c.dx + col, ty = c.dy + row;
                const int fx = c.sx + col * c.sw / c.dw, fy = c.sy + row * c.sh / c.dh;
                if (tx >= 0 && tx < 8 && ty >= 0 && ty < 6 && fx >= 0 && fx < 5 && fy >= 0 && fy < 4)
                    expected.setPixel(tx, ty, src.pixel(fx, fy));
            }
        StretchPixels(dst, c.dx, c.dy, c.dw, c.dh, src, c.sx, c.sy, c.sw, c.sh);
        EXPECT_EQ(dst, expected) << c.dx << "," << c.dy << " " << c.dw << "x" << c.dh << " from " << c.sx << ","
                                 << c.sy << " " << c.sw << "x" << c.sh;
    }
}

TEST(AlphaTextTest, FullCoverageGives254AndChannelsFollowCoverage) {
    const QFont font = CellHeightFont(QStringLiteral("Tahoma"), 40, 700);
    const auto white = RenderTextAlpha(QStringLiteral("MW"), font, Qt::white);
    ASSERT_TRUE(white.has_value());
    int full = 0;
    for (int y = 0; y < white->height(); ++y)
        for (int x = 0; x < white->width(); ++x) {
            const QRgb p = white->pixel(x, y);
            const int c = qAlpha(p);
            ASSERT_EQ(qRed(p), (c * 255) >> 8);
            if (c == 255) {
                ++full;
                EXPECT_EQ(qRed(p), 254);
                EXPECT_EQ(qGreen(p), 254);
                EXPECT_EQ(qBlue(p), 254);
            }
        }
    EXPECT_GT(full, 20);

    const auto blue = RenderTextAlpha(QStringLiteral("MW"), font, QColor(119, 148, 177));
    ASSERT_TRUE(blue.has_value());
    EXPECT_EQ(blue->size(), white->size());
    for (int y = 0; y < blue->height(); ++y)
        for (int x = 0; x < blue->width(); ++x) {
            const QRgb p = blue->pixel(x, y);
            const int c = qAlpha(p);
            ASSERT_EQ(qRed(p), (c * 119) >> 8);
            ASSERT_EQ(qGreen(p), (c * 148) >> 8);
            ASSERT_EQ(qBlue(p), (c * 177) >> 8);
        }

    EXPECT_FALSE(RenderTextAlpha(QString(), font, Qt::white).has_value());
}

TEST(AlphaTextTest, SizeCountsLinesAndTheWidestLine) {
    const QFont font = CellHeightFont(QStringLiteral("Tahoma"), 13, 700);
    const QSize one = MeasureText(QStringLiteral("Save"), font);
    EXPECT_EQ(one.height(), 13);
    const QSize two = MeasureText(QStringLiteral("Save\nInitialize"), font);
    EXPECT_EQ(two.height(), 26);
    EXPECT_EQ(two.width(), MeasureText(QStringLiteral("Initialize"), font).width());
    EXPECT_EQ(MeasureText(QString(), font), QSize(0, 0));
}

TEST(AlphaTextTest, OffsetsOfBothAlignments) {
    const Rect r{10, 20, 110, 40};                           // 100 × 20
    EXPECT_EQ(AlphaTextOffset(r, 93, 13, 1), QPoint(4, 3));  // 7 narrower: 3 + 1
    EXPECT_EQ(AlphaTextOffset(r, 94, 13, 1), QPoint(3, 3));  // 6 narrower: even
    EXPECT_EQ(AlphaTextOffset(r, 101, 13, 1), QPoint(1, 3)); // 1 wider: starts 1 in
    EXPECT_EQ(AlphaTextOffset(r, 102, 13, 1), QPoint(0, 3)); // 2 wider: left edge
    EXPECT_EQ(AlphaTextOffset(r, 150, 30, 1), QPoint(0, 0)); // taller: top edge
    EXPECT_EQ(AlphaTextOffset(r, 40, 13, 0), QPoint(0, 3));
    EXPECT_EQ(AlphaTextOffset(r, 40, 14, 0), QPoint(0, 3));
}

TEST(AlphaTextTest, DrawBlendsTheRenderedTextAtItsOffset) {
    const QFont font = CellHeightFont(QStringLiteral("Tahoma"), 13, 700);
    const QColor colour(214, 223, 233);
    const auto text = RenderTextAlpha(QStringLiteral("Dash Cam"), font, colour);
    ASSERT_TRUE(text.has_value());
    MemorySurface surface;
    ASSERT_TRUE(surface.Create(200, 40));
    surface.Dc()->fill(qRgba(32, 34, 36, 255));
    const Rect r{10, 5, 190, 35};
    DrawAlphaText(surface, QStringLiteral("Dash Cam"), font, r, colour, 1);

    QImage expected(200, 40, QImage::Format_ARGB32_Premultiplied);
    expected.fill(qRgba(32, 34, 36, 255));
    const QPoint at = AlphaTextOffset(r, text->width(), text->height(), 1);
    AlphaBlendPixels(expected, r.left + at.x(), r.top + at.y(), text->width(), text->height(), *text, 0, 0,
                     text->width(), text->height());
    EXPECT_EQ(*surface.Dc(), expected);
    EXPECT_NE(*surface.Dc(), [] {
        QImage plain(200, 40, QImage::Format_ARGB32_Premultiplied);
        plain.fill(qRgba(32, 34, 36, 255));
        return plain;
    }());

    const QImage before = *surface.Dc();
    DrawAlphaText(surface, QString(), font, r, colour, 0);
    EXPECT_EQ(*surface.Dc(), before);
}

TEST(FontsTest, CellHeightIsTheLineHeight) {
    EXPECT_TRUE(RegisterProjectFonts());
    for (int cell : {11, 13, 16}) {
        const QFont font = CellHeightFont(QStringLiteral("Tahoma"), cell, 700);
        EXPECT_EQ(CellHeight(font), cell) << cell;
        EXPECT_LT(font.pixelSize(), cell) << cell;
        EXPECT_EQ(QFontInfo(font).family(), QStringLiteral("Tahoma"));
        EXPECT_TRUE(font.bold());
    }
}

TEST(PixelOpsTest, OpaqueOnlyWhenNoPixelAnywhereIsTranslucent) {
    // 19 columns: two runs of eight and a tail of three; a view with a wider stride reads only its own pixels.
    QImage image(19, 3, QImage::Format_ARGB32_Premultiplied);
    image.fill(qRgba(10, 20, 30, 255));
    EXPECT_TRUE(IsOpaque(image));
    for (const QPoint at : {QPoint(0, 0), QPoint(7, 1), QPoint(9, 2), QPoint(18, 1)}) {
        QImage spotted = image.copy();
        spotted.setPixel(at, qRgba(10, 20, 30, 254));
        EXPECT_FALSE(IsOpaque(spotted)) << at.x() << "," << at.y();
    }
    QImage wide(24, 3, QImage::Format_ARGB32_Premultiplied);
    wide.fill(0);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 19; ++x)
            wide.setPixel(x, y, qRgba(1, 2, 3, 255));
    EXPECT_TRUE(IsOpaque(QImage(wide.constBits(), 19, 3, wide.bytesPerLine(), wide.format())));
    EXPECT_FALSE(IsOpaque(QImage(8, 8, QImage::Format_RGB16)));
}
