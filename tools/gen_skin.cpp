// Draws the skin's PNG images and the application icon into <res>/png and <res>/icon.
//
// Stretchable images carry a one-pixel frame: transparent white, with opaque black marks for the stretch
// column (top row), the stretch row (left column) and the content runs (right column, bottom row). The
// picture itself lies inside the frame; its last column and row are the frame's right and bottom edges.
#include <QColor>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>
#include <functional>

namespace {

struct Marks {
    int stretchColumn;
    int stretchRow;
    int runTop, runBottom; // right column
    int runLeft, runRight; // bottom row
};

const QRgb kFrame = qRgba(255, 255, 255, 0);
const QRgb kMark = qRgba(0, 0, 0, 255);

QString g_out;

bool Save(const QImage& image, int id, const char* folder = "png") {
    const QString path = QStringLiteral("%1/%2/%3.png").arg(g_out, QLatin1String(folder)).arg(id);
    if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

// A w × h stretchable image: `paint` draws the (w − 2) × (h − 2) picture, which is placed inside the frame.
QImage Stretchable(int w, int h, const Marks& m, const std::function<void(QPainter&, int, int)>& paint) {
    QImage art(w - 2, h - 2, QImage::Format_ARGB32_Premultiplied);
    art.fill(Qt::transparent);
    {
        QPainter p(&art);
        p.setRenderHint(QPainter::Antialiasing);
        paint(p, art.width(), art.height());
    }
    const QImage straight = art.convertToFormat(QImage::Format_ARGB32);
    QImage out(w, h, QImage::Format_ARGB32);
    out.fill(kFrame);
    for (int y = 0; y < h - 2; ++y)
        for (int x = 0; x < w - 2; ++x)
            out.setPixel(x + 1, y + 1, straight.pixel(x, y));
    out.setPixel(m.stretchColumn, 0, kMark);
    out.setPixel(0, m.stretchRow, kMark);
    for (int y = m.runTop; y <= m.runBottom; ++y)
        out.setPixel(w - 1, y, kMark);
    for (int x = m.runLeft; x <= m.runRight; ++x)
        out.setPixel(x, h - 1, kMark);
    return out;
}

QImage Natural(int w, int h, const std::function<void(QPainter&, int, int)>& paint) {
    QImage art(w, h, QImage::Format_ARGB32_Premultiplied);
    art.fill(Qt::transparent);
    {
        QPainter p(&art);
        p.setRenderHint(QPainter::Antialiasing);
        paint(p, w, h);
    }
    return art.convertToFormat(QImage::Format_ARGB32);
}

// A gradient from `top` at row y0 to `bottom` at row y0 + h.
QLinearGradient Vertical(int h, QColor top, QColor bottom, int y0 = 0) {
    QLinearGradient g(0, y0, 0, y0 + h);
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    return g;
}

// ---- tabs
// -------------------------------------------------------------------------------------------------------

enum class TabPlace { Left, Middle, Right };
enum class TabState { Normal, Hover, Pressed, Selected };

void PaintTab(QPainter& p, int w, int h, TabPlace place, TabState state) {
    const int tw = w, th = h;
    QColor top, bottom, rim, highlight;
    switch (state) {
    case TabState::Normal:
        top = QColor(60, 64, 69), bottom = QColor(41, 44, 47), rim = QColor(22, 23, 25),
        highlight = QColor(78, 83, 89);
        break;
    case TabState::Hover:
        top = QColor(82, 88, 95), bottom = QColor(56, 60, 65), rim = QColor(24, 26, 28),
        highlight = QColor(104, 111, 119);
        break;
    case TabState::Pressed:
        top = QColor(132, 188, 238), bottom = QColor(84, 146, 210), rim = QColor(18, 38, 66),
        highlight = QColor(176, 214, 246);
        break;
    case TabState::Selected:
        top = QColor(98, 118, 140), bottom = QColor(70, 87, 106), rim = QColor(24, 30, 38),
        highlight = QColor(128, 186, 240);
        break;
    }
    const qreal r = 4.0;
    const bool roundLeft = place == TabPlace::Left, roundRight = place == TabPlace::Right;
    QPainterPath shape;
    shape.moveTo(0, th);
    if (roundLeft) {
        shape.lineTo(0, r);
        shape.quadTo(0, 0, r, 0);
    } else {
        shape.lineTo(0, 0);
    }
    if (roundRight) {
        shape.lineTo(tw - r, 0);
        shape.quadTo(tw, 0, tw, r);
    } else {
        shape.lineTo(tw, 0);
    }
    shape.lineTo(tw, th);
    shape.closeSubpath();
    p.fillPath(shape, Vertical(th, top, bottom));

    p.setRenderHint(QPainter::Antialiasing, false);
    // Top highlight (a thicker accent line on the selected tab) and the rim.
    p.fillRect(QRect(roundLeft ? 3 : 0, 0, tw - (roundLeft ? 3 : 0) - (roundRight ? 3 : 0), 1), rim);
    p.fillRect(QRect(roundLeft ? 2 : 1, 1, tw - (roundLeft ? 2 : 1) - (roundRight ? 2 : 1),
                     state == TabState::Selected ? 2 : 1),
               highlight);
    // Separators between the tabs: a dark line on the right, a light one on the left.
    if (place != TabPlace::Right)
        p.fillRect(QRect(tw - 1, 1, 1, th - 1), rim);
    if (place != TabPlace::Left)
        p.fillRect(QRect(0, 1, 1, th - 1), highlight.darker(state == TabState::Pressed ? 110 : 125));
    if (roundLeft)
        p.fillRect(QRect(0, 3, 1, th - 3), rim);
    if (roundRight)
        p.fillRect(QRect(tw - 1, 3, 1, th - 3), rim);
    if (state == TabState::Pressed)
        p.fillRect(QRect(0, th - 1, tw, 1), rim);
    p.setRenderHint(QPainter::Antialiasing, true);
    if (roundLeft || roundRight) {
        p.setPen(QPen(rim, 1));
        if (roundLeft)
            p.drawArc(QRectF(0.5, 0.5, 2 * r, 2 * r), 90 * 16, 90 * 16);
        if (roundRight)
            p.drawArc(QRectF(tw - 0.5 - 2 * r, 0.5, 2 * r, 2 * r), 0, 90 * 16);
    }
}

// ---- command buttons
// -------------------------------------------------------------------------------------------

void PaintCommandButton(QPainter& p, int w, int h, TabState state) {
    const int bw = w, bh = h;
    QColor top, bottom, rim, shine;
    switch (state) {
    case TabState::Hover:
        top = QColor(82, 89, 97), bottom = QColor(56, 61, 67), rim = QColor(138, 148, 160),
        shine = QColor(255, 255, 255, 40);
        break;
    case TabState::Pressed:
        top = QColor(116, 176, 232), bottom = QColor(70, 132, 198), rim = QColor(38, 82, 136),
        shine = QColor(255, 255, 255, 70);
        break;
    default:
        top = QColor(58, 63, 69), bottom = QColor(38, 41, 45), rim = QColor(98, 106, 115),
        shine = QColor(255, 255, 255, 26);
        break;
    }
    const QRectF body(0.5, 0.5, bw - 1.0, bh - 1.0);
    QPainterPath path;
    path.addRoundedRect(body, 4, 4);
    p.fillPath(path, Vertical(bh, top, bottom));
    QPainterPath upper;
    upper.addRoundedRect(QRectF(1.5, 1.5, bw - 3.0, bh / 2.0 - 1.0), 3, 3);
    p.fillPath(upper, shine);
    p.setPen(QPen(rim, 1));
    p.drawPath(path);
}

// ---- window buttons
// --------------------------------------------------------------------------------------------

void PaintWindowButton(QPainter& p, int w, int h, bool close, TabState state) {
    QColor face = Qt::transparent, glyph(176, 187, 200);
    if (state == TabState::Hover) {
        face = close ? QColor(196, 52, 40) : QColor(64, 69, 75);
        glyph = Qt::white;
    } else if (state == TabState::Pressed) {
        face = close ? QColor(150, 34, 26) : QColor(70, 132, 198);
        glyph = Qt::white;
    }
    if (face.alpha() > 0) {
        QPainterPath path;
        path.addRoundedRect(QRectF(2.5, 3.5, w - 5.0, h - 7.0), 3, 3);
        p.fillPath(path, Vertical(h, face.lighter(112), face));
    }
    const qreal cx = w / 2.0, cy = h / 2.0;
    if (close) {
        p.setPen(QPen(glyph, 1.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(cx - 4.5, cy - 4.5), QPointF(cx + 4.5, cy + 4.5));
        p.drawLine(QPointF(cx + 4.5, cy - 4.5), QPointF(cx - 4.5, cy + 4.5));
    } else {
        p.setRenderHint(QPainter::Antialiasing, false);
        p.fillRect(QRect(int(cx) - 5, int(cy) + 3, 10, 2), glyph);
    }
}

// ---- bar segments
// ----------------------------------------------------------------------------------------------

void PaintBar(QPainter& p, int w, int h, QColor colour) {
    const int bw = w, bh = h;
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(QRect(0, 0, bw, bh), Vertical(bh, colour.lighter(135), colour.darker(115)));
    p.fillRect(QRect(0, 0, bw, 1), colour.lighter(160));
    p.fillRect(QRect(0, bh - 1, bw, 1), colour.darker(140));
}

// ---- window background
// -----------------------------------------------------------------------------------------

void PaintWindow(QPainter& p, int w, int h) {
    // Picture row r is image row r + 1.
    const int pw = w, ph = h;
    const QColor body(32, 34, 36), dark(12, 12, 13), light(49, 53, 56), border(62, 67, 72);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(QRect(0, 0, pw, ph), body);
    p.fillRect(QRect(0, 0, pw, 36), Vertical(36, QColor(42, 45, 49), body)); // title area, rows 1 … 36
    p.fillRect(QRect(0, 36, pw, 1), dark);                                   // row 37
    p.fillRect(QRect(0, 37, pw, 1), light);                                  // row 38
    p.fillRect(QRect(0, 44, pw, 1), dark);                                   // row 45
    p.fillRect(QRect(0, 45, pw, 1), light);                                  // row 46
    p.fillRect(QRect(0, 46, pw, ph - 46), Vertical(ph - 46, QColor(37, 40, 43), QColor(27, 29, 31), 46));
    p.fillRect(QRect(0, 0, pw, 1), QColor(86, 146, 206)); // accent along the top edge
    p.fillRect(QRect(0, 1, 1, ph - 1), border);
    p.fillRect(QRect(pw - 1, 1, 1, ph - 1), border);
    p.fillRect(QRect(0, ph - 1, pw, 1), border);
}

// ---- icon
// --------------------------------------------------------------------------------------------------------

void PaintIcon(QPainter& p, int w, int /*h*/) {
    const qreal s = w / 256.0;
    p.scale(s, s);
    QPainterPath tile;
    tile.addRoundedRect(QRectF(8, 8, 240, 240), 48, 48);
    p.fillPath(tile, Vertical(256, QColor(64, 72, 82), QColor(26, 28, 31)));
    p.setPen(QPen(QColor(86, 146, 206), 6));
    p.drawPath(tile);
    // Camera body with its lens, and a small gear of settings.
    QPainterPath bodyPath;
    bodyPath.addRoundedRect(QRectF(44, 84, 168, 100), 20, 20);
    p.fillPath(bodyPath, Vertical(256, QColor(92, 100, 110), QColor(48, 52, 58)));
    p.setPen(QPen(QColor(20, 22, 24), 4));
    p.drawPath(bodyPath);
    p.setBrush(QColor(18, 20, 22));
    p.drawEllipse(QPointF(128, 134), 42, 42);
    QRadialGradient lens(QPointF(118, 124), 40);
    lens.setColorAt(0, QColor(140, 200, 250));
    lens.setColorAt(0.5, QColor(50, 110, 180));
    lens.setColorAt(1, QColor(10, 30, 60));
    p.setBrush(lens);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(128, 134), 30, 30);
    p.setBrush(QColor(255, 255, 255, 180));
    p.drawEllipse(QPointF(116, 122), 8, 8);
    p.setBrush(QColor(220, 60, 50));
    p.drawEllipse(QPointF(190, 102), 7, 7);
    p.setBrush(QColor(92, 100, 110));
    p.drawRoundedRect(QRectF(96, 62, 64, 26), 8, 8);
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: gen_skin RES_FOLDER\n");
        return 2;
    }
    g_out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(g_out + QStringLiteral("/png"));
    QDir().mkpath(g_out + QStringLiteral("/icon"));

    bool ok = true;
    const Marks tab{6, 19, 2, 36, 6, 6};
    const TabPlace places[] = {TabPlace::Left, TabPlace::Middle, TabPlace::Right};
    const TabState states[] = {TabState::Normal, TabState::Hover, TabState::Pressed, TabState::Selected};
    for (int t = 0; t < 3; ++t)
        for (int s = 0; s < 4; ++s)
            ok &=
                Save(Stretchable(14, 39, tab,
                                 [&](QPainter& p, int w, int h) { PaintTab(p, w, h, places[t], states[s]); }),
                     143 + t * 4 + s);

    for (int s = 0; s < 3; ++s) {
        ok &= Save(
            Natural(29, 26, [&](QPainter& p, int w, int h) { PaintWindowButton(p, w, h, false, states[s]); }),
            155 + s);
        ok &= Save(
            Natural(29, 26, [&](QPainter& p, int w, int h) { PaintWindowButton(p, w, h, true, states[s]); }),
            158 + s);
    }

    const Marks command{7, 15, 3, 27, 7, 7};
    for (int s = 0; s < 3; ++s)
        ok &= Save(Stretchable(15, 31, command,
                               [&](QPainter& p, int w, int h) { PaintCommandButton(p, w, h, states[s]); }),
                   161 + s);

    const Marks bar{2, 8, 1, 15, 1, 3};
    const QColor bars[] = {QColor(76, 186, 84), QColor(236, 206, 54), QColor(240, 140, 40),
                           QColor(222, 60, 50), QColor(64, 140, 220)};
    for (int i = 0; i < 5; ++i)
        ok &= Save(Stretchable(5, 17, bar, [&](QPainter& p, int w, int h) { PaintBar(p, w, h, bars[i]); }),
                   175 + i);

    const Marks window{14, 42, 39, 44, 1, 27};
    ok &= Save(Stretchable(29, 101, window, PaintWindow), 501);

    ok &= Save(Natural(256, 256, PaintIcon), 128, "icon");
    return ok ? 0 : 1;
}
