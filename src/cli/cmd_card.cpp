#include <cstdio>

#include "cli/cli_commands.h"

namespace dashcam::cli {
namespace {
int Pending(const Args&) {
    std::fputs("dashcam-cfg: not built yet\n", stderr);
    return 1;
}
} // namespace
int RunShow(const Args& a) { return Pending(a); }
int RunGet(const Args& a) { return Pending(a); }
int RunSet(const Args& a) { return Pending(a); }
int RunRestoreDefaults(const Args& a) { return Pending(a); }
int RunClock(const Args& a) { return Pending(a); }
int RunDiff(const Args& a) { return Pending(a); }
int RunLanguages(const Args& a) { return Pending(a); }
} // namespace dashcam::cli
