#pragma once
// File access for the card: bounded reads, and writes that either replace a file completely or leave it as it was.
#include <cstdint>
#include <functional>
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
std::optional<FileHead> ReadFileHead(const std::u16string& path, std::size_t maxBytes);

// The first line of a text file without its line end (a CR before the LF is dropped), at most `maxChars`
// characters of it; nullopt when the file cannot be opened or holds no line at all.
std::optional<std::string> ReadFirstLine(const std::u16string& path, std::size_t maxChars);

// Every line of a text file (line ends dropped, a CR before each LF too), reading at most `maxBytes` bytes;
// nullopt when the file cannot be opened.
std::optional<std::vector<std::string>> ReadTextLines(const std::u16string& path, std::size_t maxBytes);

// Replaces the start of a file: the new content is `head`, followed by the old file's bytes beyond head's length.
// The content is written to a temporary file beside it, flushed to the medium and then renamed over the file, so
// a failure at any point leaves the old file untouched (and no temporary file behind). `onOpened` runs once the
// new file could be created. True when the file now holds the new content.
bool ReplaceFileHead(const std::u16string& path, std::span<const std::uint8_t> head,
                     const std::function<void()>& onOpened = {});

// Replaces a file's whole content in the same safe way.
bool ReplaceFile(const std::u16string& path, std::span<const std::uint8_t> content);

// Deletes a file; a missing file is no error. False when something of that name is still there afterwards.
bool RemoveFileIfPresent(const std::u16string& path);

} // namespace dashcam
