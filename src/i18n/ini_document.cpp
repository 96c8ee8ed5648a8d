#include "i18n/ini_document.h"

#include <string>

#include "platform/text_codec.h"

namespace dashcam {

bool IniDocument::ParseLanguageBuffer(const unsigned char* data, std::size_t size) {
    if (data == nullptr || size < 2)
        return false;
    if (data[0] == 0xFF && data[1] == 0xFE) {
        // UTF-16LE; an odd last byte is not part of any code unit.
        std::size_t units = (size - 2) / 2;
        std::u16string text(units, u'\0');
        for (std::size_t i = 0; i < units; ++i)
            text[i] = static_cast<char16_t>(data[2 + 2 * i] | (data[3 + 2 * i] << 8));
        ParseText(text);
        return true;
    }
    std::size_t length = 0;
    while (length < size && data[length] != 0)
        ++length;
    std::optional<std::u16string> text =
        AnsiToWide(std::string_view(reinterpret_cast<const char*>(data), length));
    if (!text)
        return false;
    ParseText(*text);
    return true;
}

void IniDocument::ParseText(std::u16string_view text) {
    current_ = nullptr; // lines before the first header belong to no section
    std::u16string line;
    std::size_t pos = 0;
    bool atEnd = false;
    while (!atEnd) {
        line.clear();
        for (;;) {
            if (pos >= text.size() || text[pos] == u'\0') {
                atEnd = true;
                break;
            }
            char16_t c = text[pos++];
            if (c == u'\n')
                break;
            if (c != u'\r')
                line.push_back(c);
        }
        std::u16string_view trimmed = TrimWide(line);
        if (!trimmed.empty())
            ParseLine(trimmed);
    }
    current_ = nullptr;
}

void IniDocument::ParseLine(std::u16string_view line) {
    if (line.front() == u'[' && line.back() == u']' && line.size() >= 2) {
        std::u16string_view name = TrimWide(line.substr(1, line.size() - 2));
        if (name.empty()) {
            current_ = nullptr;
            return;
        }
        auto found = sections_.find(name);
        if (found == sections_.end())
            found = sections_.emplace(std::u16string(name), std::make_unique<Section>()).first;
        current_ = found->second.get();
        if (defaultSection_ == nullptr && EqualsIgnoreCase(name, u"text"))
            defaultSection_ = current_;
        return;
    }
    if (line.front() == u';')
        return;
    if (line.find(u'=') != std::u16string_view::npos) {
        ParseEntry(line);
        return;
    }
    if (current_ != nullptr)
        (*current_)[std::u16string(line)].clear();
}

void IniDocument::ParseEntry(std::u16string_view line) {
    std::u16string_view key;
    std::size_t pos = 0;
    char16_t quote = line.front();
    if (quote == u'"' || quote == u'\'') {
        std::size_t close = line.find(quote, 1);
        if (close == std::u16string_view::npos)
            return;
        key = line.substr(1, close - 1);
        pos = close + 1;
    } else {
        std::size_t equals = line.find(u'=');
        key = TrimWide(line.substr(0, equals));
        pos = equals;
    }
    if (pos >= line.size() || key.empty())
        return;
    while (pos < line.size() && (line[pos] == u' ' || line[pos] == u'\t'))
        ++pos;
    if (pos >= line.size() || line[pos] != u'=')
        return;
    ++pos;
    while (pos < line.size() && (line[pos] == u' ' || line[pos] == u'\t'))
        ++pos;
    std::u16string_view value;
    if (pos < line.size() && (line[pos] == u'"' || line[pos] == u'\'')) {
        std::u16string_view rest = line.substr(pos + 1);
        value = rest.substr(0, rest.find(line[pos]));
    } else {
        std::u16string_view rest = line.substr(pos);
        value = TrimWide(rest.substr(0, rest.find(u';')));
    }
    if (current_ == nullptr)
        return;
    (*current_)[std::u16string(key)] = std::u16string(value);
}

const IniDocument::Section* IniDocument::FindSection(std::u16string_view name) const {
    if (lastSection_ != nullptr && EqualsIgnoreCase(name, lastName_))
        return lastSection_;
    auto found = sections_.find(name);
    if (found == sections_.end())
        return nullptr;
    lastName_.assign(name);
    lastSection_ = found->second.get();
    return lastSection_;
}

const std::u16string* IniDocument::FindValue(std::u16string_view key,
                                             std::optional<std::u16string_view> section) const {
    const Section* in = section ? FindSection(*section) : defaultSection_;
    if (in == nullptr)
        return nullptr;
    auto found = in->find(key);
    return found == in->end() ? nullptr : &found->second;
}

} // namespace dashcam
