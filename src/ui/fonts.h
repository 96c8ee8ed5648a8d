#pragma once
// The faces the interface draws with, and fonts sized by cell height.
#include <QFont>
#include <QString>

namespace dashcam {

// Makes "Tahoma" available: the system's face when it has one, otherwise the Tahoma files of the Wine fonts
// (/usr/share/wine/fonts/tahoma*.ttf). Safe to call more than once. False when no Tahoma could be found.
bool RegisterProjectFonts();

// A font whose cell height (ascent + descent, the height of one line) is `cellHeight` pixels: the largest
// pixel size that does not exceed it. `weight` 700 is bold. Anti-aliased.
QFont CellHeightFont(const QString& face, int cellHeight, int weight = 400);

} // namespace dashcam
