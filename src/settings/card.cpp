#include "settings/card.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <system_error>
#include <vector>

#include "platform/files/card_lock.h"
#include "platform/files/safe_file.h"
#include "platform/files/save_journal.h"
#include "platform/host_system.h"
#include "platform/leading_integer.h"
#include "platform/prompt.h"
#include "platform/text_codec.h"
#include "platform/trace.h"

namespace dashcam {
namespace fs = std::filesystem;

namespace {
std::string Printf(const char* format, auto... values) {
    int n = std::snprintf(nullptr, 0, format, values...);
    std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    std::snprintf(out.data(), out.size() + 1, format, values...);
    return out;
}

enum class Loaded { Yes, Missing, Unreadable };

std::string FileName(const std::u16string& path) { return Utf16ToUtf8(path.substr(FolderOf(path).size())); }

// A card file made ready to read or delete: its folder's lock held, and an interrupted save of it finished or
// dropped under that lock, so that what is there is one whole file.
struct LockedCardFile {
    CardLock lock;
    bool ready = false; // the lock is held and no save of the file is left half done
    std::string why;    // why not: the lock's reason, or the journal's
};
LockedCardFile LockAndRecover(const std::u16string& path) {
    LockedCardFile file{CardLock::Acquire(ToFsPath(FolderOf(path))), false, {}};
    if (!file.lock.held())
        file.why = file.lock.message();
    else
        file.ready = SaveJournal::Recover(ToFsPath(path), &file.why) != SaveJournal::Recovery::Failed;
    return file;
}

bool SameHead(const std::optional<FileHead>& a, const std::optional<FileHead>& b) {
    if (!a || !b)
        return !a && !b;
    return a->fileSize == b->fileSize && a->bytes == b->bytes;
}

// Loads a settings file into the record that `target` gives; `target` is asked only once the file has been read.
Loaded LoadSettingsInto(const std::u16string& path, const std::function<SettingsRecord&()>& target,
                        std::string* why = nullptr) {
    const LockedCardFile file = LockAndRecover(path);
    FileHeadRead read;
    if (file.ready)
        read = ReadFileHeadOrWhy(ToFsPath(path), SettingsRecord::kSize);
    if (!read.head) {
        Trace("Warning Trevanil Setting not found !\n");
        if (why)
            *why = file.why.empty() ? read.reason : file.why;
        return file.why.empty() && read.missing ? Loaded::Missing : Loaded::Unreadable;
    }
    SettingsRecord* record = &target();
    record->bytes.fill(0);
    std::copy(read.head->bytes.begin(), read.head->bytes.end(), record->bytes.begin());
    Trace("\n\nTrevanil Setting loading...\n");
    if (read.head->fileSize > SettingsRecord::kSize)
        Trace("Warning config version seems to be higher than 1.2 or invalid !\n");
    if (read.head->fileSize != record->recordLength())
        Trace("Warning file length differs  from the checksum !\n");
    return Loaded::Yes;
}

// Writes through the journal, holding the card folder's lock; the reason of a failure goes to `error`, what a
// save that succeeded still has to say to `note`. `refusal`, run under the lock, may refuse the write with its
// reason.
SaveJournal::Outcome WriteCardFile(const std::u16string& path, std::span<const std::uint8_t> bytes,
                                   SaveJournal::Tail tail, std::string& error, std::string& note,
                                   const std::function<void()>& onWriting = {},
                                   const std::function<std::string()>& refusal = {}) {
    const std::string name = FileName(path);
    CardLock lock = CardLock::Acquire(ToFsPath(FolderOf(path)));
    if (!lock.held()) {
        error = name + " could not be written: " + lock.message() + "; the card is unchanged";
        return SaveJournal::Outcome::Unchanged;
    }
    if (std::string why = refusal ? refusal() : std::string(); !why.empty()) {
        error = name + " " + why + "; the card is unchanged";
        return SaveJournal::Outcome::Unchanged;
    }
    if (onWriting)
        onWriting();
    const SaveJournal::Result result = SaveJournal::Write(ToFsPath(path), bytes, tail);
    switch (result.outcome) {
    case SaveJournal::Outcome::Saved:
        error.clear();
        if (!result.reason.empty())
            note += (note.empty() ? "" : "; ") + name + " was saved, but " + result.reason;
        break;
    case SaveJournal::Outcome::Unchanged:
        error = name + " could not be written (" + result.reason + "); the card is unchanged";
        break;
    case SaveJournal::Outcome::Pending:
        error = name + " was not completely written (" + result.reason +
                      "); the next opening of the card completes or discards this save";
        break;
    }
    return result.outcome;
}

std::string UnreadableSetupRefusal(const std::string& why) {
    return "setup.cfg could not be read when the card was opened (" + why +
           "), so it is not replaced; Initialize first to save the factory settings over it";
}

// Integer of a clock field: leading blanks, an optional sign, then digits up to the first other character.
int ClockFieldValue(std::string_view field) {
    return LeadingInteger(field, [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); });
}

constexpr std::size_t kMaxClockLine = 4 * 1024;

} // namespace

Card::Card(std::u16string root) : root_(std::move(root)) {}

SettingsRecord& Card::AllocateRecord() {
    record_ = std::make_unique<SettingsRecord>();
    return *record_;
}

std::optional<Card::SetupSnapshot> Card::TakeSetupSnapshot(const std::u16string& path) {
    FileHeadRead read = ReadFileHeadOrWhy(ToFsPath(path), SettingsRecord::kSize);
    if (!read.head && !read.missing)
        return std::nullopt;
    return SetupSnapshot{true, std::move(read.head)};
}

// The snapshot after `head` has been written over the start of a file that matched `before`.
Card::SetupSnapshot Card::AfterWriting(const SetupSnapshot& before, std::span<const std::uint8_t> head) {
    FileHead after = before.head.value_or(FileHead{});
    after.fileSize = std::max<std::uint64_t>(after.fileSize, head.size());
    after.bytes.resize(std::max(after.bytes.size(), head.size()));
    std::copy(head.begin(), head.end(), after.bytes.begin());
    return SetupSnapshot{true, std::move(after)};
}

// The card's default.cfg into the record; a missing or unreadable one is shown to the user.
bool Card::LoadDefaults(SettingsRecord& record) {
    const std::u16string path = FilePath(u"default.cfg");
    if (LoadSettingsInto(path, [&]() -> SettingsRecord& { return record; }) == Loaded::Yes)
        return true;
    prompt::Ask({prompt::Kind::MessageOk, {}, u"no default.cfg :" + path});
    return false;
}

bool Card::LoadSettingsFile(const std::u16string& path) {
    return LoadSettingsInto(path, [this]() -> SettingsRecord& { return record_ ? *record_ : AllocateRecord(); }) ==
           Loaded::Yes;
}

// Why the card's setup.cfg may not be replaced now: it changed since the card was opened, or cannot be checked.
std::string Card::ChangedSinceOpened(const std::u16string& path, bool cardSetup) {
    if (!cardSetup || !openedSetup_.taken)
        return {};
    std::string why;
    if (SaveJournal::Recover(ToFsPath(path), &why) == SaveJournal::Recovery::Failed)
        return "could not be checked (" + why + ")";
    // A setup.cfg that has gone since holds nothing to lose: the save makes it again.
    const auto now = TakeSetupSnapshot(path);
    if (!now)
        return "could not be checked";
    if (now->head && !SameHead(now->head, openedSetup_.head))
        return "was changed by another program since the card was opened, so it is not replaced; open the "
               "card again to edit what it holds now";
    return {};
}

bool Card::SaveSettingsFile(const std::u16string& path) {
    SettingsRecord* record = record_.get();
    if (!record)
        return false;
    Trace(Printf("%d\n", static_cast<std::int32_t>(record->recordLength())));
    record->DeriveCombinedFlag();
    const std::size_t n = record->SaveLength();
    const std::span<const std::uint8_t> head(record->bytes.data(), n);
    const bool cardSetup = !root_.empty() && path == FilePath(u"setup.cfg");
    bool written = false;
    note_.clear();
    if (cardSetup && !setupRefusal_.empty()) {
        error_ = setupRefusal_;
    } else {
        const SaveJournal::Outcome outcome = WriteCardFile(
            path, head, SaveJournal::Tail::Keep, error_, note_, [] { Trace("\n\nTrevanil Setting saving...\n"); },
            [&] { return ChangedSinceOpened(path, cardSetup); });
        written = outcome == SaveJournal::Outcome::Saved;
        // A save that completes at the next opening counts as ours too.
        if (cardSetup && openedSetup_.taken && outcome != SaveJournal::Outcome::Unchanged)
            openedSetup_ = AfterWriting(openedSetup_, head);
    }
    if (!written) {
        Trace("\n\nTrevanil Setting fail to save\n");
        return false;
    }
    std::u16string line = u"Write Product:[" + AnsiForDisplay(record->productName()) + u"]  ";
    line += Widen(Printf("Config Ver.:[%d.%d], CheckSum:[%d], Written Size [%d] \n",
                         static_cast<int>(record->configVersion() >> 16),
                         static_cast<int>(record->configVersion() & 0xFFFF),
                         static_cast<std::int32_t>(record->recordLength()), static_cast<int>(n)));
    Trace(line);
    Trace(Printf("motion set: %d / motion sensitivity: %d\n", static_cast<std::int32_t>(record->motionSet()),
                 static_cast<std::int32_t>(record->motionSensitivity())));
    Trace(std::string(77, '-') + "\n");
    return true;
}

bool Card::RestoreDefaultSettings(SettingsRecord& record) {
    std::array<std::uint8_t, SettingsRecord::kRetainedBlockSize> block;
    std::copy(record.retainedBlock().begin(), record.retainedBlock().end(), block.begin());
    const std::uint32_t value = record.retainedValue();
    const bool loaded = LoadDefaults(record);
    record.setRetainedBlock(block);
    record.setRetainedValue(value);
    // The user asked for the factory settings: they may now replace a setup.cfg that could not be read.
    if (loaded)
        setupRefusal_.clear();
    return loaded;
}

CardSettingsLoad Card::LoadCardSettings() {
    SettingsRecord& record = record_ ? *record_ : AllocateRecord();
    CardSettingsLoad result;
    // Opening the card completes (or drops) an interrupted write of the clock request too; time.dat itself is read
    // by ReadClockFile. The card folder's lock taken for it is held for the whole load.
    const LockedCardFile clockFile = LockAndRecover(FilePath(u"time.dat"));
    if (!clockFile.lock.held()) {
        result.problem = clockFile.why;
        setupRefusal_ = UnreadableSetupRefusal(result.problem);
        return result;
    }
    const std::u16string setup = FilePath(u"setup.cfg");
    openedSetup_ = SetupSnapshot{};
    setupRefusal_.clear();
    switch (LoadSettingsInto(setup, [&]() -> SettingsRecord& { return record; }, &result.problem)) {
    case Loaded::Yes:
        result.source = CardSettingsLoad::Source::Setup;
        openedSetup_ = TakeSetupSnapshot(setup).value_or(SetupSnapshot{});
        return result;
    case Loaded::Unreadable:
        setupRefusal_ = UnreadableSetupRefusal(result.problem);
        break;
    case Loaded::Missing:
        result.problem.clear();
        openedSetup_ = TakeSetupSnapshot(setup).value_or(SetupSnapshot{});
        break;
    }
    // No setup.cfg: the factory settings as they are, their retained fields included.
    if (LoadDefaults(record))
        result.source = CardSettingsLoad::Source::Defaults;
    else if (result.problem.empty())
        setupRefusal_ = "setup.cfg is not saved: the card has neither setup.cfg nor default.cfg, so there are no "
                        "settings of the card to save";
    return result;
}

bool Card::ReadClockFile(const std::u16string& path) {
    std::optional<std::string> line;
    if (const LockedCardFile file = LockAndRecover(path); file.ready)
        line = ReadFirstLine(ToFsPath(path), kMaxClockLine);
    if (!line) {
        clock_.timeSyncRequested = 0;
        return false;
    }
    std::string_view text(*line);
    if (auto nul = text.find('\0'); nul != std::string_view::npos)
        text = text.substr(0, nul);
    int values[6] = {};
    for (int field = 0; field < 6 && !text.empty(); ++field) {
        std::size_t comma = text.find(',');
        values[field] = ClockFieldValue(text.substr(0, comma));
        if (comma == std::string_view::npos)
            break;
        text.remove_prefix(comma + 1);
    }
    SystemTime& t = clock_.timeSyncTime;
    t.year = static_cast<std::uint16_t>(values[0]);
    t.month = static_cast<std::uint16_t>(values[1]);
    t.day = static_cast<std::uint16_t>(values[2]);
    t.hour = static_cast<std::uint16_t>(values[3]);
    t.minute = static_cast<std::uint16_t>(values[4]);
    t.second = static_cast<std::uint16_t>(values[5]);
    clock_.timeSyncRequested = 1;
    return true;
}

bool Card::WriteClockFile(const std::u16string& path) {
    if (clock_.timeSyncRequested == 0) {
        // A request that stays on the card would make the camera set its clock again: a file that cannot be
        // removed is a failure.
        // An interrupted write is finished first, or it would bring the file back at the next opening.
        const LockedCardFile file = LockAndRecover(path);
        if (!file.ready) {
            error_ = "time.dat could not be deleted: " + file.why;
            return false;
        }
        return RemoveFileIfPresent(ToFsPath(path));
    }
    std::string line = FormatClockLine(clock_.timeSyncTime, Host().StandardBiasMinutes());
    return WriteCardFile(path,
                         std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(line.data()), line.size()),
                         SaveJournal::Tail::Truncate, error_, note_) == SaveJournal::Outcome::Saved;
}

} // namespace dashcam
