#pragma once
// Child controls are named by numeric ids, as in the layout tables: a control carries its id, and a window
// finds its controls by id.
#include <QString>

class QWidget;

namespace dashcam {

// Gives `widget` the control id `id`.
void SetControlId(QWidget* widget, int id);
// The control id of `widget`; 0 when it has none.
int ControlId(const QWidget* widget);
// The first descendant of `parent` (direct children first) with control id `id`; null when there is none.
QWidget* FindControl(const QWidget* parent, int id);

// The control's visible text: the "text" property of labels, buttons and edits, the window title otherwise.
void SetControlText(QWidget* widget, const QString& text);
QString ControlText(const QWidget* widget);

// The wheel turns `control` only while the keyboard focus is on it (or inside it); otherwise the wheel goes on
// to the control's parent, so scrolling a page past a slider, a list or a date field never edits it. The wheel
// no longer gives the control the focus either.
void WheelOnlyWhenFocused(QWidget* control);

} // namespace dashcam
