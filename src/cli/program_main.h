#pragma once
// The body of dashcam-cfg's main(), shared by dashcam-cfg and dashcam-cfg-desktop: the words of the command line
// in UTF-8, the console, the prompt seam on standard error, and the exit status (a failed write on standard output
// is a failure).
namespace dashcam::cli {

int ProgramMain(int argc, char** argv);

} // namespace dashcam::cli
