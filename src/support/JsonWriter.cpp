#include "support/JsonWriter.hpp"

#include <charconv>
#include <cmath>
#include <vector>

#include "support/Utf8.hpp"

namespace joywright {

namespace {

void appendEscape(std::string& out, unsigned char c) {
    static constexpr char kHex[] = "0123456789abcdef";
    switch (c) {
        case '"':
            out += "\\\"";
            return;
        case '\\':
            out += "\\\\";
            return;
        case '\b':
            out += "\\b";
            return;
        case '\f':
            out += "\\f";
            return;
        case '\n':
            out += "\\n";
            return;
        case '\r':
            out += "\\r";
            return;
        case '\t':
            out += "\\t";
            return;
        default:
            out += "\\u00";
            out.push_back(kHex[c >> 4]);
            out.push_back(kHex[c & 0x0F]);
    }
}

void appendDouble(std::string& out, double value) {
    if (!std::isfinite(value)) {
        out += "null";
        return;
    }
    const auto asFloat = static_cast<float>(value);
    if (std::isfinite(asFloat) && static_cast<double>(asFloat) == value) {
        appendJsonFloat(out, asFloat);
        return;
    }
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

void appendScalar(std::string& out, const nlohmann::json& value) {
    using Type = nlohmann::json::value_t;
    switch (value.type()) {
        case Type::boolean:
            out += value.get<bool>() ? "true" : "false";
            return;
        case Type::number_integer:
            out += std::to_string(value.get<std::int64_t>());
            return;
        case Type::number_unsigned:
            out += std::to_string(value.get<std::uint64_t>());
            return;
        case Type::number_float:
            appendDouble(out, value.get<double>());
            return;
        case Type::string:
            appendJsonString(out, value.get_ref<const std::string&>());
            return;
        default:
            out += "null";
            return;  // null, discarded; binary has no JSON form
    }
}

// One open object or array on the writer's explicit stack.
struct Frame {
    const nlohmann::json* container;
    nlohmann::json::const_iterator next;
};

bool isEmptyContainer(const nlohmann::json& value) {
    return (value.is_object() || value.is_array()) && value.empty();
}

}  // namespace

void appendJsonString(std::string& out, std::string_view text) {
    out.push_back('"');
    std::size_t i = 0;
    std::size_t runStart = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c != '"' && c != '\\' && c < 0x80) {
            ++i;
            continue;
        }
        if (c >= 0x80) {
            if (const auto length = utf8SequenceLength(text, i); length > 0) {
                i += length;
                continue;
            }
        }
        out.append(text.substr(runStart, i - runStart));
        if (c >= 0x80)
            out += "\xEF\xBF\xBD";  // U+FFFD for a byte that starts no valid sequence
        else
            appendEscape(out, c);
        runStart = ++i;
    }
    out.append(text.substr(runStart));
    out.push_back('"');
}

void appendJsonFloat(std::string& out, float value) {
    if (!std::isfinite(value)) {
        out += "null";
        return;
    }
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

void appendJsonNewline(std::string& out, int level) {
    out.push_back('\n');
    out.append(static_cast<std::size_t>(level) * 2, ' ');
}

std::string writePrettyJson(const nlohmann::json& value) {
    std::string out;
    std::vector<Frame> stack;

    // Writes a value; an open container is pushed and continued by the loop below.
    const auto begin = [&](const nlohmann::json& v) {
        if (isEmptyContainer(v)) {
            out += v.is_object() ? "{}" : "[]";
        } else if (v.is_object() || v.is_array()) {
            out.push_back(v.is_object() ? '{' : '[');
            stack.push_back({&v, v.cbegin()});
        } else {
            appendScalar(out, v);
        }
    };

    begin(value);
    while (!stack.empty()) {
        auto& frame = stack.back();
        const auto level = static_cast<int>(stack.size());
        const bool isObject = frame.container->is_object();
        if (frame.next == frame.container->cend()) {
            appendJsonNewline(out, level - 1);
            out.push_back(isObject ? '}' : ']');
            stack.pop_back();
            continue;
        }
        if (frame.next != frame.container->cbegin()) out.push_back(',');
        appendJsonNewline(out, level);
        const auto current = frame.next++;
        if (isObject) {
            appendJsonString(out, current.key());
            out += ": ";
        }
        begin(*current);  // may grow the stack: `frame` is not used after this
    }
    out.push_back('\n');
    return out;
}

}  // namespace joywright
