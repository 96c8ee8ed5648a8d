#pragma once
// Connects the toolkit-free seams to Qt: developer traces go to the "dashcam.trace" logging category (off unless
// QT_LOGGING_RULES="dashcam.trace=true"), plain messages and Yes/No questions become message boxes.
namespace dashcam {

void InstallQtTraceSink();
void InstallMessageBoxPresenter();

} // namespace dashcam
