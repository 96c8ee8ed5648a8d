// Test main for widget tests: one QApplication on the offscreen platform, the project fonts registered.
#include <QApplication>
#include <gtest/gtest.h>

#include "ui/dpi_scale.h"
#include "ui/fonts.h"

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // As start-up does: the Tahoma face available, the display scale at 100 %.
    dashcam::RegisterProjectFonts();
    dashcam::SetScaleFromDpi(96);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
