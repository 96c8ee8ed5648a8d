#include "settings/card_files.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <system_error>
#include <vector>

#include "platform/host_system.h"
#include "platform/leading_integer.h"
#include "platform/prompt.h"
#include "platform/text_codec.h"
#include "platform/trace.h"
#include "settings/card_lock.h"
#include "settings/safe_file.h"
#include "settings/save_journal.h"

namespace dashcam {
namespace fs = std::filesystem;

namespace {
std::u16string& RootSlot() {
    static std::u16string root;
    return root;
}

std::string Printf(const char* format, auto... values) {
    int n = std::snprintf(nullptr, 0, format, values...);
    std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    std::snprintf(out.data(), out.size() + 1, format, values...);
    return out;
}

enum class Loaded { Yes, Missing, Unreadable };

std::string& ErrorSlot() {
    static std::string error;
    return error;
}

// What a save of the card's setup.cfg is refused with, from the opening of the card until the user restores the
// defaults on purpose: a setup.cfg that is there but could not be read is not overwritten, and a card that had
// neither setup.cfg nor default.cfg gets no record that was never loaded from anything.
std::string& SetupRefusalSlot() {
    static std::string why;
    return why;
}

// What the last save that succeeded still has to say (a journal that could not be removed).
std::string& NoteSlot() {
    static std::string note;
    return note;
}

// What the card's setup.cfg held when the card was opened: its first record-sized bytes and its size, nothing when it
// was not there. A save compares it with what is there now, so that it never silently replaces what another program
// saved in between.
struct SetupSnapshot {
    bool taken = false;
    std::optional<FileHead> head;
};
SetupSnapshot& OpenedSetupSlot() {
    static SetupSnapshot snapshot;
    return snapshot;
}

bool SameHead(const std::optional<FileHead>& a, const std::optional<FileHead>& b) {
    if (!a || !b)
        return !a && !b;
    return a->fileSize == b->fileSize && a->bytes == b->bytes;
}

// The snapshot of a setup.cfg as it is now; nothing when it cannot be read.
std::optional<SetupSnapshot> TakeSetupSnapshot(const std::u16string& path) {
    FileHeadRead read = ReadFileHeadOrWhy(path, SettingsRecord::kSize);
    if (!read.head && !read.missing)
        return std::nullopt;
    return SetupSnapshot{true, std::move(read.head)};
}

// The snapshot after `head` has been written over the start of a file that matched `before`.
SetupSnapshot AfterWriting(const SetupSnapshot& before, std::span<const std::uint8_t> head) {
    FileHead after = before.head.value_or(FileHead{});
    after.fileSize = std::max<std::uint64_t>(after.fileSize, head.size());
    after.bytes.resize(std::max(after.bytes.size(), head.size()));
    std::copy(head.begin(), head.end(), after.bytes.begin());
    return SetupSnapshot{true, std::move(after)};
}

std::string FileName(const std::u16string& path) { return Utf16ToUtf8(path.substr(FolderOf(path).size())); }

// A card file made ready to read or delete: its folder's lock held, and an interrupted save of it finished or
// dropped under that lock, so that what is there is one whole file.
struct LockedCardFile {
    CardLock lock;
    bool ready = false; // the lock is held and no save of the file is left half done
    std::string why;    // why not: the lock's reason, or the journal's
};
LockedCardFile LockAndRecover(const std::u16string& path) {
    LockedCardFile file{CardLock::Acquire(FolderOf(path)), false, {}};
    if (!file.lock.held())
        file.why = file.lock.message();
    else
        file.ready = SaveJournal::Recover(path, &file.why) != SaveJournal::Recovery::Failed;
    return file;
}

Loaded LoadSettingsInto(const std::u16string& path, SettingsRecord*& record, std::string* why = nullptr) {
    const LockedCardFile file = LockAndRecover(path);
    FileHeadRead read;
    if (file.ready)
        read = ReadFileHeadOrWhy(path, SettingsRecord::kSize);
    if (!read.head) {
        Trace("Warning Trevanil Setting not found !\n");
        if (why)
            *why = file.why.empty() ? read.reason : file.why;
        return file.why.empty() && read.missing ? Loaded::Missing : Loaded::Unreadable;
    }
    if (!record)
        record = &AllocateRecord();
    record->bytes.fill(0);
    std::copy(read.head->bytes.begin(), read.head->bytes.end(), record->bytes.begin());
    Trace("\n\nTrevanil Setting loading...\n");
    if (read.head->fileSize > SettingsRecord::kSize)
        Trace("Warning config version seems to be higher than 1.2 or invalid !\n");
    if (read.head->fileSize != record->recordLength())
        Trace("Warning file length differs  from the checksum !\n");
    return Loaded::Yes;
}

// Writes through the journal, holding the card folder's lock; the reason of a failure goes to LastCardFileError.
// `refusal`, run under the lock, may refuse the write with its reason.
SaveJournal::Outcome WriteCardFile(const std::u16string& path, std::span<const std::uint8_t> bytes, SaveJournal::Tail tail,
                   const std::function<void()>& onWriting = {}, const std::function<std::string()>& refusal = {}) {
    const std::string name = FileName(path);
    CardLock lock = CardLock::Acquire(FolderOf(path));
    if (!lock.held()) {
        ErrorSlot() = name + " could not be written: " + lock.message() + "; the card is unchanged";
        return SaveJournal::Outcome::Unchanged;
    }
    if (std::string why = refusal ? refusal() : std::string(); !why.empty()) {
        ErrorSlot() = name + " " + why + "; the card is unchanged";
        return SaveJournal::Outcome::Unchanged;
    }
    if (onWriting)
        onWriting();
    const SaveJournal::Result result = SaveJournal::Write(path, bytes, tail);
    switch (result.outcome) {
    case SaveJournal::Outcome::Saved:
        ErrorSlot().clear();
        if (!result.reason.empty())
            NoteSlot() += (NoteSlot().empty() ? "" : "; ") + name + " was saved, but " + result.reason;
        break;
    case SaveJournal::Outcome::Unchanged:
        ErrorSlot() = name + " could not be written (" + result.reason + "); the card is unchanged";
        break;
    case SaveJournal::Outcome::Pending:
        ErrorSlot() = name + " was not completely written (" + result.reason +
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

// Loads CardRoot() + "default.cfg" into the record; a missing or unreadable one is shown to the user.
bool LoadDefaults(SettingsRecord& record) {
    const std::u16string path = CardRoot() + u"default.cfg";
    SettingsRecord* target = &record;
    if (LoadSettingsInto(path, target) == Loaded::Yes)
        return true;
    prompt::Ask({prompt::Kind::MessageOk, {}, u"no default.cfg :" + path});
    return false;
}
} // namespace

const std::u16string& CardRoot() { return RootSlot(); }
void SetCardRoot(std::u16string root) { RootSlot() = std::move(root); }

std::u16string CardRootFromArgument(std::u16string folder) {
    if (!folder.empty() && folder.back() != u'/' && folder.back() != kPathSeparator)
        folder.push_back(kPathSeparator);
    return folder;
}

ClockRequest& Clock() {
    static ClockRequest clock;
    return clock;
}

void ResetCardState() {
    Clock() = ClockRequest{};
    RootSlot().clear();
    SetupRefusalSlot().clear();
    OpenedSetupSlot() = SetupSnapshot{};
    ErrorSlot().clear();
    NoteSlot().clear();
}

const std::string& LastCardFileError() { return ErrorSlot(); }
const std::string& LastCardFileNote() { return NoteSlot(); }

bool LoadSettingsFile(const std::u16string& path) {
    SettingsRecord* record = CurrentRecord();
    return LoadSettingsInto(path, record) == Loaded::Yes;
}

bool SaveSettingsFile(const std::u16string& path) {
    SettingsRecord* record = CurrentRecord();
    if (!record)
        return false;
    Trace(Printf("%d\n", static_cast<std::int32_t>(record->recordLength())));
    record->DeriveCombinedFlag();
    const std::size_t n = record->SaveLength();
    const std::span<const std::uint8_t> head(record->bytes.data(), n);
    const bool cardSetup = !CardRoot().empty() && path == CardRoot() + u"setup.cfg";
    bool written = false;
    NoteSlot().clear();
    if (cardSetup && !SetupRefusalSlot().empty()) {
        ErrorSlot() = SetupRefusalSlot();
    } else {
        SetupSnapshot& opened = OpenedSetupSlot();
        auto changedSinceOpened = [&]() -> std::string {
            if (!cardSetup || !opened.taken)
                return {};
            std::string why;
            if (SaveJournal::Recover(path, &why) == SaveJournal::Recovery::Failed)
                return "could not be checked (" + why + ")";
            // A setup.cfg that has gone since holds nothing to lose: the save makes it again.
            const auto now = TakeSetupSnapshot(path);
            if (!now)
                return "could not be checked";
            if (now->head && !SameHead(now->head, opened.head))
                return "was changed by another program since the card was opened, so it is not replaced; open the "
                       "card again to edit what it holds now";
            return {};
        };
        const SaveJournal::Outcome outcome = WriteCardFile(
            path, head, SaveJournal::Tail::Keep, [] { Trace("\n\nTrevanil Setting saving...\n"); }, changedSinceOpened);
        written = outcome == SaveJournal::Outcome::Saved;
        // A save that completes at the next opening counts as ours too.
        if (cardSetup && opened.taken && outcome != SaveJournal::Outcome::Unchanged)
            opened = AfterWriting(opened, head);
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

bool RestoreDefaultSettings(SettingsRecord& record) {
    std::array<std::uint8_t, SettingsRecord::kRetainedBlockSize> block;
    std::copy(record.retainedBlock().begin(), record.retainedBlock().end(), block.begin());
    const std::uint32_t value = record.retainedValue();
    const bool loaded = LoadDefaults(record);
    record.setRetainedBlock(block);
    record.setRetainedValue(value);
    // The user asked for the factory settings: they may now replace a setup.cfg that could not be read.
    if (loaded)
        SetupRefusalSlot().clear();
    return loaded;
}

CardSettingsLoad LoadCardSettings(SettingsRecord& record) {
    CardSettingsLoad result;
    // Opening the card completes (or drops) an interrupted write of the clock request too; time.dat itself is read
    // by ReadClockFile. The card folder's lock taken for it is held for the whole load.
    const LockedCardFile clockFile = LockAndRecover(CardRoot() + u"time.dat");
    if (!clockFile.lock.held()) {
        result.problem = clockFile.why;
        SetupRefusalSlot() = UnreadableSetupRefusal(result.problem);
        return result;
    }
    SettingsRecord* target = &record;
    const std::u16string setup = CardRoot() + u"setup.cfg";
    OpenedSetupSlot() = SetupSnapshot{};
    SetupRefusalSlot().clear();
    switch (LoadSettingsInto(setup, target, &result.problem)) {
    case Loaded::Yes:
        result.source = CardSettingsLoad::Source::Setup;
        OpenedSetupSlot() = TakeSetupSnapshot(setup).value_or(SetupSnapshot{});
        return result;
    case Loaded::Unreadable:
        SetupRefusalSlot() = UnreadableSetupRefusal(result.problem);
        break;
    case Loaded::Missing:
        result.problem.clear();
        OpenedSetupSlot() = TakeSetupSnapshot(setup).value_or(SetupSnapshot{});
        break;
    }
    // No setup.cfg: the factory settings as they are, their retained fields included.
    if (LoadDefaults(record))
        result.source = CardSettingsLoad::Source::Defaults;
    else if (result.problem.empty())
        SetupRefusalSlot() = "setup.cfg is not saved: the card has neither setup.cfg nor default.cfg, so there are no "
                             "settings of the card to save";
    return result;
}

bool ReadClockFile(const std::u16string& path) {
    std::optional<std::string> line;
    if (const LockedCardFile file = LockAndRecover(path); file.ready)
        line = ReadFirstLine(path, kMaxClockLine);
    if (!line) {
        Clock().timeSyncRequested = 0;
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
    SystemTime& t = Clock().timeSyncTime;
    t.year = static_cast<std::uint16_t>(values[0]);
    t.month = static_cast<std::uint16_t>(values[1]);
    t.day = static_cast<std::uint16_t>(values[2]);
    t.hour = static_cast<std::uint16_t>(values[3]);
    t.minute = static_cast<std::uint16_t>(values[4]);
    t.second = static_cast<std::uint16_t>(values[5]);
    Clock().timeSyncRequested = 1;
    return true;
}

std::string FormatClockLine(const SystemTime& time, std::int32_t standardBiasMinutes) {
    const std::int32_t offset = -standardBiasMinutes;
    const std::int32_t magnitude = offset < 0 ? -offset : offset;
    return Printf("%4d,%02d,%02d,%02d,%02d,%02d,%c%02d%02d", time.year, time.month, time.day, time.hour,
                  time.minute, time.second, offset > 0 ? '+' : '-', magnitude / 60, magnitude % 60);
}

bool WriteClockFile(const std::u16string& path) {
    if (Clock().timeSyncRequested == 0) {
        // A request that stays on the card would make the camera set its clock again: a file that cannot be
        // removed is a failure.
        // An interrupted write is finished first, or it would bring the file back at the next opening.
        const LockedCardFile file = LockAndRecover(path);
        if (!file.ready) {
            ErrorSlot() = "time.dat could not be deleted: " + file.why;
            return false;
        }
        return RemoveFileIfPresent(path);
    }
    std::string line = FormatClockLine(Clock().timeSyncTime, Host().StandardBiasMinutes());
    return WriteCardFile(path,
                         std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(line.data()), line.size()),
                         SaveJournal::Tail::Truncate) == SaveJournal::Outcome::Saved;
}

} // namespace dashcam
