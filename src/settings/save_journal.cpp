#include "settings/save_journal.h"

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

#include "platform/host_system.h"
#include "settings/raw_file.h"

namespace dashcam {
namespace {

// Journal image: "DCJ1", flags (bit 0: the file ends after the content), content length, the content, then a
// CRC-32 of everything before it. All numbers are 32-bit little-endian.
constexpr std::array<std::uint8_t, 4> kMagic = {'D', 'C', 'J', '1'};
constexpr std::size_t kHeaderSize = 12;
constexpr std::size_t kTrailerSize = 4;
constexpr std::uint32_t kTruncateFlag = 1;

std::uint32_t Crc32(std::span<const std::uint8_t> bytes) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::uint8_t b : bytes) {
        crc ^= b;
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

std::uint32_t GetU32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

} // namespace

std::vector<std::uint8_t> SaveJournal::Image(std::span<const std::uint8_t> head, Tail tail) {
    std::vector<std::uint8_t> image(kMagic.begin(), kMagic.end());
    PutU32(image, tail == SaveJournal::Tail::Truncate ? kTruncateFlag : 0);
    PutU32(image, static_cast<std::uint32_t>(head.size()));
    image.insert(image.end(), head.begin(), head.end());
    PutU32(image, Crc32(image));
    return image;
}

namespace {

struct JournalContent {
    std::vector<std::uint8_t> bytes;
    bool truncate = false;
};

// The content of a journal image, or nothing when the image is incomplete or not a journal at all.
std::optional<JournalContent> ParseJournal(const std::vector<std::uint8_t>& image) {
    if (image.size() < kHeaderSize + kTrailerSize || !std::equal(kMagic.begin(), kMagic.end(), image.begin()))
        return std::nullopt;
    const std::uint32_t flags = GetU32(image.data() + 4);
    const std::uint32_t length = GetU32(image.data() + 8);
    if (flags > kTruncateFlag || length != image.size() - kHeaderSize - kTrailerSize)
        return std::nullopt;
    const std::size_t crcAt = kHeaderSize + length;
    if (GetU32(image.data() + crcAt) != Crc32(std::span(image.data(), crcAt)))
        return std::nullopt;
    return JournalContent{std::vector<std::uint8_t>(image.begin() + kHeaderSize, image.begin() + crcAt),
                          (flags & kTruncateFlag) != 0};
}

// Opens the file for writing in place, creating it when missing; `created` tells which.
RawFile OpenForUpdate(const std::u16string& file, bool& created) {
    created = false;
    RawFile f = RawFile::Open(file, RawFile::Mode::ReadWrite);
    if (!f.ok() && f.missing()) {
        f = RawFile::Open(file, RawFile::Mode::CreateNew);
        created = f.ok();
    }
    return f;
}

bool WriteInPlace(RawFile& f, std::span<const std::uint8_t> head, bool truncate) {
    return f.WriteAt(0, head) && (!truncate || f.Truncate(head.size())) && f.Sync();
}

bool RemoveJournal(const std::u16string& journal, const std::u16string& file, std::string* why) {
    const bool removed = RawFile::Remove(journal, why);
    RawFile::SyncFolder(FolderOf(file));
    return removed;
}

} // namespace

std::u16string SaveJournal::PathFor(const std::u16string& file) { return file + u"-journal"; }

SaveJournal::Recovery SaveJournal::Recover(const std::u16string& file, std::string* why) {
    std::string ignored;
    std::string& reason = why ? *why : ignored;
    const std::u16string journalPath = PathFor(file);
    RawFile journal = RawFile::Open(journalPath, RawFile::Mode::Read);
    if (!journal.ok()) {
        if (journal.missing())
            return Recovery::None;
        reason = "an interrupted save left a journal that cannot be read (" + journal.error() + ")";
        return Recovery::Failed;
    }
    if (!journal.IsRegular()) {
        reason = "the journal of an interrupted save is not a file (" + journal.error() + ")";
        return Recovery::Failed;
    }
    const auto size = journal.Size();
    if (!size) {
        reason = "an interrupted save left a journal that cannot be read (" + journal.error() + ")";
        return Recovery::Failed;
    }
    std::optional<JournalContent> content;
    if (*size <= kHeaderSize + kMaxContent + kTrailerSize) {
        std::vector<std::uint8_t> image(static_cast<std::size_t>(*size));
        const auto got = journal.ReadAt(0, image);
        if (!got) {
            reason = "an interrupted save left a journal that cannot be read (" + journal.error() + ")";
            return Recovery::Failed;
        }
        image.resize(*got);
        content = ParseJournal(image);
    }
    journal.Close();
    if (content) {
        bool created = false;
        RawFile target = OpenForUpdate(file, created);
        if (!target.ok() || !target.IsRegular() || !WriteInPlace(target, content->bytes, content->truncate)) {
            reason = "an interrupted save cannot be completed (" + target.error() + ")";
            return Recovery::Failed;
        }
        target.Close();
    }
    std::string removeWhy;
    if (!RemoveJournal(journalPath, file, &removeWhy)) {
        reason = "the journal of an interrupted save cannot be removed (" + removeWhy + ")";
        return Recovery::Failed;
    }
    return content ? Recovery::Completed : Recovery::Discarded;
}

SaveJournal::Result SaveJournal::Write(const std::u16string& file, std::span<const std::uint8_t> head, Tail tail) {
    std::string why;
    if (Recover(file, &why) == Recovery::Failed)
        return {Outcome::Unchanged, why};

    bool created = false;
    RawFile target = OpenForUpdate(file, created);
    if (!target.ok() || !target.IsRegular())
        return {Outcome::Unchanged, target.error()};
    // A file this save created goes again when the save does not happen.
    auto unchanged = [&](std::string reason) {
        target.Close();
        if (created) {
            RawFile::Remove(file);
            RawFile::SyncFolder(FolderOf(file));
        }
        return Result{Outcome::Unchanged, std::move(reason)};
    };
    if (head.empty() && tail == Tail::Keep) {
        if (created && !target.Sync())
            return unchanged(target.error());
        RawFile::SyncFolder(FolderOf(file));
        return {Outcome::Saved, {}};
    }

    // 1. The journal, flushed to the medium: from here on the save is committed.
    const std::u16string journalPath = PathFor(file);
    {
        const std::vector<std::uint8_t> image = Image(head, tail);
        RawFile journal = RawFile::Open(journalPath, RawFile::Mode::Replace);
        if (!journal.ok() || !journal.WriteAt(0, image) || !journal.Sync()) {
            std::string reason = "its journal cannot be written: " + journal.error();
            journal.Close();
            if (!RemoveJournal(journalPath, file, nullptr))
                return {Outcome::Pending, reason};
            return unchanged(reason);
        }
        journal.Close();
        RawFile::SyncFolder(FolderOf(file));
    }

    // 2. The new bytes in place; a failure here is finished from the journal, now or at the next open.
    if (!WriteInPlace(target, head, tail == Tail::Truncate)) {
        std::string reason = target.error();
        target.Close();
        if (Recover(file, &why) == Recovery::Completed)
            return {Outcome::Saved, {}};
        return {Outcome::Pending, reason};
    }
    target.Close();

    // 3. The journal goes. Should that fail, it only repeats what the file already holds.
    RemoveJournal(journalPath, file, nullptr);
    return {Outcome::Saved, {}};
}

} // namespace dashcam
