#pragma once
// Saves of the card's small files that either fully happen or leave the old content, wherever they are cut off.
//
// The new bytes are first written, with what the file held before (its size and the bytes the save overwrites) and a
// checksum, into a journal beside the file ("setup.cfg-journal") and flushed to the medium; only then are they written
// in place over the start of the file, which is flushed in turn, and the journal is removed. The next open of the
// file finishes a complete journal (Recover) and drops an incomplete one. A journal is finished only onto what it was
// written for: the old content, the new one, or what a cut write leaves between them; a file that another program
// (the camera) has changed or removed since is kept as it is, and the journal goes. Nothing is written through a
// symbolic link, and a file that is gone is never made again. See docs/data-safety.md.
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace dashcam {

class SaveJournal {
public:
    enum class Outcome {
        Saved,     // the file holds the new content
        Unchanged, // nothing was changed; the file holds its old content
        Pending,   // cut off after the journal was written: the next open of the file completes the save
    };
    enum class Tail {
        Keep,     // bytes beyond the new content stay as they were
        Truncate, // the file ends after the new content
    };

    struct Result {
        Outcome outcome = Outcome::Unchanged;
        std::string reason; // why it is not Saved; for Saved, what the user should still hear of (a journal left)
    };

    // The journal's path for a file.
    static std::filesystem::path PathFor(const std::filesystem::path& file);

    // Writes `head` over the start of `file` (creating it when missing), through the journal. A `file` that is a
    // symbolic link is refused (Unchanged).
    static Result Write(const std::filesystem::path& file, std::span<const std::uint8_t> head, Tail tail);

    enum class Recovery {
        None,      // there was no journal
        Completed, // a complete journal was written into the file and removed
        Discarded, // an incomplete journal was removed; the file was never touched by its save
        Outdated,  // the journal was removed unused: the file holds neither what it was written for nor what it
                   // wrote (another program changed it), the file is gone or is no plain file, or the journal is of
                   // the earlier format that does not say what the file held before
        Failed,    // a journal is there but could not be read, checked, applied or removed
    };
    // Finishes or drops an interrupted save of `file`. `why` gets the reason of a failure.
    static Recovery Recover(const std::filesystem::path& file, std::string* why = nullptr);

    // What a file held before a save: its size and its first bytes, as far as the journal keeps them.
    struct Before {
        std::uint64_t size = 0;
        std::vector<std::uint8_t> head;
    };
    // The journal's bytes for a save of `head` over a file that held `before`: what Write flushes before it
    // touches the file.
    static std::vector<std::uint8_t> Image(const Before& before, std::span<const std::uint8_t> head, Tail tail);

    // Largest content a journal carries; a bigger one is not ours and is dropped as incomplete.
    static constexpr std::size_t kMaxContent = 64 * 1024;
};

} // namespace dashcam
