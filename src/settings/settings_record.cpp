#include "settings_record.h"

#include <algorithm>
#include <memory>

namespace dashcam {

std::uint32_t SettingsRecord::U32(std::size_t offset) const {
    return static_cast<std::uint32_t>(bytes[offset]) | static_cast<std::uint32_t>(bytes[offset + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[offset + 2]) << 16 | static_cast<std::uint32_t>(bytes[offset + 3]) << 24;
}

void SettingsRecord::SetU32(std::size_t offset, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::string_view SettingsRecord::Text(std::size_t offset, std::size_t width) const {
    const char* start = reinterpret_cast<const char*>(bytes.data() + offset);
    std::size_t length = 0;
    while (length < width && start[length] != 0)
        ++length;
    return {start, length};
}

void SettingsRecord::SetText(std::size_t offset, std::size_t width, std::string_view ansi) {
    std::fill_n(bytes.begin() + static_cast<std::ptrdiff_t>(offset), width, std::uint8_t{0});
    std::size_t n = std::min(width, ansi.size());
    std::copy_n(reinterpret_cast<const std::uint8_t*>(ansi.data()), n, bytes.begin() + static_cast<std::ptrdiff_t>(offset));
}

void SettingsRecord::setRetainedBlock(std::span<const std::uint8_t, kRetainedBlockSize> block) {
    std::copy(block.begin(), block.end(), bytes.begin() + kRetainedBlockOffset);
}

void SettingsRecord::DeriveCombinedFlag() {
    setCombinedFlag((flagSourceA() != 0 || flagSourceB() != 0 || flagSourceC() != 0) ? 1u : 0u);
}

std::size_t SettingsRecord::SaveLength() const { return std::min<std::uint32_t>(recordLength(), kSize); }

namespace {
#define DASHCAM_FIELD_INFO(name, Name, offset, width, kind) FieldInfo{#name, offset, width, FieldKind::kind},
constexpr FieldInfo kFields[] = {DASHCAM_SETTINGS_FIELDS(DASHCAM_FIELD_INFO)};
#undef DASHCAM_FIELD_INFO
} // namespace

std::span<const FieldInfo> SettingsFields() { return kFields; }

const FieldInfo* FindSettingsField(std::string_view name) {
    for (const FieldInfo& f : kFields)
        if (f.name == name)
            return &f;
    return nullptr;
}

bool IsInterpretedByte(std::size_t offset) {
    for (const FieldInfo& f : kFields)
        if (offset >= f.offset && offset < f.offset + f.width)
            return true;
    return false;
}

} // namespace dashcam
