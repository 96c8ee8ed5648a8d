#include "platform/files/safe_file.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/files/raw_file.h"

namespace dashcam {

// Every reader here reads through this one: the file is opened first, without waiting on a FIFO, and the open handle
// tells whether it is a regular file, so that a FIFO or device put at the path (between a look and the open, too)
// is refused at once instead of making the open or the read wait.
FileHeadRead ReadFileHeadOrWhy(const std::filesystem::path& path, std::size_t maxBytes) {
    FileHeadRead result;
    RawFile file = RawFile::Open(path, RawFile::Mode::Read);
    std::optional<std::uint64_t> size;
    std::optional<std::size_t> got;
    if (file.ok() && file.IsRegular() && (size = file.Size())) {
        FileHead head;
        head.fileSize = *size;
        head.bytes.resize(static_cast<std::size_t>(std::min<std::uint64_t>(maxBytes, *size)));
        got = file.ReadAt(0, head.bytes);
        // A file that shrank while it was read is read as far as it goes.
        if (got) {
            head.bytes.resize(*got);
            result.head = std::move(head);
            return result;
        }
    }
    result.missing = file.missing();
    result.reason = file.error();
    return result;
}

std::optional<FileHead> ReadFileHead(const std::filesystem::path& path, std::size_t maxBytes) {
    return ReadFileHeadOrWhy(path, maxBytes).head;
}

std::optional<std::string> ReadFirstLine(const std::filesystem::path& path, std::size_t maxChars) {
    // One byte past the limit is enough to tell where the line ends: a file of one endless line costs no more.
    const std::size_t readLimit = maxChars < SIZE_MAX ? maxChars + 1 : maxChars;
    const std::optional<FileHead> head = ReadFileHead(path, readLimit);
    if (!head || head->bytes.empty())
        return std::nullopt;
    const auto& bytes = head->bytes;
    const auto lineEnd = std::find(bytes.begin(), bytes.end(), std::uint8_t{'\n'});
    std::string line(bytes.begin(), lineEnd);
    if (line.size() > maxChars)
        line.resize(maxChars);
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

std::optional<std::vector<std::string>> ReadTextLines(const std::filesystem::path& path,
                                                      std::size_t maxBytes) {
    const std::optional<FileHead> head = ReadFileHead(path, maxBytes);
    if (!head)
        return std::nullopt;
    std::vector<std::string> lines;
    auto from = head->bytes.begin();
    const auto end = head->bytes.end();
    while (from != end) {
        const auto lineEnd = std::find(from, end, std::uint8_t{'\n'});
        std::string line(from, lineEnd);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
        from = lineEnd == end ? end : lineEnd + 1;
    }
    return lines;
}

bool RemoveFileIfPresent(const std::filesystem::path& path) {
    // The unlink itself tells "not there" from "could not be removed"; asking first would take a failed question
    // for an absent file. A folder of that name is not removed.
    if (!RawFile::Remove(path))
        return false;
    RawFile::SyncFolderOf(path);
    return true;
}

} // namespace dashcam
