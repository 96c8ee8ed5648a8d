#pragma once
// Why a Win32 call failed, in words.
#include <string>

namespace dashcam {

// The system's message for a Win32 error code (GetLastError), in UTF-8 like the rest of the program's text and
// without its closing full stop and line break, so that it reads inside a sentence of ours; "Windows error N" for a
// code the system has no message for.
std::string Win32ErrorText(unsigned long code);

} // namespace dashcam
