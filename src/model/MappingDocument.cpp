#include "model/MappingDocument.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "model/JsonTree.hpp"
#include "support/JsonWriter.hpp"

namespace joywright {

namespace {

using Node = JsonTree::Node;
using Type = JsonTree::Type;

// One step of the way from the top of the document down to a member; lives on the stack and is
// only turned into text when reading fails.
struct Path {
    const Path* parent = nullptr;
    std::string_view key;
    std::size_t index = 0;
    bool isIndex = false;

    Path operator/(std::string_view member) const { return {this, member, 0, false}; }
    Path operator[](std::size_t element) const { return {this, {}, element, true}; }

    // "inputs[3].output.pressKey.combo"; "document" for the top.
    std::string text() const {
        std::vector<const Path*> steps;
        for (const Path* p = this; p->parent != nullptr; p = p->parent)
            steps.push_back(p);
        if (steps.empty()) return "document";
        std::string out;
        for (auto it = steps.rbegin(); it != steps.rend(); ++it) {
            if ((*it)->isIndex) {
                out += '[' + std::to_string((*it)->index) + ']';
            } else {
                if (!out.empty()) out += '.';
                out += (*it)->key;
            }
        }
        return out;
    }
};

std::string_view typeName(Type type) {
    switch (type) {
        case Type::null:
            return "null";
        case Type::boolean:
            return "a Boolean";
        case Type::number:
            return "a number";
        case Type::string:
            return "a string";
        case Type::array:
            return "an array";
        case Type::object:
            return "an object";
    }
    return "a value";
}

std::string quoted(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    out += text;
    out += '"';
    return out;
}

// The order of magnitude of a JSON number's text (1e-50 gives -50, 1234.6 gives 3); saturates.
long long decimalMagnitude(std::string_view number) {
    std::size_t i = number.starts_with('-') ? 1 : 0;
    long long magnitude = 0;
    bool found = false;
    long long intDigits = 0;
    for (; i < number.size() && number[i] >= '0' && number[i] <= '9'; ++i)
        if (found || number[i] != '0') {
            found = true;
            ++intDigits;
        }
    if (found) magnitude = intDigits - 1;
    if (i < number.size() && number[i] == '.') {
        long long position = 0;
        for (++i; i < number.size() && number[i] >= '0' && number[i] <= '9'; ++i) {
            --position;
            if (!found && number[i] != '0') {
                found = true;
                magnitude = position;
            }
        }
    }
    if (i < number.size() && (number[i] == 'e' || number[i] == 'E')) {
        ++i;
        const bool negative = i < number.size() && number[i] == '-';
        if (i < number.size() && (number[i] == '-' || number[i] == '+')) ++i;
        long long exponent = 0;
        for (; i < number.size(); ++i)
            exponent = std::min(exponent * 10 + (number[i] - '0'), 1'000'000'000LL);
        magnitude += negative ? -exponent : exponent;
    }
    return magnitude;
}

// The 32-bit float nearest to a JSON number's text; none when it is beyond the float range.
// Numbers too small for a float read as zero.
std::optional<float> float32Value(std::string_view number) {
    float value = 0;
    const auto* end = number.data() + number.size();
    const auto result = std::from_chars(number.data(), end, value);
    if (result.ec == std::errc{} && result.ptr == end) return value;
    if (result.ec == std::errc::result_out_of_range && decimalMagnitude(number) < 0)
        return number.starts_with('-') ? -0.0f : 0.0f;
    return std::nullopt;
}

// The whole number a JSON number's text holds (5, 5.0, 5e0), when it is within 0...max.
std::optional<std::uint64_t> wholeNumber(std::string_view number, std::uint64_t max) {
    const auto* end = number.data() + number.size();
    if (number.find_first_of(".eE") == std::string_view::npos) {
        if (number.starts_with('-')) {
            if (number == "-0") return 0;
            return std::nullopt;
        }
        std::uint64_t value = 0;
        const auto result = std::from_chars(number.data(), end, value);
        if (result.ec != std::errc{} || result.ptr != end || value > max) return std::nullopt;
        return value;
    }
    double value = 0;
    const auto result = std::from_chars(number.data(), end, value);
    if (result.ec != std::errc{} || result.ptr != end) return std::nullopt;
    if (value != std::floor(value) || value < 0 || value > static_cast<double>(max))
        return std::nullopt;
    return static_cast<std::uint64_t>(value);
}

// Reads mappings out of a parsed tree. Every read function returns false after recording the
// first failure, which ends reading.
class DocumentReader {
public:
    explicit DocumentReader(const JsonTree& tree) : tree_(tree) {}

    const DocumentError& error() const { return *error_; }

    bool readMapping(const Node& node, const Path& at, Mapping& mapping) {
        if (!expect(node, Type::object, at)) return false;

        std::string_view text;
        if (!requiredString(node, "id", at, text)) return false;
        const auto id = Uuid::parse(text);
        if (!id)
            return fail(DocumentErrorKind::dataCorrupted, at / "id",
                        "Invalid UUID text " + quoted(text));
        mapping.id = *id;

        if (!requiredString(node, "name", at, text)) return false;
        mapping.name = text;

        const Path inputsPath = at / "inputs";
        const Node* inputs = required(node, "inputs", at);
        if (inputs == nullptr || !expect(*inputs, Type::array, inputsPath)) return false;
        std::vector<Input> list;
        list.reserve(inputs->size);
        std::size_t index = 0;
        for (const auto& element : tree_.children(*inputs)) {
            Input input{};
            if (!readInput(element, inputsPath[index++], input)) return false;
            list.push_back(input);
        }
        mapping.inputs = normalizedInputs(list);

        if (!readThumbstickMode(node, "leftThumbstickMode", at, mapping.leftThumbstickMode))
            return false;
        if (!readThumbstickMode(node, "rightThumbstickMode", at, mapping.rightThumbstickMode))
            return false;

        // Checked last, so that a malformed member of a newer document is what gets reported.
        mapping.schemaVersion = kCurrentSchemaVersion;
        if (const Node* version = optional(node, "schemaVersion")) {
            const Path versionPath = at / "schemaVersion";
            if (!expect(*version, Type::string, versionPath)) return false;
            if (version->text != kCurrentSchemaVersion)
                return fail(DocumentErrorKind::unsupportedSchemaVersion, versionPath,
                            "Unsupported schema version " + quoted(version->text));
        }
        return true;
    }

private:
    bool fail(DocumentErrorKind kind, const Path& at, std::string text) {
        if (!error_) error_ = DocumentError{kind, at.text(), std::move(text)};
        return false;
    }

    bool expect(const Node& node, Type type, const Path& at) {
        if (node.type == type) return true;
        return fail(DocumentErrorKind::wrongType, at,
                    "Expected " + std::string(typeName(type)) + " but found " +
                        std::string(typeName(node.type)));
    }

    // The member, or null after recording that it is missing. `at` is the object's path.
    const Node* required(const Node& object, std::string_view key, const Path& at) {
        const Node* member = tree_.member(object, key);
        if (member == nullptr)
            fail(DocumentErrorKind::missingMember, at / key, "Missing member " + quoted(key));
        return member;
    }

    // The member unless it is absent or null.
    const Node* optional(const Node& object, std::string_view key) const {
        const Node* member = tree_.member(object, key);
        return member != nullptr && member->type != Type::null ? member : nullptr;
    }

    bool requiredString(const Node& object, std::string_view key, const Path& at,
                        std::string_view& text) {
        const Node* member = required(object, key, at);
        if (member == nullptr || !expect(*member, Type::string, at / key)) return false;
        text = member->text;
        return true;
    }

    bool readInput(const Node& node, const Path& at, Input& input) {
        if (!expect(node, Type::object, at)) return false;
        std::string_view title;
        if (!requiredString(node, "id", at, title)) return false;
        const auto name = inputNameFromTitle(title);
        if (!name)
            return fail(DocumentErrorKind::dataCorrupted, at / "id",
                        "Unknown input title " + quoted(title));
        input.id = *name;
        const Node* output = required(node, "output", at);
        return output != nullptr && readOutput(*output, at / "output", input.output);
    }

    // The first case key present, in declaration order, decides; the other keys are ignored.
    bool readOutput(const Node& node, const Path& at, Output& output) {
        if (!expect(node, Type::object, at)) return false;
        if (tree_.member(node, "noop") != nullptr) {
            output = Output::noop();  // its value is never looked at
            return true;
        }
        if (const Node* payload = tree_.member(node, "pressKey")) {
            const Path path = at / "pressKey";
            if (!expect(*payload, Type::object, path)) return false;
            const Node* combo = required(*payload, "combo", path);
            Output::PressKey value;
            if (combo == nullptr || !readCombo(*combo, path / "combo", value.combo)) return false;
            output = {value};
            return true;
        }
        if (const Node* payload = tree_.member(node, "clickMouse")) {
            const Path path = at / "clickMouse";
            if (!expect(*payload, Type::object, path)) return false;
            const Node* button = required(*payload, "button", path);
            auto value = MouseButton::left();
            if (button == nullptr || !readButton(*button, path / "button", value)) return false;
            output = Output::clickMouse(value);
            return true;
        }
        if (const Node* payload = tree_.member(node, "moveMouse")) {
            const Path path = at / "moveMouse";
            Output::MoveMouse value{};
            if (!expect(*payload, Type::object, path) ||
                !readDirection(*payload, path, value.direction) ||
                !readSpeed(*payload, path, value.speed))
                return false;
            output = {value};
            return true;
        }
        if (const Node* payload = tree_.member(node, "scrollMouse")) {
            const Path path = at / "scrollMouse";
            Output::ScrollMouse value{.direction = Direction::left,
                                      .speed = kDefaultSpeed,
                                      .mode = ScrollMouseMode::continuous};
            if (!expect(*payload, Type::object, path) ||
                !readDirection(*payload, path, value.direction) ||
                !readSpeed(*payload, path, value.speed) ||
                !readScrollMode(*payload, path, value.mode))
                return false;
            output = {value};
            return true;
        }
        return fail(DocumentErrorKind::dataCorrupted, at, "Unknown Output case");
    }

    bool readCombo(const Node& node, const Path& at, KeyCombo& combo) {
        if (!expect(node, Type::object, at)) return false;
        if (const Node* key = optional(node, "key")) {
            const Path keyPath = at / "key";
            if (!expect(*key, Type::number, keyPath)) return false;
            const auto raw = wholeNumber(key->text, std::numeric_limits<std::uint16_t>::max());
            const auto code =
                raw ? keyCodeFromRawValue(static_cast<std::uint32_t>(*raw)) : std::nullopt;
            if (!code)
                return fail(DocumentErrorKind::dataCorrupted, keyPath,
                            "Unknown key number " + std::string(key->text));
            combo.key = code;
        }
        const Path modifiersPath = at / "modifiers";
        const Node* modifiers = required(node, "modifiers", at);
        if (modifiers == nullptr || !expect(*modifiers, Type::array, modifiersPath)) return false;
        std::size_t index = 0;
        for (const auto& element : tree_.children(*modifiers)) {
            const Path elementPath = modifiersPath[index++];
            if (!expect(element, Type::string, elementPath)) return false;
            const auto modifier = modifierKeyFromPersistedName(element.text);
            if (!modifier)
                return fail(DocumentErrorKind::dataCorrupted, elementPath,
                            "Unknown ModifierKey value: " + std::string(element.text));
            combo.modifiers.insert(*modifier);
        }
        return true;
    }

    bool readButton(const Node& node, const Path& at, MouseButton& button) {
        if (!expect(node, Type::object, at)) return false;
        std::string_view type;
        if (!requiredString(node, "type", at, type)) return false;
        if (type == "left") {
            button = MouseButton::left();
        } else if (type == "right") {
            button = MouseButton::right();
        } else if (type == "center") {
            button = MouseButton::center();
        } else if (type == "other") {
            const Path rawPath = at / "rawValue";
            const Node* raw = required(node, "rawValue", at);
            if (raw == nullptr || !expect(*raw, Type::number, rawPath)) return false;
            const auto number = wholeNumber(raw->text, std::numeric_limits<std::uint32_t>::max());
            if (!number)
                return fail(DocumentErrorKind::dataCorrupted, rawPath,
                            "Mouse button number " + std::string(raw->text) +
                                " is not a whole number from 0 to 4294967295");
            button = MouseButton::other(static_cast<std::uint32_t>(*number));
        } else {
            return fail(DocumentErrorKind::dataCorrupted, at / "type", "Unknown MouseButton type");
        }
        return true;
    }

    // The "direction" member of `payload`: exactly one of the four direction keys.
    bool readDirection(const Node& payload, const Path& at, Direction& direction) {
        const Path path = at / "direction";
        const Node* node = required(payload, "direction", at);
        if (node == nullptr || !expect(*node, Type::object, path)) return false;
        DirectionSet found;
        for (const auto& member : tree_.children(*node))
            if (const auto d = directionFromCaseName(member.key)) found.insert(*d);
        const auto list = found.directions();
        if (list.size() != 1)
            return fail(DocumentErrorKind::wrongType, path,
                        "Invalid number of keys found, expected one.");
        const auto name = caseName(list[0]);
        if (!expect(*tree_.member(*node, name), Type::object, path / name)) return false;
        direction = list[0];
        return true;
    }

    // Speeds at or below 1 read as exactly 1.
    bool readSpeed(const Node& payload, const Path& at, float& speed) {
        const Path path = at / "speed";
        const Node* node = required(payload, "speed", at);
        if (node == nullptr || !expect(*node, Type::number, path)) return false;
        const auto value = float32Value(node->text);
        if (!value)
            return fail(DocumentErrorKind::dataCorrupted, path,
                        "Speed " + std::string(node->text) + " does not fit in a 32-bit float");
        speed = std::max(*value, 1.0f);
        return true;
    }

    bool readScrollMode(const Node& payload, const Path& at, ScrollMouseMode& mode) {
        const Node* node = optional(payload, "mode");
        if (node == nullptr) return true;  // continuous
        const Path path = at / "mode";
        if (!expect(*node, Type::string, path)) return false;
        const auto value = scrollMouseModeFromRawValue(node->text);
        if (!value)
            return fail(DocumentErrorKind::dataCorrupted, path,
                        "Unknown scroll mode " + quoted(node->text));
        mode = *value;
        return true;
    }

    bool readThumbstickMode(const Node& object, std::string_view key, const Path& at,
                            ThumbstickMode& mode) {
        mode = ThumbstickMode::smooth;
        const Node* node = optional(object, key);
        if (node == nullptr) return true;
        const Path path = at / key;
        if (!expect(*node, Type::string, path)) return false;
        const auto value = thumbstickModeFromRawValue(node->text);
        if (!value)
            return fail(DocumentErrorKind::dataCorrupted, path,
                        "Unknown thumbstick mode " + quoted(node->text));
        mode = *value;
        return true;
    }

    const JsonTree& tree_;
    std::optional<DocumentError> error_;
};

DocumentError notJson(const JsonTree::SyntaxError& error) {
    return {DocumentErrorKind::notJSON, "document",
            "The text is not valid JSON: " + error.description()};
}

// Reading allocates; running out of memory on a huge text is reported, not thrown.
DocumentError unreadable(const std::exception& e) {
    return {DocumentErrorKind::notJSON, "document",
            std::string("The document could not be read: ") + e.what()};
}

// Appends what control characters would make of a one-line text: "\n", "\t", "\u001b", ...
void appendOneLine(std::string& out, std::string_view text) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7F) {
            out.push_back(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\u%04X", static_cast<unsigned>(byte));
            out += buffer;
        }
    }
}

// ----- Writing -----

// A speed the reader reads back: NaN as 1, infinities as the largest float of their sign.
float writableSpeed(float speed) {
    if (std::isnan(speed)) return 1.0f;
    constexpr float kMax = std::numeric_limits<float>::max();
    return std::clamp(speed, -kMax, kMax);
}

class DocumentWriter {
public:
    explicit DocumentWriter(std::string& out) : out_(out) {}

    void mapping(const Mapping& m) {
        out_ += '{';
        key(1, "id");
        appendJsonString(out_, m.id.text());
        out_ += ',';
        key(1, "inputs");
        if (m.inputs.empty()) {
            out_ += "[]";
        } else {
            out_ += '[';
            for (std::size_t i = 0; i < m.inputs.size(); ++i) {
                if (i > 0) out_ += ',';
                appendJsonNewline(out_, 2);
                input(m.inputs[i]);
            }
            appendJsonNewline(out_, 1);
            out_ += ']';
        }
        out_ += ',';
        key(1, "leftThumbstickMode");
        appendJsonString(out_, rawValue(m.leftThumbstickMode));
        out_ += ',';
        key(1, "name");
        appendJsonString(out_, m.name);
        out_ += ',';
        key(1, "rightThumbstickMode");
        appendJsonString(out_, rawValue(m.rightThumbstickMode));
        out_ += ',';
        key(1, "schemaVersion");
        appendJsonString(out_, m.schemaVersion);
        appendJsonNewline(out_, 0);
        out_ += "}\n";
    }

private:
    // A line break, the indent and `"name": `. Keys are plain ASCII names.
    void key(int level, std::string_view name) {
        appendJsonNewline(out_, level);
        out_ += '"';
        out_ += name;
        out_ += "\": ";
    }

    void open(int level, std::string_view name) {
        key(level, name);
        out_ += '{';
    }
    void close(int level) {
        appendJsonNewline(out_, level);
        out_ += '}';
    }

    void input(const Input& in) {
        out_ += '{';
        key(3, "id");
        appendJsonString(out_, title(in.id));
        out_ += ',';
        open(3, "output");
        output(in.output);
        close(3);
        close(2);
    }

    // The members of an output object at level 4, inside braces already opened at level 3.
    void output(const Output& o) {
        if (o.is<Output::Noop>()) {
            key(4, "noop");
            out_ += "{}";
        } else if (const auto* press = o.as<Output::PressKey>()) {
            open(4, "pressKey");
            open(5, "combo");
            if (press->combo.key) {
                key(6, "key");
                out_ += std::to_string(rawValue(*press->combo.key));
                out_ += ',';
            }
            key(6, "modifiers");
            if (press->combo.modifiers.empty()) {
                out_ += "[]";
            } else {
                out_ += '[';
                bool first = true;
                for (const auto modifier : press->combo.modifiers) {
                    if (!first) out_ += ',';
                    first = false;
                    appendJsonNewline(out_, 7);
                    appendJsonString(out_, persistedName(modifier));
                }
                appendJsonNewline(out_, 6);
                out_ += ']';
            }
            close(5);
            close(4);
        } else if (const auto* click = o.as<Output::ClickMouse>()) {
            open(4, "clickMouse");
            open(5, "button");
            const auto kind = click->button.kind();
            if (kind == MouseButton::Kind::other) {
                key(6, "rawValue");
                out_ += std::to_string(click->button.buttonNumber());
                out_ += ',';
            }
            key(6, "type");
            appendJsonString(
                out_, kind == MouseButton::Kind::other ? "other" : click->button.description());
            close(5);
            close(4);
        } else if (const auto* move = o.as<Output::MoveMouse>()) {
            open(4, "moveMouse");
            direction(move->direction);
            out_ += ',';
            key(5, "speed");
            appendJsonFloat(out_, writableSpeed(move->speed));
            close(4);
        } else if (const auto* scroll = o.as<Output::ScrollMouse>()) {
            open(4, "scrollMouse");
            direction(scroll->direction);
            out_ += ',';
            key(5, "mode");
            appendJsonString(out_, rawValue(scroll->mode));
            out_ += ',';
            key(5, "speed");
            appendJsonFloat(out_, writableSpeed(scroll->speed));
            close(4);
        }
    }

    void direction(Direction d) {
        open(5, "direction");
        key(6, caseName(d));
        out_ += "{}";
        close(5);
    }

    std::string& out_;
};

}  // namespace

std::string_view name(DocumentErrorKind kind) {
    switch (kind) {
        case DocumentErrorKind::notJSON:
            return "notJSON";
        case DocumentErrorKind::missingMember:
            return "missingMember";
        case DocumentErrorKind::wrongType:
            return "wrongType";
        case DocumentErrorKind::dataCorrupted:
            return "dataCorrupted";
        case DocumentErrorKind::unsupportedSchemaVersion:
            return "unsupportedSchemaVersion";
    }
    return "unknown";
}

std::string DocumentError::description() const {
    std::string out(name(kind));
    out += " at ";
    appendOneLine(out, location);
    out += ": ";
    appendOneLine(out, text);
    return out;
}

Expected<Mapping, DocumentError> readMappingDocument(std::string_view json) {
    try {
        JsonTree tree;
        if (const auto error = tree.parse(json)) return unexpected(notJson(*error));
        DocumentReader reader(tree);
        Mapping mapping;
        if (!reader.readMapping(tree.root(), Path{}, mapping)) return unexpected(reader.error());
        return mapping;
    } catch (const std::exception& e) {
        return unexpected(unreadable(e));
    }
}

Expected<std::vector<Mapping>, DocumentError> readMappingDocuments(std::string_view json) {
    try {
        JsonTree tree;
        if (const auto error = tree.parse(json)) return unexpected(notJson(*error));
        const Path top;
        const auto& root = tree.root();
        if (root.type != Type::array)
            return unexpected(
                DocumentError{DocumentErrorKind::wrongType, "document",
                              "Expected an array but found " + std::string(typeName(root.type))});
        DocumentReader reader(tree);
        std::vector<Mapping> mappings;
        mappings.reserve(root.size);
        std::size_t index = 0;
        for (const auto& element : tree.children(root)) {
            Mapping mapping;
            if (!reader.readMapping(element, top[index++], mapping))
                return unexpected(reader.error());
            mappings.push_back(std::move(mapping));
        }
        return mappings;
    } catch (const std::exception& e) {
        return unexpected(unreadable(e));
    }
}

std::string writeMappingDocument(const Mapping& mapping) {
    std::string out;
    out.reserve(256 + mapping.name.size() + mapping.inputs.size() * 256);
    DocumentWriter(out).mapping(mapping);
    return out;
}

}  // namespace joywright
