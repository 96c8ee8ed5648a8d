#pragma once
// A JSON value as profiles hold it: objects, arrays, strings, numbers, true, false and null. Parse gives nothing
// (and the reason) for text that is not one whole JSON value, and for an object that names a member twice (which
// of the two would count is not said anywhere, so neither does).
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dashcam::cli {

class JsonValue {
public:
    enum class Type { Null, Bool, Number, String, Array, Object };

    static std::optional<JsonValue> Parse(std::string_view text, std::string* why = nullptr);

    Type type = Type::Null;
    bool boolean = false;
    double number = 0;
    bool integral = false;  // the number was written without fraction or exponent
    bool fitsInteger = false; // integral and within 64 bits: `integer` holds it
    std::int64_t integer = 0;
    std::string literal;    // the number as written
    std::string string;     // UTF-8
    std::vector<JsonValue> items;
    struct Member;
    std::vector<Member> members; // in the order written

    const JsonValue* Find(std::string_view name) const;
};

struct JsonValue::Member {
    std::string name;
    JsonValue value;
};

} // namespace dashcam::cli
