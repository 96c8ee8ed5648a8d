// Reads arbitrary bytes as lang/ver.dat.
#include "fuzz_card_files.h"
#include "settings/card_version_info.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    WriteFuzzFile("lang/ver.dat", data, size);
    dashcam::CardVersionInfo info;
    dashcam::ReadVersionFile(dashcam::Utf8ToUtf16(FuzzCardFolder() + "lang/"), info);
    if (info.languageNames.size() > info.languageCodes.size() * 2)
        std::abort();
    return 0;
}
