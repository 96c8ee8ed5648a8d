// The host's time zones from HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows NT\CurrentVersion\Time Zones.
#include <windows.h>

#include "platform/time_zone_source.h"

namespace dashcam {
namespace {

const wchar_t kTimeZonesKey[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Time Zones";

std::u16string FromWide(const wchar_t* text, std::size_t length) {
    return std::u16string(reinterpret_cast<const char16_t*>(text), length);
}

// An open registry key, closed with its owner.
class RegistryKey {
public:
    explicit RegistryKey(const std::wstring& path) {
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key_) != ERROR_SUCCESS)
            key_ = nullptr;
    }
    ~RegistryKey() {
        if (key_)
            RegCloseKey(key_);
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

class RegistryTimeZones : public TimeZoneSource {
public:
    std::vector<std::u16string> ZoneKeyNames() override {
        std::vector<std::u16string> names;
        RegistryKey key(kTimeZonesKey);
        DWORD count = 0;
        if (!key.get() || RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr,
                                           nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            return names;
        for (DWORD i = 0; i < count; ++i) {
            wchar_t name[255];
            DWORD length = 255;
            if (RegEnumKeyExW(key.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS)
                names.push_back(FromWide(name, length));
        }
        return names;
    }

    std::vector<TimeZoneValue> ZoneValues(std::u16string_view keyName) override {
        std::vector<TimeZoneValue> values;
        RegistryKey key(std::wstring(kTimeZonesKey) + L"\\" + std::wstring(keyName.begin(), keyName.end()));
        DWORD count = 0;
        if (!key.get() || RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                                           nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            return values;
        std::vector<wchar_t> name(16383);
        for (DWORD i = 0; i < count; ++i) {
            DWORD length = static_cast<DWORD>(name.size());
            if (RegEnumValueW(key.get(), i, name.data(), &length, nullptr, nullptr, nullptr, nullptr) !=
                ERROR_SUCCESS)
                continue;
            TimeZoneValue value{FromWide(name.data(), length), {}};
            DWORD size = 0;
            if (RegQueryValueExW(key.get(), name.data(), nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS) {
                value.data.resize(size);
                if (RegQueryValueExW(key.get(), name.data(), nullptr, nullptr, value.data.data(), &size) !=
                    ERROR_SUCCESS)
                    size = 0;
                value.data.resize(size);
            }
            values.push_back(std::move(value));
        }
        return values;
    }

    HostTimeZone HostZone() override {
        TIME_ZONE_INFORMATION info{};
        HostTimeZone host;
        if (GetTimeZoneInformation(&info) == TIME_ZONE_ID_INVALID)
            return host;
        host.bias = info.Bias;
        host.standardBias = info.StandardBias;
        std::size_t length = 0;
        while (length < std::size(info.StandardName) && info.StandardName[length])
            ++length;
        host.standardName = FromWide(info.StandardName, length);
        return host;
    }
};

} // namespace

TimeZoneSource& PlatformTimeZones() {
    static RegistryTimeZones source;
    return source;
}

} // namespace dashcam
