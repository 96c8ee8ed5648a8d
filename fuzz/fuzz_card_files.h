#pragma once
// Writes fuzz input into a file of a scratch card folder, so the card readers see it as they would on a card.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/text_codec.h"

inline const std::string& FuzzCardFolder() {
    static std::string folder = [] {
        char pattern[] = "/tmp/dashcam-fuzz-XXXXXX";
        const char* made = mkdtemp(pattern);
        if (!made)
            std::abort();
        std::string f = std::string(made) + "/";
        std::string lang = f + "lang";
        mkdir(lang.c_str(), 0700);
        return f;
    }();
    return folder;
}

inline std::u16string WriteFuzzFile(const std::string& name, const uint8_t* data, size_t size) {
    std::string path = FuzzCardFolder() + name;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        std::abort();
    if (size)
        std::fwrite(data, 1, size, f);
    std::fclose(f);
    return dashcam::Utf8ToUtf16(path);
}
