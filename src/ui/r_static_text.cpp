#include "ui/r_static_text.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>

#include "ui/alpha_text.h"
#include "ui/fonts.h"
#include "ui/pixel_ops.h"
#include "ui/skin_painter.h"

namespace dashcam {

CRStaticText::CRStaticText(QWidget* parent) : QWidget(parent) {
    setOwner(this);
    setMouseTracking(true);
}

CRStaticText::~CRStaticText() = default;

void CRStaticText::SetContent(int imageId, const QFont& font, const MemorySurface* parentBackground,
                              const SkinTextInfo* text) {
    clientRect_ = Rect{0, 0, width(), height()};
    SkinPainter& painter = AcquirePainter();
    if (parentBackground && parentBackground->IsValid()) {
        backgroundSurface_.Create(width(), height());
        if (backgroundSurface_.IsValid())
            CopyPixels(*backgroundSurface_.Dc(), 0, 0, width(), height(), *parentBackground->Dc(), x(), y());
    }
    if (text) {
        caption_ = text->text;
        textColour_ = text->normalColour;
        align_ = text->align;
        captionFont_ = font;
    }
    if (imageId != 0) {
        MemorySurface temporary;
        temporary.Create(width(), height());
        Rect content;
        painter.DrawStretchImage(temporary, imageId, &content);
        textRect_ = content;
        if (temporary.IsValid()) {
            backgroundSurface_.Create(width(), height());
            if (backgroundSurface_.IsValid())
                AlphaBlendPixels(*backgroundSurface_.Dc(), 0, 0, width(), height(), *temporary.Dc(), 0, 0,
                                 width(), height());
        }
    } else {
        textRect_ = clientRect_;
    }
    ReleasePainter();
    Redraw();
}

void CRStaticText::Redraw() {
    redrawPending_ = true;
    cachedScaledPicture_.reset();
    update();
}

QImage CRStaticText::picture() {
    clientRect_ = Rect{0, 0, width(), height()};
    // A picture of another size than the control is stale as well.
    if (redrawPending_ ||
        (cachedPicture_ && cachedPicture_->size() != QSize(qMax(1, width()), qMax(1, height())))) {
        redrawPending_ = false;
        cachedPicture_.reset();
    }
    if (!cachedPicture_) {
        MemorySurface compose;
        compose.Create(qMax(1, width()), qMax(1, height()));
        if (backgroundSurface_.IsValid())
            CopyPixels(*compose.Dc(), 0, 0, width(), height(), *backgroundSurface_.Dc(), 0, 0);
        AcquirePainter();
        DrawAlphaText(compose, caption_, captionFont_, textRect_, textColour_, align_);
        ReleasePainter();
        cachedPicture_ = *compose.Dc();
    }
    return *cachedPicture_;
}

QImage CRStaticText::ScaledPicture(qreal scale) const {
    // The background is the skin's, a picture at one pixel per layout unit, stretched; the caption is drawn
    // again at the screen's pixels with a font of the scaled cell height.
    const QSize size(qMax(1, qRound(width() * scale)), qMax(1, qRound(height() * scale)));
    MemorySurface compose;
    compose.Create(size.width(), size.height());
    if (backgroundSurface_.IsValid()) {
        QPainter painter(compose.Dc());
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRect(QPoint(0, 0), size), *backgroundSurface_.Dc());
    }
    AcquirePainter();
    const QFont font = CellHeightFont(captionFont_.family(), qRound(CellHeight(captionFont_) * scale),
                                      captionFont_.weight());
    const Rect rect{qRound(textRect_.left * scale), qRound(textRect_.top * scale), qRound(textRect_.right * scale),
                    qRound(textRect_.bottom * scale)};
    DrawAlphaText(compose, caption_, font, rect, textColour_, align_);
    ReleasePainter();
    QImage out = *compose.Dc();
    out.setDevicePixelRatio(scale);
    return out;
}

void CRStaticText::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    // On a scaled screen the caption is drawn at the screen's own pixels, not as the 1:1 picture enlarged.
    const qreal scale = painter.deviceTransform().m22();
    if (scale > 1.0 && painter.deviceTransform().isScaling() && !painter.deviceTransform().isRotating()) {
        if (!cachedScaledPicture_ || cachedScaledPicture_->devicePixelRatio() != scale ||
            cachedScaledPicture_->deviceIndependentSize() != QSizeF(size()))
            cachedScaledPicture_ = ScaledPicture(scale);
        painter.drawImage(QRectF(0, 0, width(), height()), *cachedScaledPicture_);
        return;
    }
    painter.drawImage(0, 0, picture());
}

void CRStaticText::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    clientRect_ = Rect{0, 0, width(), height()};
    Redraw();
}

void CRStaticText::Forward(QMouseEvent* event) {
    if (QWidget* parent = parentWidget()) {
        // Same position, relative to the label, as the label received it.
        QMouseEvent copy(event->type(), event->position(), event->scenePosition(), event->globalPosition(),
                         event->button(), event->buttons(), event->modifiers(), event->pointingDevice());
        QCoreApplication::sendEvent(parent, &copy);
    }
    event->accept();
}

void CRStaticText::mouseMoveEvent(QMouseEvent* event) {
    Forward(event);
}
void CRStaticText::mousePressEvent(QMouseEvent* event) {
    Forward(event);
}
void CRStaticText::mouseReleaseEvent(QMouseEvent* event) {
    Forward(event);
}

void CRStaticText::mouseDoubleClickEvent(QMouseEvent* event) {
    // A second press in quick succession is still a press.
    QMouseEvent press(QEvent::MouseButtonPress, event->position(), event->scenePosition(),
                      event->globalPosition(), event->button(), event->buttons(), event->modifiers(),
                      event->pointingDevice());
    Forward(&press);
    event->accept();
}

} // namespace dashcam
