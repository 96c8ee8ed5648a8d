// Reads arbitrary bytes as time.dat.
#include "fuzz_card_files.h"
#include "settings/card.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    dashcam::Card card;
    card.ReadClockFile(WriteFuzzFile("time.dat", data, size));
    return 0;
}
