#pragma once
// The JSON that dashcam-cfg prints: objects and arrays laid out either as blocks (one member a line, indented by
// two spaces a level) or inline ("{"a": 1, "b": [2, 3]}"), strings escaped one way everywhere. The writer keeps the
// commas, the indentation and the closing brackets, so that a command only says what it prints.
#include <concepts>
#include <string>
#include <string_view>
#include <vector>

namespace dashcam::cli {

// Text in double quotes with '"', '\' and the control characters escaped, as JSON writes a string. The plain outputs
// quote texts the same way, so that a name with a quote or a line feed stays on its line.
std::string QuotedText(std::string_view utf8);

class JsonWriter {
public:
    enum class Layout { Block, Inline };

    JsonWriter& BeginObject(Layout layout = Layout::Block);
    JsonWriter& EndObject();
    JsonWriter& BeginArray(Layout layout = Layout::Block);
    JsonWriter& EndArray();
    // The name of the object member whose value comes next.
    JsonWriter& Key(std::string_view name);

    JsonWriter& String(std::string_view utf8);
    template <std::integral T>
        requires(!std::same_as<T, bool>)
    JsonWriter& Number(T value) {
        return Literal(std::to_string(value));
    }
    JsonWriter& Bool(bool value);
    JsonWriter& Null();

    // What was written, followed by a line feed.
    std::string Text() const;

private:
    struct Level {
        Layout layout;
        std::size_t members = 0;
    };
    JsonWriter& Literal(std::string_view text);
    void BeforeValue();
    JsonWriter& Close(char bracket);

    std::string out_;
    std::vector<Level> levels_;
    bool afterKey_ = false;
};

} // namespace dashcam::cli
