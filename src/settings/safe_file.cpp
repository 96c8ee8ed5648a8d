#include "settings/safe_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

#include "platform/host_system.h"
#include "platform/text_codec.h"
#include "settings/raw_file.h"

namespace dashcam {
namespace fs = std::filesystem;

namespace {

bool IsRegularFile(const fs::path& p) {
    std::error_code ec;
    return fs::is_regular_file(p, ec);
}

// Opens a file for binary reading; false for folders, devices and whatever cannot be opened.
bool OpenRegularFile(const fs::path& p, std::ifstream& in) {
    if (!IsRegularFile(p))
        return false;
    in.open(p, std::ios::binary);
    return static_cast<bool>(in);
}

} // namespace

FileHeadRead ReadFileHeadOrWhy(const std::u16string& path, std::size_t maxBytes) {
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

std::optional<FileHead> ReadFileHead(const std::u16string& path, std::size_t maxBytes) {
    return ReadFileHeadOrWhy(path, maxBytes).head;
}

std::optional<std::string> ReadFirstLine(const std::u16string& path, std::size_t maxChars) {
    const fs::path p = ToFsPath(path);
    std::ifstream in;
    if (!OpenRegularFile(p, in))
        return std::nullopt;
    std::string line;
    bool any = false;
    char c;
    // Reading stops at the limit: a file of one endless line costs no more than the limit.
    while (line.size() <= maxChars && in.get(c)) {
        any = true;
        if (c == '\n')
            break;
        line.push_back(c);
    }
    if (line.size() > maxChars)
        line.resize(maxChars);
    if (in.bad() || !any)
        return std::nullopt;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

std::optional<std::vector<std::string>> ReadTextLines(const std::u16string& path, std::size_t maxBytes) {
    const fs::path p = ToFsPath(path);
    std::ifstream in;
    if (!OpenRegularFile(p, in))
        return std::nullopt;
    std::vector<std::string> lines;
    std::string line;
    std::size_t total = 0;
    char c;
    bool pending = false;
    while (total < maxBytes && in.get(c)) {
        ++total;
        if (c == '\n') {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            lines.push_back(std::move(line));
            line.clear();
            pending = false;
        } else {
            line.push_back(c);
            pending = true;
        }
    }
    if (in.bad())
        return std::nullopt;
    if (pending) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
    }
    return lines;
}

bool RemoveFileIfPresent(const std::u16string& path) {
    // The unlink itself tells "not there" from "could not be removed"; asking first would take a failed question
    // for an absent file. A folder of that name is not removed.
    if (!RawFile::Remove(path))
        return false;
    RawFile::SyncFolder(FolderOf(path));
    return true;
}

} // namespace dashcam
