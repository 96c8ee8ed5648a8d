// Loads arbitrary bytes as setup.cfg, saves the record back and checks the file's tail survived.
#include <cstring>
#include <vector>

#include "fuzz_card_files.h"
#include "settings/card.h"
#include "settings/settings_record.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::u16string path = WriteFuzzFile("setup.cfg", data, size);
    dashcam::Card card;
    card.AllocateRecord();
    if (!card.LoadSettingsFile(path))
        std::abort();
    if (!card.SaveSettingsFile(path))
        std::abort();
    std::FILE* f = std::fopen(dashcam::Utf16ToUtf8(path).c_str(), "rb");
    std::vector<uint8_t> saved(size + 600);
    size_t n = std::fread(saved.data(), 1, saved.size(), f);
    std::fclose(f);
    const size_t written = card.record()->SaveLength();
    if (n != std::max(size, written))
        std::abort();
    if (size > written && std::memcmp(saved.data() + written, data + written, size - written) != 0)
        std::abort();
    return 0;
}
