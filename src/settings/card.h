#pragma once
// One memory card as the editor and each command of dashcam-cfg work on it: its folder, the settings record loaded
// from it, the clock request, and what its setup.cfg held when it was opened. The main window owns the one card it
// edits and hands it to its pages; every command of dashcam-cfg makes its own.
#include <memory>
#include <optional>
#include <string>

#include "platform/files/safe_file.h"
#include "settings/card_files.h"
#include "settings/settings_record.h"

namespace dashcam {

// The start-up load of a card's settings: setup.cfg, or, when there is none, default.cfg as it is (retained fields
// included). A setup.cfg that is there but cannot be read is reported in `problem`; the defaults are then shown,
// and SaveSettingsFile does not replace that setup.cfg until RestoreDefaultSettings has run. Nor does it write a
// setup.cfg on a card that had neither file.
struct CardSettingsLoad {
    enum class Source { None, Setup, Defaults };
    Source source = Source::None;
    std::string problem; // why setup.cfg could not be read; empty when it was read or is not there
    explicit operator bool() const { return source != Source::None && problem.empty(); }
};

class Card {
public:
    // `root` is the card folder ending in the path separator (CardRootFromArgument); empty means no card.
    explicit Card(std::u16string root = {});
    Card(const Card&) = delete;
    Card& operator=(const Card&) = delete;

    // Every card file is root() followed directly by its name.
    const std::u16string& root() const { return root_; }
    // The same card at another place (a format mounts it anew); what was opened from it stays.
    void MoveTo(std::u16string root) { root_ = std::move(root); }
    std::u16string FilePath(std::u16string_view name) const { return root_ + std::u16string(name); }

    // The record: none until loaded or allocated.
    SettingsRecord* record() { return record_.get(); }
    const SettingsRecord* record() const { return record_.get(); }
    // A new record of 572 zero bytes, replacing any earlier one.
    SettingsRecord& AllocateRecord();
    void ReleaseRecord() { record_.reset(); }

    // Whether Save writes time.dat, and the moment it asks the camera to take.
    ClockRequest& clock() { return clock_; }
    const ClockRequest& clock() const { return clock_; }

    // Loads the card's settings into its record (allocated when there is none); see CardSettingsLoad.
    CardSettingsLoad LoadCardSettings();
    // Loads a settings file into the record (allocating it when there is none). True when the file could be opened.
    bool LoadSettingsFile(const std::u16string& path);
    // Writes the record into the file without truncating it; true when all of it reached the file.
    bool SaveSettingsFile(const std::u16string& path);
    // Loads the card's default.cfg into `record`, keeping retainedBlock and retainedValue. A missing file is
    // reported to the user with "no default.cfg :" and the path. True when default.cfg was loaded.
    bool RestoreDefaultSettings(SettingsRecord& record);
    bool ReadClockFile(const std::u16string& path);
    bool WriteClockFile(const std::u16string& path);

    // Why the last failed SaveSettingsFile or WriteClockFile failed, and what the card holds now.
    const std::string& LastCardFileError() const { return error_; }
    // What the saves since the last SaveSettingsFile (which starts afresh) still have to tell the user although
    // they succeeded: a journal that could not be removed; empty when nothing.
    const std::string& LastCardFileNote() const { return note_; }

private:
    // What the card's setup.cfg held when the card was opened: its first record-sized bytes and its size, nothing
    // when it was not there. A save compares it with what is there now, so that it never silently replaces what
    // another program saved in between.
    struct SetupSnapshot {
        bool taken = false;
        std::optional<FileHead> head;
    };
    static std::optional<SetupSnapshot> TakeSetupSnapshot(const std::u16string& path);
    static SetupSnapshot AfterWriting(const SetupSnapshot& before, std::span<const std::uint8_t> head);
    bool LoadDefaults(SettingsRecord& record);
    std::string ChangedSinceOpened(const std::u16string& path, bool cardSetup);

    std::u16string root_;
    std::unique_ptr<SettingsRecord> record_;
    ClockRequest clock_;
    // What a save of the card's setup.cfg is refused with, from the opening of the card until the user restores
    // the defaults on purpose: a setup.cfg that is there but could not be read is not overwritten, and a card that
    // had neither setup.cfg nor default.cfg gets no record that was never loaded from anything.
    std::string setupRefusal_;
    SetupSnapshot openedSetup_;
    std::string error_;
    std::string note_;
};

} // namespace dashcam
