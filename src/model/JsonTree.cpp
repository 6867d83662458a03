#include "model/JsonTree.hpp"

#include <cstdio>

#include "support/Utf8.hpp"

namespace joywright {

std::string JsonTree::SyntaxError::description() const {
    return message + " at line " + std::to_string(line) + ", column " + std::to_string(column);
}

const JsonTree::Node* JsonTree::member(const Node& object, std::string_view key) const {
    const Node* found = nullptr;
    for (const auto& child : children(object))
        if (child.key == key) found = &child;
    return found;
}

// Recursive descent over the text; depth is bounded by JsonTree::kMaxDepth.
class JsonParser {
public:
    JsonParser(std::string_view text, JsonTree& tree) : text_(text), tree_(tree) {}

    std::optional<JsonTree::SyntaxError> run() {
        tree_.nodes_.clear();
        tree_.unescaped_.clear();
        tree_.nodes_.reserve(text_.size() / 16 + 8);
        if (text_.starts_with("\xEF\xBB\xBF")) pos_ = 3;
        skipWhitespace();
        if (atEnd()) return fail(text_.empty() ? "The text is empty" : "Unexpected end of text");
        if (parseValue(0) == JsonTree::kNone) return error_;
        skipWhitespace();
        if (!atEnd()) return fail("Unexpected " + describeHere() + " after the document");
        return std::nullopt;
    }

private:
    using Node = JsonTree::Node;
    using Type = JsonTree::Type;

    bool atEnd() const { return pos_ >= text_.size(); }
    char peek() const { return text_[pos_]; }

    void skipWhitespace() {
        while (!atEnd()) {
            const char c = peek();
            if (c != ' ' && c != '\t' && c != '\n' && c != '\r') return;
            ++pos_;
        }
    }

    // Records the first error (at the current position) and gives the parse functions' failure.
    JsonTree::SyntaxError fail(std::string message) {
        JsonTree::SyntaxError error;
        error.message = std::move(message);
        const auto end = std::min(pos_, text_.size());
        for (std::size_t i = 0; i < end; ++i) {
            const auto c = static_cast<unsigned char>(text_[i]);
            if (c == '\n') {
                ++error.line;
                error.column = 1;
            } else if ((c & 0xC0) != 0x80) {
                ++error.column;
            }
        }
        error_ = error;
        return error;
    }
    std::uint32_t failed(std::string message) {
        fail(std::move(message));
        return JsonTree::kNone;
    }

    std::string describeHere() const {
        if (atEnd()) return "end of text";
        const auto c = static_cast<unsigned char>(peek());
        if (c >= 0x20 && c < 0x7F) return std::string("character '") + static_cast<char>(c) + "'";
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "byte 0x%02X", static_cast<unsigned>(c));
        return buffer;
    }

    std::uint32_t addNode(Type type) {
        if (tree_.nodes_.size() >= JsonTree::kNone - 1) return failed("The text is too large");
        Node node;
        node.type = type;
        tree_.nodes_.push_back(node);
        return static_cast<std::uint32_t>(tree_.nodes_.size() - 1);
    }

    std::uint32_t parseValue(int depth) {
        if (atEnd()) return failed("Unexpected end of text");
        switch (peek()) {
            case '{':
                return parseContainer(depth + 1, Type::object);
            case '[':
                return parseContainer(depth + 1, Type::array);
            case '"': {
                std::string_view contents;
                if (!parseString(contents)) return JsonTree::kNone;
                const auto index = addNode(Type::string);
                if (index != JsonTree::kNone) tree_.nodes_[index].text = contents;
                return index;
            }
            case 't':
                return parseLiteral("true", Type::boolean, true);
            case 'f':
                return parseLiteral("false", Type::boolean, false);
            case 'n':
                return parseLiteral("null", Type::null, false);
            default:
                return parseNumber();
        }
    }

    std::uint32_t parseLiteral(std::string_view word, Type type, bool value) {
        if (text_.substr(pos_, word.size()) != word) return failed("Unexpected " + describeHere());
        pos_ += word.size();
        const auto index = addNode(type);
        if (index != JsonTree::kNone) tree_.nodes_[index].boolean = value;
        return index;
    }

    bool digitHere() const { return !atEnd() && peek() >= '0' && peek() <= '9'; }
    void skipDigits() {
        while (digitHere())
            ++pos_;
    }

    std::uint32_t parseNumber() {
        const auto start = pos_;
        if (!atEnd() && peek() == '-') ++pos_;
        if (!digitHere()) return failed("Unexpected " + describeHere());
        if (peek() == '0')
            ++pos_;
        else
            skipDigits();
        if (!atEnd() && peek() == '.') {
            ++pos_;
            if (!digitHere()) return failed("Invalid number: expected a digit after '.'");
            skipDigits();
        }
        if (!atEnd() && (peek() == 'e' || peek() == 'E')) {
            ++pos_;
            if (!atEnd() && (peek() == '+' || peek() == '-')) ++pos_;
            if (!digitHere()) return failed("Invalid number: expected a digit in the exponent");
            skipDigits();
        }
        const auto index = addNode(Type::number);
        if (index != JsonTree::kNone) tree_.nodes_[index].text = text_.substr(start, pos_ - start);
        return index;
    }

    std::uint32_t parseContainer(int depth, Type type) {
        if (depth > JsonTree::kMaxDepth)
            return failed("Nesting deeper than " + std::to_string(JsonTree::kMaxDepth) + " levels");
        const bool isObject = type == Type::object;
        const char close = isObject ? '}' : ']';
        const auto index = addNode(type);
        if (index == JsonTree::kNone) return index;
        ++pos_;
        skipWhitespace();
        if (!atEnd() && peek() == close) {
            ++pos_;
            return index;
        }
        std::uint32_t last = JsonTree::kNone;
        while (true) {
            std::string_view key;
            if (isObject) {
                skipWhitespace();
                if (atEnd() || peek() != '"')
                    return failed("Expected a member name in quotes, found " + describeHere());
                if (!parseString(key)) return JsonTree::kNone;
                skipWhitespace();
                if (atEnd() || peek() != ':')
                    return failed("Expected ':' after a member name, found " + describeHere());
                ++pos_;
            }
            skipWhitespace();
            const auto child = parseValue(depth);
            if (child == JsonTree::kNone) return child;
            auto& nodes = tree_.nodes_;
            nodes[child].key = key;
            if (last == JsonTree::kNone)
                nodes[index].firstChild = child;
            else
                nodes[last].nextSibling = child;
            last = child;
            ++nodes[index].size;
            skipWhitespace();
            if (atEnd()) return failed("Unexpected end of text");
            if (peek() == ',') {
                ++pos_;
                continue;
            }
            if (peek() == close) {
                ++pos_;
                return index;
            }
            return failed(std::string("Expected ',' or '") + close + "', found " + describeHere());
        }
    }

    // The string at pos_ (which is at its opening quote); views the text unless it holds escapes.
    bool parseString(std::string_view& contents) {
        ++pos_;
        const auto start = pos_;
        while (!atEnd()) {
            const auto c = static_cast<unsigned char>(peek());
            if (c == '"') {
                contents = text_.substr(start, pos_ - start);
                ++pos_;
                return true;
            }
            if (c == '\\') return parseEscapedString(start, contents);
            if (!acceptCharacter()) return false;
        }
        fail("Unterminated string");
        return false;
    }

    // Moves past one unescaped character of a string, checking that it may stand there.
    bool acceptCharacter() {
        const auto c = static_cast<unsigned char>(peek());
        if (c < 0x20) {
            fail("Unescaped control character in a string");
            return false;
        }
        const auto length = c < 0x80 ? 1 : utf8SequenceLength(text_, pos_);
        if (length == 0) {
            fail("Invalid UTF-8 in a string");
            return false;
        }
        pos_ += length;
        return true;
    }

    bool parseEscapedString(std::size_t start, std::string_view& contents) {
        auto& out = tree_.unescaped_.emplace_back(text_.substr(start, pos_ - start));
        while (!atEnd()) {
            const char c = peek();
            if (c == '"') {
                ++pos_;
                contents = out;
                return true;
            }
            if (c != '\\') {
                const auto from = pos_;
                if (!acceptCharacter()) return false;
                out.append(text_.substr(from, pos_ - from));
                continue;
            }
            ++pos_;
            if (atEnd()) break;
            const char e = peek();
            ++pos_;
            switch (e) {
                case '"':
                    out.push_back('"');
                    break;
                case '\\':
                    out.push_back('\\');
                    break;
                case '/':
                    out.push_back('/');
                    break;
                case 'b':
                    out.push_back('\b');
                    break;
                case 'f':
                    out.push_back('\f');
                    break;
                case 'n':
                    out.push_back('\n');
                    break;
                case 'r':
                    out.push_back('\r');
                    break;
                case 't':
                    out.push_back('\t');
                    break;
                case 'u': {
                    std::uint32_t codePoint = 0;
                    if (!parseUnicodeEscape(codePoint)) return false;
                    appendUtf8(out, codePoint);
                    break;
                }
                default: {
                    --pos_;
                    fail("Invalid escape sequence '\\" + std::string(1, e) + "'");
                    return false;
                }
            }
        }
        fail("Unterminated string");
        return false;
    }

    bool parseHex4(std::uint32_t& value) {
        if (text_.size() - pos_ < 4) {
            fail("Invalid \\u escape: expected four hexadecimal digits");
            return false;
        }
        value = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = peek();
            std::uint32_t digit = 0;
            if (c >= '0' && c <= '9')
                digit = static_cast<std::uint32_t>(c - '0');
            else if (c >= 'a' && c <= 'f')
                digit = static_cast<std::uint32_t>(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F')
                digit = static_cast<std::uint32_t>(c - 'A' + 10);
            else {
                fail("Invalid \\u escape: expected four hexadecimal digits");
                return false;
            }
            value = value * 16 + digit;
            ++pos_;
        }
        return true;
    }

    // After "\u": four hex digits, and for a high surrogate the "\uDC00"-"\uDFFF" that pairs it.
    bool parseUnicodeEscape(std::uint32_t& codePoint) {
        if (!parseHex4(codePoint)) return false;
        if (codePoint >= 0xDC00 && codePoint <= 0xDFFF) {
            fail("Invalid \\u escape: unpaired low surrogate");
            return false;
        }
        if (codePoint < 0xD800 || codePoint > 0xDBFF) return true;
        if (text_.substr(pos_, 2) != "\\u") {
            fail("Invalid \\u escape: unpaired high surrogate");
            return false;
        }
        pos_ += 2;
        std::uint32_t low = 0;
        if (!parseHex4(low)) return false;
        if (low < 0xDC00 || low > 0xDFFF) {
            fail("Invalid \\u escape: unpaired high surrogate");
            return false;
        }
        codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (low - 0xDC00);
        return true;
    }

    std::string_view text_;
    JsonTree& tree_;
    std::size_t pos_ = 0;
    std::optional<JsonTree::SyntaxError> error_;
};

std::optional<JsonTree::SyntaxError> JsonTree::parse(std::string_view text) {
    return JsonParser(text, *this).run();
}

}  // namespace joywright
