#include "platform/files/save_journal.h"

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

#include "platform/files/raw_file.h"
#include "platform/text_codec.h"

namespace dashcam {
namespace {

// Journal image: "DCJ2", flags (bit 0: the file ends after the content), the file's size before the save (64-bit),
// the length of the old bytes kept, the content length, the old bytes, the content, then a CRC-32 of everything
// before it. The other numbers are 32-bit; all are little-endian.
constexpr std::array<std::uint8_t, 4> kMagic = {'D', 'C', 'J', '2'};
// The earlier image, without what the file held before: "DCJ1", flags, content length, content, CRC-32.
constexpr std::array<std::uint8_t, 4> kEarlierMagic = {'D', 'C', 'J', '1'};
constexpr std::size_t kHeaderSize = 24;
constexpr std::size_t kTrailerSize = 4;
constexpr std::uint32_t kTruncateFlag = 1;
// A cut write leaves each sector of the medium old, new, or (where the medium stopped inside it) new on one side of
// a point and old on the other.
constexpr std::size_t kSector = 512;

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

// How many of the old bytes a journal keeps: those the save overwrites, and for a save that cuts the file short
// also those it cuts off (as far as a journal carries content).
std::size_t KeptOldBytes(std::uint64_t oldSize, std::size_t contentSize, SaveJournal::Tail tail) {
    const std::size_t reach = tail == SaveJournal::Tail::Truncate ? SaveJournal::kMaxContent : contentSize;
    return static_cast<std::size_t>(std::min<std::uint64_t>(oldSize, reach));
}

} // namespace

std::vector<std::uint8_t> SaveJournal::Image(const Before& before, std::span<const std::uint8_t> head, Tail tail) {
    const std::size_t kept = std::min(before.head.size(), KeptOldBytes(before.size, head.size(), tail));
    std::vector<std::uint8_t> image(kMagic.begin(), kMagic.end());
    PutU32(image, tail == SaveJournal::Tail::Truncate ? kTruncateFlag : 0);
    PutU32(image, static_cast<std::uint32_t>(before.size));
    PutU32(image, static_cast<std::uint32_t>(before.size >> 32));
    PutU32(image, static_cast<std::uint32_t>(kept));
    PutU32(image, static_cast<std::uint32_t>(head.size()));
    image.insert(image.end(), before.head.begin(), before.head.begin() + static_cast<std::ptrdiff_t>(kept));
    image.insert(image.end(), head.begin(), head.end());
    PutU32(image, Crc32(image));
    return image;
}

namespace {

struct JournalContent {
    SaveJournal::Before before;
    std::vector<std::uint8_t> bytes;
    bool truncate = false;
};

struct ParsedJournal {
    std::optional<JournalContent> content; // nothing: incomplete, damaged or not a journal at all
    bool earlier = false;                  // a complete journal of the earlier format
};

bool ChecksumHolds(const std::vector<std::uint8_t>& image, std::size_t crcAt) {
    return crcAt + kTrailerSize == image.size() && GetU32(image.data() + crcAt) == Crc32(std::span(image.data(), crcAt));
}

ParsedJournal ParseJournal(const std::vector<std::uint8_t>& image) {
    ParsedJournal parsed;
    if (image.size() >= 12 + kTrailerSize && std::equal(kEarlierMagic.begin(), kEarlierMagic.end(), image.begin())) {
        const std::uint32_t flags = GetU32(image.data() + 4);
        parsed.earlier = flags <= kTruncateFlag && ChecksumHolds(image, 12 + std::size_t{GetU32(image.data() + 8)});
        return parsed;
    }
    if (image.size() < kHeaderSize + kTrailerSize || !std::equal(kMagic.begin(), kMagic.end(), image.begin()))
        return parsed;
    const std::uint32_t flags = GetU32(image.data() + 4);
    const std::uint64_t oldSize = GetU32(image.data() + 8) | std::uint64_t{GetU32(image.data() + 12)} << 32;
    const std::size_t kept = GetU32(image.data() + 16);
    const std::size_t length = GetU32(image.data() + 20);
    if (flags > kTruncateFlag || kept > SaveJournal::kMaxContent || length > SaveJournal::kMaxContent ||
        kept > oldSize || !ChecksumHolds(image, kHeaderSize + kept + length))
        return parsed;
    const auto oldAt = image.begin() + kHeaderSize;
    const auto newAt = oldAt + static_cast<std::ptrdiff_t>(kept);
    parsed.content = JournalContent{{oldSize, std::vector<std::uint8_t>(oldAt, newAt)},
                                    std::vector<std::uint8_t>(newAt, newAt + static_cast<std::ptrdiff_t>(length)),
                                    (flags & kTruncateFlag) != 0};
    return parsed;
}

// The size a file may have after the save was cut anywhere: an in-place write keeps the size of a file that was at
// least as long; a file that grows, or is cut short, may stop anywhere between the old and the new size.
bool SizeFits(const JournalContent& j, std::uint64_t size) {
    const std::uint64_t before = j.before.size, after = j.bytes.size();
    if (!j.truncate && before >= after)
        return size == before;
    return size >= std::min(before, after) && size <= std::max(before, after);
}

// How far the journal can tell old from new bytes.
std::size_t CheckedBytes(const JournalContent& j) { return std::max(j.bytes.size(), j.before.head.size()); }

// True when `now` (the file's first CheckedBytes) is what the save was written over, what it wrote, or what a cut of
// that write leaves: in each sector, the old and the new bytes with at most one change from one to the other. Beyond
// the old end of the file the old bytes are zeros, as a file system fills an extension. Another program's write
// (the camera's) leaves bytes that are neither, or a mix with more than one change, and is not written over.
bool HoldsWhatItWasWrittenFor(const JournalContent& j, std::span<const std::uint8_t> now) {
    for (std::size_t sector = 0; sector < now.size(); sector += kSector) {
        int side = 0, changes = 0; // side: 0 not yet known, 1 old, 2 new
        for (std::size_t i = sector; i < std::min(now.size(), sector + kSector); ++i) {
            if (i >= j.before.head.size() && i < j.before.size)
                continue; // an old byte the journal did not keep cannot be told apart
            const std::uint8_t old = i < j.before.head.size() ? j.before.head[i] : 0;
            const bool isOld = now[i] == old;
            const bool isNew = i < j.bytes.size() && now[i] == j.bytes[i];
            if (!isOld && !isNew)
                return false;
            if (isOld == isNew)
                continue;
            const int here = isOld ? 1 : 2;
            if (side != 0 && side != here && ++changes > 1)
                return false;
            side = here;
        }
    }
    return true;
}

bool WriteInPlace(RawFile& f, std::span<const std::uint8_t> head, bool truncate) {
    return f.WriteAt(0, head) && (!truncate || f.Truncate(head.size())) && f.Sync();
}

bool RemoveJournal(const std::filesystem::path& journal, const std::filesystem::path& file,
                   std::string* why) {
    const bool removed = RawFile::Remove(journal, why);
    RawFile::SyncFolderOf(file);
    return removed;
}

enum class Applied { Completed, Outdated, Failed };

// Writes a complete journal's content into the file when the file holds what the journal was written for.
Applied Apply(const std::filesystem::path& file, const JournalContent& j, std::string& reason) {
    RawFile target = RawFile::Open(file, RawFile::Mode::ReadWrite);
    // A file that is gone stays gone (the camera consumes time.dat); a link is no file this save wrote into.
    if (!target.ok() && (target.missing() || target.link()))
        return Applied::Outdated;
    if (!target.ok()) {
        reason = "an interrupted save cannot be checked (" + target.error() + ")";
        return Applied::Failed;
    }
    if (!target.IsRegular())
        return Applied::Outdated;
    const auto size = target.Size();
    std::vector<std::uint8_t> now;
    std::optional<std::size_t> got;
    if (size) {
        now.resize(static_cast<std::size_t>(std::min<std::uint64_t>(*size, CheckedBytes(j))));
        got = target.ReadAt(0, now);
    }
    if (!got) {
        reason = "an interrupted save cannot be checked (" + target.error() + ")";
        return Applied::Failed;
    }
    now.resize(*got);
    if (!SizeFits(j, *size) || !HoldsWhatItWasWrittenFor(j, now))
        return Applied::Outdated;
    if (!WriteInPlace(target, j.bytes, j.truncate)) {
        reason = "an interrupted save cannot be completed (" + target.error() + ")";
        return Applied::Failed;
    }
    return Applied::Completed;
}

const char* const kLinkRefused = "it is a symbolic link, and nothing on a card is written through a link";

} // namespace

std::filesystem::path SaveJournal::PathFor(const std::filesystem::path& file) {
    std::filesystem::path journal = file;
    journal += "-journal";
    return journal;
}

SaveJournal::Recovery SaveJournal::Recover(const std::filesystem::path& file, std::string* why) {
    std::string ignored;
    std::string& reason = why ? *why : ignored;
    const std::filesystem::path journalPath = PathFor(file);
    RawFile journal = RawFile::Open(journalPath, RawFile::Mode::ReadHere);
    Recovery result = Recovery::Discarded;
    if (!journal.ok() && journal.missing())
        return Recovery::None;
    if (journal.link()) {
        result = Recovery::Outdated; // no journal of ours: the link itself goes, whatever it points to stays
    } else if (!journal.ok()) {
        reason = "an interrupted save left a journal that cannot be read (" + journal.error() + ")";
        return Recovery::Failed;
    } else if (!journal.IsRegular()) {
        reason = "the journal of an interrupted save is not a file (" + journal.error() + ")";
        return Recovery::Failed;
    } else {
        const auto size = journal.Size();
        if (!size) {
            reason = "an interrupted save left a journal that cannot be read (" + journal.error() + ")";
            return Recovery::Failed;
        }
        ParsedJournal parsed;
        if (*size <= kHeaderSize + 2 * kMaxContent + kTrailerSize) {
            std::vector<std::uint8_t> image(static_cast<std::size_t>(*size));
            const auto got = journal.ReadAt(0, image);
            if (!got) {
                reason = "an interrupted save left a journal that cannot be read (" + journal.error() + ")";
                return Recovery::Failed;
            }
            image.resize(*got);
            parsed = ParseJournal(image);
        }
        journal.Close();
        // The earlier format does not say what the file held before: whether the camera wrote the file since
        // cannot be told, so the file is kept as it is.
        if (parsed.earlier)
            result = Recovery::Outdated;
        if (parsed.content) {
            switch (Apply(file, *parsed.content, reason)) {
            case Applied::Completed:
                result = Recovery::Completed;
                break;
            case Applied::Outdated:
                result = Recovery::Outdated;
                break;
            case Applied::Failed:
                return Recovery::Failed;
            }
        }
    }
    journal.Close();
    std::string removeWhy;
    if (!RemoveJournal(journalPath, file, &removeWhy)) {
        reason = "the journal of an interrupted save cannot be removed (" + removeWhy + ")";
        return Recovery::Failed;
    }
    return result;
}

SaveJournal::Result SaveJournal::Write(const std::filesystem::path& file, std::span<const std::uint8_t> head,
                                       Tail tail) {
    if (head.size() > kMaxContent)
        return {Outcome::Unchanged, "the content is larger than a save carries"};
    std::string why;
    if (Recover(file, &why) == Recovery::Failed)
        return {Outcome::Unchanged, why};

    // The file is opened in place, never through a link; a missing one is created.
    bool created = false;
    RawFile target = RawFile::Open(file, RawFile::Mode::ReadWrite);
    if (!target.ok() && target.missing()) {
        target = RawFile::Open(file, RawFile::Mode::CreateNew);
        created = target.ok();
    }
    if (!target.ok() && target.link())
        return {Outcome::Unchanged, kLinkRefused};
    if (!target.ok() || !target.IsRegular())
        return {Outcome::Unchanged, target.error()};
    // A file this save created goes again when the save does not happen.
    auto unchanged = [&](std::string reason) {
        target.Close();
        if (created) {
            RawFile::Remove(file);
            RawFile::SyncFolderOf(file);
        }
        return Result{Outcome::Unchanged, std::move(reason)};
    };
    if (head.empty() && tail == Tail::Keep) {
        if (created && !target.Sync())
            return unchanged(target.error());
        RawFile::SyncFolderOf(file);
        return {Outcome::Saved, {}};
    }

    // What the file holds now goes into the journal, so that the journal is never finished over anything else.
    Before before;
    {
        const auto size = target.Size();
        std::optional<std::size_t> got;
        if (size) {
            before.size = *size;
            before.head.resize(KeptOldBytes(*size, head.size(), tail));
            got = target.ReadAt(0, before.head);
        }
        if (!got)
            return unchanged(target.error());
        before.head.resize(*got);
    }

    // 1. The journal, flushed to the medium: from here on the save is committed. Recover removed any earlier one;
    // whatever stands at its name now (a link, too) is not written over.
    const std::filesystem::path journalPath = PathFor(file);
    {
        const std::vector<std::uint8_t> image = Image(before, head, tail);
        RawFile journal = RawFile::Open(journalPath, RawFile::Mode::CreateNew);
        if (!journal.ok())
            return unchanged("its journal cannot be made: " + journal.error());
        if (!journal.WriteAt(0, image) || !journal.Sync()) {
            std::string reason = "its journal cannot be written: " + journal.error();
            journal.Close();
            if (!RemoveJournal(journalPath, file, nullptr))
                return {Outcome::Pending, reason};
            return unchanged(reason);
        }
        journal.Close();
        RawFile::SyncFolderOf(file);
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

    // 3. The journal goes. Should that fail, it stays harmless: it is finished only onto this content (which it
    // repeats) or the old one, never onto what the camera writes later. The user still hears of it.
    std::string removeWhy;
    if (!RemoveJournal(journalPath, file, &removeWhy))
        return {Outcome::Saved, "its journal " + Utf16ToUtf8(FromFsPath(journalPath.filename())) +
                                    " could not be removed (" + removeWhy +
                                    "); the next opening of the card removes it"};
    return {Outcome::Saved, {}};
}

} // namespace dashcam
