#pragma once
// Bounded reads of the card's files (the writes go through SaveJournal).
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace dashcam {

struct FileHead {
    std::vector<std::uint8_t> bytes; // at most the bytes asked for
    std::uint64_t fileSize = 0;      // the whole file's size
};

// The first `maxBytes` bytes of a regular file and its size; nullopt when it cannot be opened or read.
std::optional<FileHead> ReadFileHead(const std::filesystem::path& path, std::size_t maxBytes);

// The same, telling a file that is not there from one that cannot be read, and why.
struct FileHeadRead {
    std::optional<FileHead> head;
    bool missing = false; // the file (or its folder) does not exist
    std::string reason;   // why it could not be read
};
FileHeadRead ReadFileHeadOrWhy(const std::filesystem::path& path, std::size_t maxBytes);

// The first line of a text file without its line end (a CR before the LF is dropped), at most `maxChars`
// characters of it; nullopt when the file cannot be read (not there, a folder, a FIFO, a device) or holds no line at
// all.
std::optional<std::string> ReadFirstLine(const std::filesystem::path& path, std::size_t maxChars);

// Every line of a text file (line ends dropped, a CR before each LF too), reading at most `maxBytes` bytes;
// nullopt when the file cannot be read (not there, a folder, a FIFO, a device).
std::optional<std::vector<std::string>> ReadTextLines(const std::filesystem::path& path,
                                                      std::size_t maxBytes);

// Deletes a file; a missing file is no error. False when something of that name is still there afterwards.
bool RemoveFileIfPresent(const std::filesystem::path& path);

} // namespace dashcam
