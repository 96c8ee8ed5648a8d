#include "ui/fonts.h"

#include <QDir>
#include <QFontDatabase>
#include <QFontMetrics>

namespace dashcam {

namespace {
const QString kTahoma = QStringLiteral("Tahoma");
}

bool RegisterProjectFonts() {
    static bool registered = false;
    if (registered || QFontDatabase::hasFamily(kTahoma)) {
        registered = true;
        return true;
    }
    const QDir wineFonts(QStringLiteral("/usr/share/wine/fonts"));
    const QStringList files =
        wineFonts.entryList({QStringLiteral("tahoma*.ttf"), QStringLiteral("Tahoma*.ttf")}, QDir::Files);
    for (const QString& file : files)
        QFontDatabase::addApplicationFont(wineFonts.filePath(file));
    registered = QFontDatabase::hasFamily(kTahoma);
    return registered;
}

QFont CellHeightFont(const QString& face, int cellHeight, int weight) {
    QFont font(face);
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setStyleStrategy(QFont::PreferAntialias);
    font.setStyleHint(QFont::SansSerif);
    if (cellHeight <= 0) {
        font.setPixelSize(1);
        return font;
    }
    for (int pixels = cellHeight; pixels > 1; --pixels) {
        font.setPixelSize(pixels);
        if (QFontMetrics(font).height() <= cellHeight)
            return font;
    }
    font.setPixelSize(1);
    return font;
}

} // namespace dashcam
