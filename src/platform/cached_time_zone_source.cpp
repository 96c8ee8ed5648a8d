#include "platform/cached_time_zone_source.h"

#include <cstdint>
#include <fstream>
#include <random>
#include <system_error>
#include <utility>

namespace dashcam {
namespace {

constexpr char kMagic[] = "dashcam time zones 1\n";
constexpr std::uintmax_t kLargestFile = 4u << 20;

// Little-endian fields: a 32-bit count before every text (in UTF-16 code units) and every byte string.
class Writer {
public:
    void Count(std::size_t n) {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<char>((n >> (8 * i)) & 0xff));
    }
    void Text(std::u16string_view text) {
        Count(text.size());
        for (char16_t c : text)
            bytes.push_back(static_cast<char>(c & 0xff)), bytes.push_back(static_cast<char>(c >> 8));
    }
    void Bytes(const std::vector<std::uint8_t>& data) {
        Count(data.size());
        bytes.insert(bytes.end(), data.begin(), data.end());
    }
    std::string bytes;
};

class Reader {
public:
    explicit Reader(std::string_view bytes) : rest_(bytes) {}
    bool Count(std::size_t& n) {
        if (rest_.size() < 4)
            return false;
        n = 0;
        for (int i = 0; i < 4; ++i)
            n |= std::size_t(static_cast<unsigned char>(rest_[i])) << (8 * i);
        rest_.remove_prefix(4);
        return true;
    }
    bool Text(std::u16string& text) {
        std::size_t n = 0;
        if (!Count(n) || rest_.size() / 2 < n)
            return false;
        text.resize(n);
        for (std::size_t i = 0; i < n; ++i)
            text[i] = static_cast<char16_t>(static_cast<unsigned char>(rest_[2 * i]) |
                                            static_cast<unsigned char>(rest_[2 * i + 1]) << 8);
        rest_.remove_prefix(2 * n);
        return true;
    }
    bool Bytes(std::vector<std::uint8_t>& data) {
        std::size_t n = 0;
        if (!Count(n) || rest_.size() < n)
            return false;
        data.assign(rest_.begin(), rest_.begin() + static_cast<std::ptrdiff_t>(n));
        rest_.remove_prefix(n);
        return true;
    }
    bool Skip(std::string_view expected) {
        if (rest_.substr(0, expected.size()) != expected)
            return false;
        rest_.remove_prefix(expected.size());
        return true;
    }
    bool AtEnd() const { return rest_.empty(); }

private:
    std::string_view rest_;
};

} // namespace

CachedTimeZoneSource::CachedTimeZoneSource(TimeZoneSource& source, std::filesystem::path file,
                                           const std::string& stamp)
    : source_(source), file_(std::move(file)), stamp_(stamp.begin(), stamp.end()) {}

std::vector<std::u16string> CachedTimeZoneSource::ZoneKeyNames() {
    Load();
    return names_;
}

std::vector<TimeZoneValue> CachedTimeZoneSource::ZoneValues(std::u16string_view keyName) {
    Load();
    if (const auto it = values_.find(keyName); it != values_.end())
        return it->second;
    return source_.ZoneValues(keyName); // a key the list does not name is the source's to answer
}

HostTimeZone CachedTimeZoneSource::HostZone() {
    return source_.HostZone();
}

void CachedTimeZoneSource::Load() {
    std::call_once(loaded_, [this] {
        if (ReadFile())
            return;
        names_ = source_.ZoneKeyNames();
        values_.clear();
        for (const std::u16string& name : names_)
            values_[name] = source_.ZoneValues(name);
        // An empty list is not kept: it is what a database that could not be read gives.
        if (!names_.empty())
            WriteFile();
    });
}

bool CachedTimeZoneSource::ReadFile() {
    // Only a regular file is opened: a FIFO put here would keep the open waiting for a writer.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file_, ec))
        return false;
    const std::uintmax_t size = std::filesystem::file_size(file_, ec);
    if (ec || size > kLargestFile)
        return false;
    std::ifstream in(file_, std::ios::binary);
    std::string bytes(static_cast<std::size_t>(size) + 1, '\0'); // one more tells a file that grew meanwhile
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (in.bad() || static_cast<std::uintmax_t>(in.gcount()) > size)
        return false;
    bytes.resize(static_cast<std::size_t>(in.gcount()));

    Reader reader(bytes);
    std::u16string stamp;
    std::size_t count = 0;
    if (!reader.Skip(kMagic) || !reader.Text(stamp) || stamp != stamp_ ||
        !reader.Count(count) || count == 0)
        return false;
    std::vector<std::u16string> names;
    std::map<std::u16string, std::vector<TimeZoneValue>, std::less<>> values;
    for (std::size_t i = 0; i < count; ++i) {
        std::u16string name;
        std::size_t valueCount = 0;
        if (!reader.Text(name) || !reader.Count(valueCount))
            return false;
        if (valueCount > 16) // a key holds a handful of values
            return false;
        std::vector<TimeZoneValue> zone(valueCount);
        for (TimeZoneValue& value : zone)
            if (!reader.Text(value.name) || !reader.Bytes(value.data))
                return false;
        names.push_back(name);
        values[std::move(name)] = std::move(zone);
    }
    if (!reader.AtEnd())
        return false;
    names_ = std::move(names);
    values_ = std::move(values);
    return true;
}

void CachedTimeZoneSource::WriteFile() const {
    Writer writer;
    writer.bytes = kMagic;
    writer.Text(stamp_);
    writer.Count(names_.size());
    for (const std::u16string& name : names_) {
        const std::vector<TimeZoneValue>& zone = values_.at(name);
        writer.Text(name);
        writer.Count(zone.size());
        for (const TimeZoneValue& value : zone) {
            writer.Text(value.name);
            writer.Bytes(value.data);
        }
    }
    // Written beside the file and renamed over it, so that a reader never sees half a file.
    std::error_code ec;
    std::filesystem::create_directories(file_.parent_path(), ec);
    std::filesystem::path temporary = file_;
    temporary += ".new-" + std::to_string(std::random_device{}());
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(writer.bytes.data(), static_cast<std::streamsize>(writer.bytes.size()));
        out.close();
        if (!out) {
            std::filesystem::remove(temporary, ec);
            return;
        }
    }
    std::filesystem::rename(temporary, file_, ec);
    if (ec) {
        // Some runtimes do not rename over an existing file.
        std::filesystem::remove(file_, ec);
        std::filesystem::rename(temporary, file_, ec);
    }
    if (ec)
        std::filesystem::remove(temporary, ec);
}

} // namespace dashcam
