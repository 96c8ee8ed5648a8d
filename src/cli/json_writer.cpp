#include "cli/json_writer.h"

#include <cstdio>

namespace dashcam::cli {

std::string QuotedText(std::string_view utf8) {
    std::string out = "\"";
    for (char c : utf8) {
        const auto b = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(c);
        } else if (b < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", b);
            out += buf;
        } else {
            out.push_back(c);
        }
    }
    return out + "\"";
}

void JsonWriter::BeforeValue() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (levels_.empty())
        return;
    Level& level = levels_.back();
    if (level.members > 0)
        out_ += ',';
    if (level.layout == Layout::Block)
        out_ += '\n' + std::string(2 * levels_.size(), ' ');
    else if (level.members > 0)
        out_ += ' ';
    ++level.members;
}

JsonWriter& JsonWriter::Literal(std::string_view text) {
    BeforeValue();
    out_ += text;
    return *this;
}

JsonWriter& JsonWriter::BeginObject(Layout layout) {
    Literal("{");
    levels_.push_back({layout});
    return *this;
}

JsonWriter& JsonWriter::BeginArray(Layout layout) {
    Literal("[");
    levels_.push_back({layout});
    return *this;
}

JsonWriter& JsonWriter::Close(char bracket) {
    const Level level = levels_.back();
    levels_.pop_back();
    if (level.layout == Layout::Block && level.members > 0)
        out_ += '\n' + std::string(2 * levels_.size(), ' ');
    out_ += bracket;
    return *this;
}

JsonWriter& JsonWriter::EndObject() { return Close('}'); }
JsonWriter& JsonWriter::EndArray() { return Close(']'); }

JsonWriter& JsonWriter::Key(std::string_view name) {
    BeforeValue();
    out_ += QuotedText(name) + ": ";
    afterKey_ = true;
    return *this;
}

JsonWriter& JsonWriter::String(std::string_view utf8) { return Literal(QuotedText(utf8)); }
JsonWriter& JsonWriter::Bool(bool value) { return Literal(value ? "true" : "false"); }
JsonWriter& JsonWriter::Null() { return Literal("null"); }

std::string JsonWriter::Text() const { return out_ + "\n"; }

} // namespace dashcam::cli
