#pragma once
// The hand-over from the card to the PC: an editor started from the card copies itself to the local program folder
// and starts that copy with the card folder as its only argument.
#include <optional>
#include <string>

namespace dashcam {

bool IsStartedFromRemovableDrive();
// The local program-copy folder (local application-data folder + "/Pelmora/Setting", no trailing separator),
// created when missing; nullopt when it has no place or cannot be created.
std::optional<std::u16string> CreateProgramCopyFolder();
// Copies the program (and beside it the "html" folder, and the libraries and toolkit files a program built with
// shared libraries needs) into the local application-data folder + "/Pelmora/Setting".
bool CopyProgramToLocalFolder();
// Copies what a program built with shared libraries needs beside it (its libraries, qt.conf, plugins and
// translations) from the program's folder into `folder` (no trailing separator); best effort.
void CopyRuntimeFiles(const std::u16string& programFolder, const std::u16string& folder);
// Starts the remembered copy with the program's folder on the card as its argument.
bool StartLocalCopy();
// The path remembered by CopyProgramToLocalFolder (empty before); the reset is for tests.
const std::u16string& LocalCopyPath();
void ResetHandOver();

} // namespace dashcam
