#include "ui/r_button.h"

#include <QApplication>
#include <QCursor>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <QPointer>

#include "ui/controls.h"
#include "ui/dpi_scale.h"
#include "ui/fonts.h"
#include "ui/pixel_ops.h"
#include "ui/r_button_accessible.h"
#include "ui/skin_painter.h"

namespace dashcam {

CRButton::CRButton(QWidget* parent) : QWidget(parent) {
    setOwner(this);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setFocusPolicy(Qt::TabFocus);
    CRButtonAccessible::Install();
}

CRButton::~CRButton() = default;

void CRButton::CopyBackground(const MemorySurface* parentBackground) {
    if (!parentBackground || !parentBackground->IsValid())
        return;
    backgroundSurface_.Create(width(), height());
    if (!backgroundSurface_.IsValid())
        return;
    CopyPixels(*backgroundSurface_.Dc(), 0, 0, width(), height(), *parentBackground->Dc(), x(), y());
    hasBackground_ = true;
}

void CRButton::SetImages(int normal, int hover, int pressed, const MemorySurface* parentBackground,
                         int disabled) {
    SkinPainter& painter = AcquirePainter();
    CopyBackground(parentBackground);
    const int w = ToLogical(width()), h = ToLogical(height());
    auto draw = [&](MemorySurface& surface, int id) {
        surface.Create(w, h);
        painter.DrawImage(surface, id);
    };
    draw(normalImage_, normal);
    draw(hoverImage_, hover);
    draw(pressedImage_, pressed);
    if (disabled != 0)
        draw(disabledImage_, disabled);
    ReleasePainter();
    Redraw();
}

void CRButton::SetImagesWithText(int normal, int hover, int pressed, const MemorySurface* parentBackground,
                                 const SkinTextInfo* text, int disabled) {
    SkinPainter& painter = AcquirePainter();
    CopyBackground(parentBackground);
    if (text) {
        caption_ = text->text;
        normalColour_ = text->normalColour;
        hoverColour_ = text->hoverColour;
        pressedColour_ = text->pressedColour;
        fontHeight_ = text->fontHeight;
        align_ = text->align;
        captionPixels_ = ToDevice(fontHeight_);
        captionFont_.reset();
        hasText_ = true;
        setAccessibleName(caption_);
    }
    const int w = ToLogical(width()), h = ToLogical(height());
    normalImage_.Release();
    normalImage_.Create(w, h);
    if (hasText_) {
        Rect content;
        painter.DrawStretchImage(normalImage_, normal, &content);
        ToDeviceRect(content);
        textRect_ = content;
    } else {
        painter.DrawStretchImage(normalImage_, normal);
    }
    auto draw = [&](MemorySurface& surface, int id) {
        surface.Release();
        surface.Create(w, h);
        painter.DrawStretchImage(surface, id);
    };
    draw(hoverImage_, hover);
    draw(pressedImage_, pressed);
    if (disabled != 0)
        draw(disabledImage_, disabled);
    ReleasePainter();
}

void CRButton::SetSelectedImage(int id) {
    SkinPainter& painter = AcquirePainter();
    selectedImage_.Create(width(), height());
    painter.DrawStretchImage(selectedImage_, id);
    ReleasePainter();
}

void CRButton::SetCheck(bool check) {
    state_ = check ? Selected : Normal;
    latched_ = check;
    Redraw();
}

void CRButton::Redraw() {
    redrawPending_ = true;
    update();
}

const MemorySurface* CRButton::StateImage() const {
    switch (state_) {
    case Normal:
        return &normalImage_;
    case Hover:
        return &hoverImage_;
    case Pressed:
        return &pressedImage_;
    case Selected:
        return &selectedImage_;
    case Disabled:
        return &disabledImage_;
    }
    return nullptr;
}

const QFont& CRButton::captionFont() const {
    if (!captionFont_)
        captionFont_ = CellHeightFont(PageFaceName(), captionPixels_, 700);
    return *captionFont_;
}

QImage CRButton::picture() {
    // A picture of another size than the control is stale as well.
    if (redrawPending_ ||
        (cachedPicture_ && cachedPicture_->size() != QSize(qMax(1, width()), qMax(1, height())))) {
        redrawPending_ = false;
        cachedPicture_.reset();
    }
    if (!cachedPicture_) {
        QImage picture(qMax(1, width()), qMax(1, height()), QImage::Format_ARGB32_Premultiplied);
        picture.fill(0);
        if (hasBackground_ && backgroundSurface_.IsValid())
            CopyPixels(picture, 0, 0, width(), height(), *backgroundSurface_.Dc(), 0, 0);
        const MemorySurface* image = StateImage();
        if (image && image->IsValid())
            AlphaBlendPixels(picture, 0, 0, width(), height(), *image->Dc(), 0, 0, ToLogical(width()),
                             ToLogical(height()));
        cachedPicture_ = std::move(picture);
    }
    return *cachedPicture_;
}

Rect CRButton::captionRect() const {
    Rect r = textRect_;
    if (align_ == 1)
        r.top += (r.bottom - r.top - ToDevice(fontHeight_)) / 2;
    return r;
}

QColor CRButton::captionColour() const {
    switch (state_) {
    case Hover:
        return hoverColour_;
    case Pressed:
    case Selected:
        return pressedColour_;
    default:
        return normalColour_;
    }
}

void CRButton::paintEvent(QPaintEvent* /*event*/) {
    const QImage frame = picture();
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, frame);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (hasText_) {
        const QFont& font = captionFont();
        painter.setPen(captionColour());
        painter.setFont(font);
        // One line of the caption from the top of its rectangle, clipped to it; centred for align 1.
        const Rect r = captionRect();
        const int width = QFontMetrics(font).horizontalAdvance(caption_);
        const int x = align_ == 1 ? r.left + (r.width() - width) / 2 : r.left;
        painter.setClipRect(r.toQRect());
        painter.drawText(x, r.top + CellAscent(font), caption_);
        painter.setClipping(false);
    }
    if (focusMarked_) {
        painter.setPen(QPen(hasText_ ? captionColour() : QColor(214, 223, 233), 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(2, 2, -3, -3));
    }
}

void CRButton::keyPressEvent(QKeyEvent* event) {
    // Enter presses the focused button at once, as a dialog's focused push button takes it.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (!event->isAutoRepeat() && !spaceHeld_)
            PostCommand();
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        spaceHeld_ = true;
        if (!latched_)
            OnLButtonDown();
        return;
    }
    QWidget::keyPressEvent(event);
}

void CRButton::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat() && spaceHeld_) {
        spaceHeld_ = false;
        PostCommand();
        if (!latched_) {
            state_ = rect().contains(mapFromGlobal(QCursor::pos())) ? Hover : Normal;
            Redraw();
        }
        return;
    }
    QWidget::keyReleaseEvent(event);
}

void CRButton::focusInEvent(QFocusEvent* event) {
    focusMarked_ = event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason;
    update();
    QWidget::focusInEvent(event);
}

void CRButton::focusOutEvent(QFocusEvent* event) {
    // Focus that leaves during a held Space takes the press with it, without a click.
    if (spaceHeld_ && !latched_) {
        state_ = Normal;
        Redraw();
    }
    spaceHeld_ = false;
    focusMarked_ = false;
    update();
    QWidget::focusOutEvent(event);
}

void CRButton::OnMouseMove() {
    if (state_ == Normal) {
        trackingLeave_ = true;
        state_ = Hover;
        Redraw();
    } else if (state_ == Selected) {
        trackingLeave_ = true;
    }
}

void CRButton::OnMouseLeave() {
    trackingLeave_ = false;
    if (!latched_) {
        state_ = Normal;
        Redraw();
    }
}

void CRButton::OnLButtonDown() {
    state_ = Pressed;
    Redraw();
}

void CRButton::OnLButtonUp() {
    PostCommand();
    if (!(selectedImage_.IsValid() && latched_)) {
        // A release that came from a press elsewhere brings no move first: ask for the leave here, or the
        // button would keep its hover look after the pointer has gone.
        trackingLeave_ = true;
        state_ = Hover;
        Redraw();
    }
}

void CRButton::Click() {
    PostCommand();
}

void CRButton::PostCommand() {
    const int id = ControlId(this);
    QMetaObject::invokeMethod(
        this, [this, id] { emit command(id); }, Qt::QueuedConnection);
}

void CRButton::mouseMoveEvent(QMouseEvent* event) {
    const bool inside = rect().contains(event->position().toPoint());
    if (inside) {
        OnMouseMove();
    } else if (trackingLeave_) {
        // While a press on the button is held the toolkit keeps sending us the moves; leaving is leaving.
        OnMouseLeave();
    }
    QWidget::mouseMoveEvent(event);
}

void CRButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        OnLButtonDown();
    }
    event->accept();
}

void CRButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    if (rect().contains(event->position().toPoint())) {
        OnLButtonUp();
    } else {
        // The release belongs to whatever lies under the pointer; another skinned button there takes it as
        // its own release.
        QWidget* under = QApplication::widgetAt(event->globalPosition().toPoint());
        if (auto* other = qobject_cast<CRButton*>(under); other && other != this && other->isEnabled())
            other->OnLButtonUp();
    }
    event->accept();
}

void CRButton::leaveEvent(QEvent* event) {
    if (trackingLeave_)
        OnMouseLeave();
    QWidget::leaveEvent(event);
}

void CRButton::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange) {
        if (isEnabled()) {
            if (state_ == Disabled) {
                state_ = Normal;
                Redraw();
            }
        } else if (disabledImage_.IsValid()) {
            state_ = Disabled;
            Redraw();
        }
    }
    QWidget::changeEvent(event);
}

} // namespace dashcam
