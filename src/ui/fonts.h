#pragma once
// The faces the interface draws with, and fonts sized by cell height.
//
// A cell is one line of text: ascent plus descent, as the face's Windows metrics give them. A 13-pixel
// caption font therefore has a 13-pixel line height and glyphs of the size a 13-pixel Tahoma has everywhere
// else.
#include <QFont>
#include <QString>

namespace dashcam {

// The face the pages, the buttons' captions and the layout's measurements use.
QString PageFaceName();

// Starts reading the system's font configuration (fontconfig's files) on a thread of its own. It needs no
// QApplication, nor any library initialised, so a program calls it first thing (the editor's programs from
// their pre-initialisation array, src/app/read_fonts_early.cpp): the reading is most of what the first font
// costs, and goes on while the toolkit starts. RegisterProjectFonts waits for it. Nothing happens where
// fontconfig is not used, or on a second call.
void StartFontConfiguration();

// Tells the reading that StartFontConfiguration began that the QApplication exists: once the configuration is
// read, that thread registers the project's fonts itself (RegisterProjectFonts).
void ApplicationObjectReady();

// Makes "Tahoma" available: the system's face when it has one, otherwise the Tahoma files of the Wine fonts
// (/usr/share/wine/fonts/tahoma*.ttf). Registers once; any thread may call it, and a call while another
// thread registers waits for that. False when no Tahoma could be found.
bool RegisterProjectFonts();

// A font whose cell height is `cellHeight` pixels, or the nearest below it that whole pixel sizes allow.
// `weight` 700 is bold. Anti-aliased. Registers the project's fonts first.
QFont CellHeightFont(const QString& face, int cellHeight, int weight = 400);

// Cell height and ascent of `font` in pixels (line height and first baseline of text laid out from the top).
int CellHeight(const QFont& font);
int CellAscent(const QFont& font);

} // namespace dashcam
