#pragma once
// The hand-over from the card to the PC: an editor started from the card copies itself to the local program folder
// and starts that copy with the card folder as its only argument.
#include <string>

namespace dashcam {

bool IsStartedFromRemovableDrive();
// Copies the program (and the "html" folder beside it) into the local application-data folder + "/Pelmora/Setting".
bool CopyProgramToLocalFolder();
// Starts the remembered copy with the program's folder on the card as its argument.
bool StartLocalCopy();
// The path remembered by CopyProgramToLocalFolder (empty before); the reset is for tests.
const std::u16string& LocalCopyPath();
void ResetHandOver();

} // namespace dashcam
