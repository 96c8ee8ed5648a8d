#pragma once
// The skin's text label: an anti-aliased caption over a copy of the parent's pixels (optionally over a
// stretchable image). Mouse moves, presses and releases are passed on to the parent with the label's own
// coordinates, so the parent treats the label as part of its own surface (the window can be dragged by it).
#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>
#include <QWidget>

#include <optional>

#include "ui/dpi_wnd.h"
#include "ui/memory_surface.h"
#include "ui/rect.h"
#include "ui/skin_text_info.h"

namespace dashcam {

class CRStaticText : public QWidget, public CDPIWnd {
    Q_OBJECT
public:
    explicit CRStaticText(QWidget* parent = nullptr);
    ~CRStaticText() override;

    // Copies the parent's pixels under the label from `parentBackground` (now, once), takes the caption, its
    // normal colour and alignment from `text` (or keeps the previous caption when null) and draws it in
    // `font`. A non-zero `imageId` is a stretchable image blended onto the background; the caption then goes
    // into its content rectangle, otherwise into the whole label. Repaints.
    void SetContent(int imageId, const QFont& font, const MemorySurface* parentBackground,
                    const SkinTextInfo* text);
    // Marks the cached picture stale and repaints.
    void Redraw();

    const QString& caption() const { return caption_; }
    QColor textColour() const { return textColour_; }
    int align() const { return align_; }
    Rect textRect() const { return textRect_; }
    // Background copy plus caption (built when stale).
    QImage picture();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void Forward(QMouseEvent* event);
    // The caption and its background at `scale` screen pixels per layout unit.
    QImage ScaledPicture(qreal scale) const;

    std::optional<QImage> cachedPicture_;
    std::optional<QImage> cachedScaledPicture_; // at its own device pixel ratio
    bool redrawPending_ = true;
    Rect clientRect_;
    Rect textRect_;
    MemorySurface backgroundSurface_;
    QFont captionFont_;
    QString caption_;
    QColor textColour_;
    int align_ = 0;
};

} // namespace dashcam
