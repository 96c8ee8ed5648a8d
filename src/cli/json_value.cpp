#include "cli/json_value.h"

#include <cerrno>
#include <cstdlib>
#include <set>

#include "platform/text_codec.h"

namespace dashcam::cli {
namespace {

class Parser {
public:
    explicit Parser(std::string_view text) : text_(text) {}

    std::optional<JsonValue> Document(std::string* why) {
        std::optional<JsonValue> value = Value(0);
        Blanks();
        if (value && pos_ != text_.size())
            value.reset(), error_ = "text after the value";
        if (!value && why)
            *why = error_ + " at byte " + std::to_string(pos_);
        return value;
    }

private:
    void Blanks() {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\n' ||
                                       text_[pos_] == '\r'))
            ++pos_;
    }
    bool Take(char c) {
        Blanks();
        if (pos_ < text_.size() && text_[pos_] == c)
            return ++pos_, true;
        return false;
    }
    bool Word(std::string_view word) {
        if (text_.substr(pos_, word.size()) != word)
            return false;
        pos_ += word.size();
        return true;
    }
    std::optional<JsonValue> Fail(const char* what) {
        error_ = what;
        return std::nullopt;
    }

    std::optional<JsonValue> Value(int depth) {
        if (depth > 64)
            return Fail("nested too deeply");
        Blanks();
        if (pos_ >= text_.size())
            return Fail("unexpected end");
        JsonValue v;
        const char c = text_[pos_];
        if (c == '{') {
            ++pos_;
            v.type = JsonValue::Type::Object;
            if (Take('}'))
                return v;
            std::set<std::string> names;
            do {
                Blanks();
                const std::size_t at = pos_;
                auto name = String();
                if (!name || !Take(':'))
                    return Fail("expected \"name\":");
                if (!names.insert(*name).second) {
                    pos_ = at;
                    error_ = "\"" + *name + "\" given twice";
                    return std::nullopt;
                }
                auto member = Value(depth + 1);
                if (!member)
                    return std::nullopt;
                v.members.push_back({std::move(*name), std::move(*member)});
            } while (Take(','));
            if (!Take('}'))
                return Fail("expected , or }");
            return v;
        }
        if (c == '[') {
            ++pos_;
            v.type = JsonValue::Type::Array;
            if (Take(']'))
                return v;
            do {
                auto item = Value(depth + 1);
                if (!item)
                    return std::nullopt;
                v.items.push_back(std::move(*item));
            } while (Take(','));
            if (!Take(']'))
                return Fail("expected , or ]");
            return v;
        }
        if (c == '"') {
            auto s = String();
            if (!s)
                return std::nullopt;
            v.type = JsonValue::Type::String;
            v.string = std::move(*s);
            return v;
        }
        if (Word("true") || Word("false")) {
            v.type = JsonValue::Type::Bool;
            v.boolean = c == 't';
            return v;
        }
        if (Word("null"))
            return v;
        return Number();
    }

    std::optional<JsonValue> Number() {
        const std::size_t start = pos_;
        if (pos_ < text_.size() && text_[pos_] == '-')
            ++pos_;
        std::size_t digits = 0;
        while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9')
            ++pos_, ++digits;
        if (digits == 0)
            return Fail("not a JSON value");
        bool integral = true;
        if (pos_ < text_.size() && text_[pos_] == '.') {
            integral = false;
            ++pos_;
            while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9')
                ++pos_;
        }
        if (pos_ < text_.size() && (text_[pos_] == 'e' || text_[pos_] == 'E')) {
            integral = false;
            ++pos_;
            if (pos_ < text_.size() && (text_[pos_] == '+' || text_[pos_] == '-'))
                ++pos_;
            while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9')
                ++pos_;
        }
        const std::string literal(text_.substr(start, pos_ - start));
        JsonValue v;
        v.type = JsonValue::Type::Number;
        v.number = std::strtod(literal.c_str(), nullptr);
        v.integral = integral;
        if (integral) {
            errno = 0;
            v.integer = std::strtoll(literal.c_str(), nullptr, 10);
            v.fitsInteger = errno != ERANGE;
        }
        v.literal = literal;
        return v;
    }

    std::optional<unsigned> Hex4() {
        if (pos_ + 4 > text_.size())
            return std::nullopt;
        unsigned value = 0;
        for (int i = 0; i < 4; ++i) {
            const char h = text_[pos_++];
            value <<= 4;
            if (h >= '0' && h <= '9')
                value |= static_cast<unsigned>(h - '0');
            else if (h >= 'a' && h <= 'f')
                value |= static_cast<unsigned>(h - 'a' + 10);
            else if (h >= 'A' && h <= 'F')
                value |= static_cast<unsigned>(h - 'A' + 10);
            else
                return std::nullopt;
        }
        return value;
    }

    std::optional<std::string> String() {
        if (pos_ >= text_.size() || text_[pos_] != '"')
            return error_ = "expected a string", std::nullopt;
        ++pos_;
        std::string out;
        while (pos_ < text_.size()) {
            const char c = text_[pos_++];
            if (c == '"')
                return out;
            if (static_cast<unsigned char>(c) < 0x20)
                break;
            if (c != '\\') {
                out.push_back(c);
                continue;
            }
            if (pos_ >= text_.size())
                break;
            const char e = text_[pos_++];
            switch (e) {
            case '"': case '\\': case '/': out.push_back(e); break;
            case 'b': out.push_back('\b'); break;
            case 'f': out.push_back('\f'); break;
            case 'n': out.push_back('\n'); break;
            case 'r': out.push_back('\r'); break;
            case 't': out.push_back('\t'); break;
            case 'u': {
                auto unit = Hex4();
                if (!unit)
                    return error_ = "bad \\u escape", std::nullopt;
                std::u16string units(1, static_cast<char16_t>(*unit));
                if (*unit >= 0xD800 && *unit <= 0xDBFF && Word("\\u")) {
                    auto low = Hex4();
                    if (!low || *low < 0xDC00 || *low > 0xDFFF)
                        return error_ = "bad surrogate pair", std::nullopt;
                    units.push_back(static_cast<char16_t>(*low));
                } else if (*unit >= 0xD800 && *unit <= 0xDFFF) {
                    return error_ = "bad surrogate pair", std::nullopt;
                }
                out += Utf16ToUtf8(units);
                break;
            }
            default:
                return error_ = "bad escape", std::nullopt;
            }
        }
        error_ = "unterminated string";
        return std::nullopt;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    std::string error_;
};

} // namespace

std::optional<JsonValue> JsonValue::Parse(std::string_view text, std::string* why) {
    return Parser(text).Document(why);
}

const JsonValue* JsonValue::Find(std::string_view name) const {
    for (const Member& m : members)
        if (m.name == name)
            return &m.value;
    return nullptr;
}

} // namespace dashcam::cli
