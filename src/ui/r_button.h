#pragma once
// The skin's push button: paints one of its state images over a copy of its parent's pixels, with an optional
// caption in a per-state colour; follows the pointer (normal, hover, pressed), can be latched selected
// (tabs), and reports a click to its owner with the command signal, queued so that it arrives after the
// button's own handling of the release.
//
// The button does not hold the mouse: a release over it is reported even when the press began elsewhere, and
// a press released outside it is not reported.
//
// The keyboard reaches it with Tab (never with a click, so a mouse user sees the skin as drawn) and presses
// it with Space or Enter; while Tab has put the focus on it, a dotted frame in the caption's colour marks it.
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

class CRButton : public QWidget, public CDPIWnd {
    Q_OBJECT
public:
    enum State { Normal = 0, Hover = 1, Pressed = 2, Selected = 3, Disabled = 4 };

    explicit CRButton(QWidget* parent = nullptr);
    ~CRButton() override;

    // Fixed-size state images without caption. `parentBackground` is the surface the parent draws itself
    // from; the pixels under the button are copied from it now, once. A `disabled` id of 0 means no disabled
    // image.
    void SetImages(int normal, int hover, int pressed, const MemorySurface* parentBackground,
                   int disabled = 0);
    // Stretchable state images, with the caption `text` (or none). The caption goes into the content
    // rectangle of the normal image. Does not repaint.
    void SetImagesWithText(int normal, int hover, int pressed, const MemorySurface* parentBackground,
                           const SkinTextInfo* text, int disabled = 0);
    // The stretchable image of the latched state. Does not repaint.
    void SetSelectedImage(int id);
    // Latches (state Selected) or releases (state Normal) the button, then repaints.
    void SetCheck(bool check);
    // Marks the cached picture stale and repaints.
    void Redraw();

    State state() const { return state_; }
    bool latched() const { return latched_; }
    // Whether the button latches when selected (it has a selected image): the window's tabs.
    bool latchable() const { return selectedImage_.IsValid(); }
    // True while the keyboard focus, brought by Tab or Backtab, is shown on the button.
    bool focusMarked() const { return focusMarked_; }
    bool hasText() const { return hasText_; }
    const QString& caption() const { return caption_; }
    int align() const { return align_; }
    // Where the caption goes, in device pixels.
    Rect textRect() const { return textRect_; }
    // The rectangle the caption is drawn into: textRect, for align 1 moved down to centre one line of the
    // font.
    Rect captionRect() const;
    // The caption's colour in the current state.
    QColor captionColour() const;
    // The caption's font, made when it is first asked for (at the first paint): making the pictures needs no
    // font, so the window's buttons are built while the fonts are still being registered.
    const QFont& captionFont() const;
    // The background-plus-state-image picture of the current state, without the caption (built when stale).
    QImage picture();

    // A release of the left button over this button, wherever the press began: posts the command and leaves
    // the pressed state. The toolkit hands a release to the widget that got the press, so whoever received it
    // passes it on here.
    void OnLButtonUp();
    // Clicks the button without pointer or keys (assistive technology's press): posts the command.
    void Click();

signals:
    // The button was clicked; `id` is its control id.
    void command(int id);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void CopyBackground(const MemorySurface* parentBackground);
    const MemorySurface* StateImage() const;
    void OnMouseMove();
    void OnMouseLeave();
    void OnLButtonDown();
    void PostCommand();

    MemorySurface backgroundSurface_;
    MemorySurface normalImage_;
    MemorySurface hoverImage_;
    MemorySurface pressedImage_;
    MemorySurface disabledImage_;
    MemorySurface selectedImage_;
    std::optional<QImage> cachedPicture_;
    bool redrawPending_ = true;
    bool trackingLeave_ = false;
    State state_ = Normal;
    bool hasText_ = false;
    QString caption_;
    QColor normalColour_;
    QColor hoverColour_;
    QColor pressedColour_;
    int fontHeight_ = 0;
    int align_ = 0;
    bool latched_ = false;
    bool focusMarked_ = false;
    bool spaceHeld_ = false;
    bool hasBackground_ = false;
    Rect textRect_;
    int captionPixels_ = 0; // the caption's cell height in device pixels
    mutable std::optional<QFont> captionFont_;
};

} // namespace dashcam
