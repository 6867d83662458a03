#include <gtest/gtest.h>

#include <fstream>
#include <limits>
#include <nlohmann/json.hpp>
#include <sstream>

#include "model/MappingDocument.hpp"

namespace joywright {
namespace {

using M = ModifierKey;

constexpr std::string_view kId = "0192F0C8-3B7A-7C1D-8E2F-3A4B5C6D7E8F";

// A document around an "inputs" array, with further top-level members appended.
std::string document(std::string_view inputs, std::string_view more = "") {
    return std::string(R"({"id":")") + std::string(kId) + R"(","name":"Doc","inputs":)" +
           std::string(inputs) + std::string(more) + "}";
}

// A document whose only input is "A" with the given output object.
std::string withOutputOfA(std::string_view output) {
    return document(std::string(R"([{"id":"A","output":)") + std::string(output) + "}]");
}

Mapping read(std::string_view json) {
    auto result = readMappingDocument(json);
    EXPECT_TRUE(result) << json << "\n" << result.error().description();
    return result ? std::move(result).value() : Mapping{};
}

// Reading fails with this "<kind> at <location>: <text>".
void expectError(const std::string& json, std::string_view description) {
    SCOPED_TRACE(json);
    const auto result = readMappingDocument(json);
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error().description(), description);
}

TEST(MappingDocument, WorkedExampleReadsAndWritesBackByteForByte) {
    std::ifstream file(std::string(JOYWRIGHT_TEST_DATA_DIR) + "/worked-example.json");
    const std::string text{std::istreambuf_iterator<char>(file), {}};
    ASSERT_FALSE(text.empty());
    Mapping expected;
    expected.id = *Uuid::parse(kId);
    expected.name = "Example";
    expected.inputs = normalizedInputs(std::vector<Input>{
        {InputName::buttonA, Output::pressKey({KeyCode::g, {M::leftCommand}})},
        {InputName::rightThumbstickUp,
         Output::scrollMouse(Direction::up, 800, ScrollMouseMode::continuous)},
    });
    EXPECT_EQ(read(text), expected);
    EXPECT_EQ(writeMappingDocument(expected), text);
}

TEST(MappingDocument, TopLevelMembersTakeTheirDefaults) {
    auto mapping = read(document("[]"));
    EXPECT_EQ(mapping.id.text(), kId);
    EXPECT_EQ(mapping.name, "Doc");
    EXPECT_EQ(mapping.inputs, normalizedInputs({}));
    EXPECT_EQ(mapping.leftThumbstickMode, ThumbstickMode::smooth);
    EXPECT_EQ(mapping.rightThumbstickMode, ThumbstickMode::smooth);
    EXPECT_EQ(mapping.schemaVersion, "1.0");
    EXPECT_NE(writeMappingDocument(mapping).find(R"("schemaVersion": "1.0")"), std::string::npos);

    mapping = read(document("[]", R"(,"leftThumbstickMode":"eightWay",)"
                                  R"("rightThumbstickMode":null,"schemaVersion":null)"));
    EXPECT_EQ(mapping.leftThumbstickMode, ThumbstickMode::eightWay);
    EXPECT_EQ(mapping.rightThumbstickMode, ThumbstickMode::smooth);
    EXPECT_EQ(mapping.schemaVersion, "1.0");

    // Either case of UUID text; a repeated key takes its last value; a byte order mark is fine.
    mapping = read(
        "\xEF\xBB\xBF"
        R"({"id":"0192f0c8-3b7a-7c1d-8e2f-3a4b5c6d7e8f",)"
        R"("name":"First","name":"Second","inputs":[]})");
    EXPECT_EQ(mapping.id.text(), kId);
    EXPECT_EQ(mapping.name, "Second");
}

// How "A" reads with the given output object.
Output outputOfA(std::string_view output) {
    return read(withOutputOfA(output)).outputOrNoop(InputName::buttonA);
}

TEST(MappingDocument, OutputsReadByTheirRulesAndDefaults) {
    const Output pressG = Output::pressKey({KeyCode::g, {}});
    const auto scroll = [](Direction d, float speed, ScrollMouseMode mode) {
        return Output::scrollMouse(d, speed, mode);
    };
    const std::pair<std::string_view, Output> kCases[] = {
        // The first case key in declaration order decides; the rest is not looked at.
        {R"({"moveMouse":{},"pressKey":{"combo":{"key":5,"modifiers":[]}}})", pressG},
        {R"({"noop":5})", Output::noop()},
        {R"({"noop":"anything","pressKey":7})", Output::noop()},
        {R"({"noop":null})", Output::noop()},
        // Scroll mode defaults to continuous.
        {R"({"scrollMouse":{"direction":{"down":{}},"speed":900}})",
         scroll(Direction::down, 900, ScrollMouseMode::continuous)},
        {R"({"scrollMouse":{"direction":{"down":{}},"speed":9,"mode":null}})",
         scroll(Direction::down, 9, ScrollMouseMode::continuous)},
        {R"({"scrollMouse":{"direction":{"left":{}},"speed":9,"mode":"notched"}})",
         scroll(Direction::left, 9, ScrollMouseMode::notched)},
        // Keys that are not directions are not counted; a direction's contents are ignored.
        {R"({"moveMouse":{"direction":{"up":{"x":1},"extra":{}},"speed":5}})",
         Output::moveMouse(Direction::up, 5)},
        // Named buttons ignore rawValue; other's number may be written as 4.0.
        {R"({"clickMouse":{"button":{"type":"left","rawValue":9}}})",
         Output::clickMouse(MouseButton::left())},
        {R"({"clickMouse":{"button":{"type":"other","rawValue":4.0}}})",
         Output::clickMouse(MouseButton::other(4))},
        {R"({"clickMouse":{"button":{"type":"other","rawValue":4294967295}}})",
         Output::clickMouse(MouseButton::other(4294967295u))},
        // Modifiers are a set; side-less names mean the left key.
        {R"({"pressKey":{"combo":{"modifiers":["shift","leftShift","shift"]}}})",
         Output::pressKey({std::nullopt, {M::leftShift}})},
        {R"({"pressKey":{"combo":{"key":null,"modifiers":["command","option"]}}})",
         Output::pressKey({std::nullopt, {M::leftCommand, M::leftOption}})},
        {R"({"pressKey":{"combo":{"key":5e0,"modifiers":[]}}})", pressG},
        {R"({"pressKey":{"combo":{"key":4119,"modifiers":[]}}})",
         Output::pressKey({KeyCode::illuminationToggle, {}})},
    };
    for (const auto& [output, a] : kCases) {
        SCOPED_TRACE(output);
        EXPECT_EQ(outputOfA(output), a);
    }
    // Speeds at or below 1 become 1; anything a float can hold is accepted.
    const std::pair<std::string_view, float> kSpeeds[] = {
        {"0.25", 1},         {"1", 1},
        {"1.0001", 1.0001f}, {"0", 1},
        {"-250", 1},         {"1e-50", 1},
        {"1234.6", 1234.6f}, {"3.4028234e38", std::numeric_limits<float>::max()}};
    for (auto [text, speed] : kSpeeds) {
        SCOPED_TRACE(text);
        EXPECT_EQ(
            outputOfA(R"({"moveMouse":{"direction":{"up":{}},"speed":)" + std::string(text) + "}}"),
            Output::moveMouse(Direction::up, speed));
    }
    // The last duplicate wins; unknown members are ignored at every level.
    const auto press = R"("output":{"pressKey":{"combo":{"key":5,"modifiers":[],"x":[]},"y":{}}})";
    EXPECT_EQ(read(document(std::string(R"([{"id":"A","output":{"noop":{}}},{"id":"A","z":0,)") +
                                press + "}]",
                            R"(,"extra":{"deep":[1,2,3]})"))
                  .outputOrNoop(InputName::buttonA),
              pressG);
}

TEST(MappingDocument, InputsAreNormalisedAfterReading) {
    const auto mapping = read(document(R"([{"id":"Home","output":{"clickMouse":{"button":)"
                                       R"j({"type":"center"}}}},{"id":"R1 (Shoulder)","output":)j"
                                       R"({"noop":{}}}])"));
    EXPECT_EQ(mapping.inputs,
              normalizedInputs(std::vector<Input>{
                  {InputName::buttonHome, Output::clickMouse(MouseButton::center())}}));
}

TEST(MappingDocument, ErrorsCarryKindLocationAndText) {
    const std::string id = R"("id":")" + std::string(kId) + R"(")";
    const std::pair<std::string, std::string_view> kCases[] = {
        {"1e400", "wrongType at document: Expected an object but found a number"},
        {R"({"name":"x","inputs":[]})", R"(missingMember at id: Missing member "id")"},
        {R"({"id":"nope","inputs":[]})", R"(dataCorrupted at id: Invalid UUID text "nope")"},
        {"{" + id + R"(,"name":null,"inputs":[]})",
         "wrongType at name: Expected a string but found null"},
        {"{" + id + R"(,"name":"x"})", R"(missingMember at inputs: Missing member "inputs")"},
        {"{" + id + R"(,"name":"x","inputs":{}})",
         "wrongType at inputs: Expected an array but found an object"},
        {document(R"([{"id":"A","output":{"noop":{}}},7])"),
         "wrongType at inputs[1]: Expected an object but found a number"},
        {document(R"([{"id":"a","output":{"noop":{}}}])"),
         R"(dataCorrupted at inputs[0].id: Unknown input title "a")"},
        {document(R"([{"id":"A"}])"),
         R"(missingMember at inputs[0].output: Missing member "output")"},
        {withOutputOfA("[]"),
         "wrongType at inputs[0].output: Expected an object but found an array"},
        {withOutputOfA(R"({"NoOp":{}})"), "dataCorrupted at inputs[0].output: Unknown Output case"},
        {withOutputOfA(R"({"pressKey":null,"noop2":{}})"),
         "wrongType at inputs[0].output.pressKey: Expected an object but found null"},
        {withOutputOfA(R"({"pressKey":{}})"),
         R"(missingMember at inputs[0].output.pressKey.combo: Missing member "combo")"},
        {withOutputOfA(R"({"pressKey":{"combo":{"key":5}}})"),
         "missingMember at inputs[0].output.pressKey.combo.modifiers: "
         R"(Missing member "modifiers")"},
        {withOutputOfA(R"({"pressKey":{"combo":{"modifiers":["shift","hyper"]}}})"),
         "dataCorrupted at inputs[0].output.pressKey.combo.modifiers[1]: "
         "Unknown ModifierKey value: hyper"},
        {withOutputOfA(R"({"pressKey":{"combo":{"modifiers":[1]}}})"),
         "wrongType at inputs[0].output.pressKey.combo.modifiers[0]: "
         "Expected a string but found a number"},
        {withOutputOfA(R"({"pressKey":{"combo":{"key":"5","modifiers":[]}}})"),
         "wrongType at inputs[0].output.pressKey.combo.key: Expected a number but found a string"},
        {withOutputOfA(R"({"clickMouse":{"button":{"type":"middle"}}})"),
         "dataCorrupted at inputs[0].output.clickMouse.button.type: Unknown MouseButton type"},
        {withOutputOfA(R"({"clickMouse":{"button":{"rawValue":3}}})"),
         R"(missingMember at inputs[0].output.clickMouse.button.type: Missing member "type")"},
        {withOutputOfA(R"({"clickMouse":{"button":{"type":"other"}}})"),
         "missingMember at inputs[0].output.clickMouse.button.rawValue: "
         R"(Missing member "rawValue")"},
        {withOutputOfA(R"({"clickMouse":{"button":{"type":"other","rawValue":4294967296}}})"),
         "dataCorrupted at inputs[0].output.clickMouse.button.rawValue: "
         "Mouse button number 4294967296 is not a whole number from 0 to 4294967295"},
        {withOutputOfA(R"({"moveMouse":{"direction":{"up":{},"down":{}},"speed":5}})"),
         "wrongType at inputs[0].output.moveMouse.direction: "
         "Invalid number of keys found, expected one."},
        {withOutputOfA(R"({"moveMouse":{"direction":{"Up":{}},"speed":5}})"),
         "wrongType at inputs[0].output.moveMouse.direction: "
         "Invalid number of keys found, expected one."},
        {withOutputOfA(R"({"scrollMouse":{"direction":{"up":true},"speed":5}})"),
         "wrongType at inputs[0].output.scrollMouse.direction.up: "
         "Expected an object but found a Boolean"},
        {withOutputOfA(R"({"moveMouse":{"speed":5}})"),
         R"(missingMember at inputs[0].output.moveMouse.direction: Missing member "direction")"},
        {withOutputOfA(R"({"moveMouse":{"direction":{"up":{}}}})"),
         R"(missingMember at inputs[0].output.moveMouse.speed: Missing member "speed")"},
        {withOutputOfA(R"({"moveMouse":{"direction":{"up":{}},"speed":"800"}})"),
         "wrongType at inputs[0].output.moveMouse.speed: Expected a number but found a string"},
        {withOutputOfA(R"({"scrollMouse":{"direction":{"up":{}},"speed":5,"mode":"Continuous"}})"),
         R"(dataCorrupted at inputs[0].output.scrollMouse.mode: Unknown scroll mode "Continuous")"},
        {document("[]", R"(,"leftThumbstickMode":"8-Way")"),
         R"(dataCorrupted at leftThumbstickMode: Unknown thumbstick mode "8-Way")"},
        {document("[]", R"(,"rightThumbstickMode":1)"),
         "wrongType at rightThumbstickMode: Expected a string but found a number"},
        {document("[]", R"(,"schemaVersion":1.0)"),
         "wrongType at schemaVersion: Expected a string but found a number"},
        // The version is checked last: a newer document's malformed member is what is reported.
        {document(R"([{"id":"Turbo","output":{"noop":{}}}])", R"(,"schemaVersion":"2.0")"),
         R"(dataCorrupted at inputs[0].id: Unknown input title "Turbo")"},
        {document("[]", R"(,"schemaVersion":"2.0","leftThumbstickMode":"fast")"),
         R"(dataCorrupted at leftThumbstickMode: Unknown thumbstick mode "fast")"},
    };
    for (const auto& [json, description] : kCases)
        expectError(json, description);
    for (std::string version : {"2.0", "1.0.0", "1"})
        expectError(document("[]", R"(,"schemaVersion":")" + version + "\""),
                    R"(unsupportedSchemaVersion at schemaVersion: Unsupported schema version ")" +
                        version + "\"");
    // Not a key, whatever the number's form: nothing may wrap, round or overflow into one.
    for (std::string number : {"10", "4100", "1.5", "-1", "65541", "1e999"})
        expectError(
            withOutputOfA(R"({"pressKey":{"combo":{"key":)" + number + R"(,"modifiers":[]}}})"),
            "dataCorrupted at inputs[0].output.pressKey.combo.key: Unknown key number " + number);
    for (std::string speed : {"1e300", "-3.5e38"})
        expectError(withOutputOfA(R"({"moveMouse":{"direction":{"up":{}},"speed":)" + speed + "}}"),
                    "dataCorrupted at inputs[0].output.moveMouse.speed: Speed " + speed +
                        " does not fit in a 32-bit float");
}

TEST(MappingDocument, TextThatIsNotJsonFailsWithoutCrashing) {
    // clang-format off
    const std::string kCases[] = {
        "", "   ", "{", R"({"id":})", "[1,]", "{'id':1}", "NaN", R"({"a":NaN})", R"({"a":-})",
        R"({"a":01})", R"({"a":1.})", R"({"a":.5})", R"({"a":tru})", "{} x", "\xFF{}",
        "{\"name\":\"\xC3\x28\"}",          // invalid UTF-8
        "{\"name\":\"\xC0\xAF\"}",          // overlong
        "{\"name\":\"\xED\xA0\x80\"}",      // a surrogate encoded in UTF-8
        "{\"name\":\"\xF4\x90\x80\x80\"}",  // beyond U+10FFFF
        R"({"name":"\uD800"})", R"({"name":"\uDC00\uD800"})", R"({"name":"\u12"})",
        R"({"name":"\x"})",
        "{\"name\":\"a\nb\"}",  // raw control character
        std::string("{\"name\":\"a\0b\"}", 13),
        std::string(100000, '['), std::string(100000, '{'),
        R"({"name":)" + std::string(600, '[') + std::string(600, ']') + "}",
    };
    // clang-format on
    for (const auto& json : kCases) {
        SCOPED_TRACE(json.substr(0, 40));
        const auto result = readMappingDocument(json);
        ASSERT_FALSE(result);
        EXPECT_EQ(result.error().kind, DocumentErrorKind::notJSON);
        EXPECT_EQ(result.error().location, "document");
        EXPECT_TRUE(result.error().text.starts_with("The text is not valid JSON: "))
            << result.error().text;
    }
    // Deep but legal nesting in an ignored member is read.
    EXPECT_TRUE(readMappingDocument(
        document("[]", R"(,"extra":)" + std::string(500, '[') + std::string(500, ']'))));
}

TEST(MappingDocument, SyntaxErrorsSayWhere) {
    expectError("{\n  \"id\": \"é\",\n  x\n}",
                "notJSON at document: The text is not valid JSON: Expected a member name in "
                "quotes, found character 'x' at line 3, column 3");
}

TEST(MappingDocument, NamesRoundTripEscapedAndAsValidUtf8) {
    auto mapping = read(std::string(R"({"id":")") + std::string(kId) +
                        R"(","name":"\"Q\" \\ \/ \u00e9\uD83C\uDFAE \t\n\u0001","inputs":[]})");
    EXPECT_EQ(mapping.name, "\"Q\" \\ / é\xF0\x9F\x8E\xAE \t\n\x01");
    EXPECT_EQ(read(writeMappingDocument(mapping)), mapping);
    EXPECT_NE(writeMappingDocument(mapping).find(R"("name": "\"Q\" \\ / é🎮 \t\n\u0001")"),
              std::string::npos);
    // Invalid UTF-8 in a name is written as U+FFFD, so the document still reads.
    mapping.name = "bad \xFF\xC3 name";
    EXPECT_EQ(read(writeMappingDocument(mapping)).name, "bad \uFFFD\uFFFD name");
}

TEST(MappingDocument, WriterKeepsEachPayloadInItsShape) {
    Mapping mapping = read(document("[]"));
    ASSERT_EQ(mapping.inputs.size(), 25u);
    const std::pair<Output, std::string_view> kCases[] = {
        // A combo without a key has no "key"; modifiers are written in case order.
        {Output::pressKey({}), R"({"pressKey":{"combo":{"modifiers":[]}}})"},
        {Output::pressKey({KeyCode::soundUp, {M::rightCommand, M::leftShift, M::leftControl}}),
         R"({"pressKey":{"combo":{"key":4096,)"
         R"("modifiers":["leftShift","leftControl","rightCommand"]}}})"},
        {Output::clickMouse(MouseButton::other(4)),
         R"({"clickMouse":{"button":{"rawValue":4,"type":"other"}}})"},
        {Output::clickMouse(MouseButton::center()),
         R"({"clickMouse":{"button":{"type":"center"}}})"},
        // Speeds as the shortest text that reads back as the same float.
        {Output::moveMouse(Direction::right, 1234.6f),
         R"({"moveMouse":{"direction":{"right":{}},"speed":1234.6}})"},
        {Output::moveMouse(Direction::up, 1e20f),
         R"({"moveMouse":{"direction":{"up":{}},"speed":1e+20}})"},
        {Output::scrollMouse(Direction::up, std::numeric_limits<float>::max(),
                             ScrollMouseMode::notched),
         R"({"scrollMouse":{"direction":{"up":{}},"mode":"notched","speed":3.4028235e+38}})"},
    };
    for (std::size_t i = 0; i < std::size(kCases); ++i)
        mapping.inputs[i].output = kCases[i].first;
    const auto text = writeMappingDocument(mapping);
    const auto written = nlohmann::json::parse(text);
    for (std::size_t i = 0; i < std::size(kCases); ++i) {
        SCOPED_TRACE(kCases[i].second);
        EXPECT_EQ(written.at("inputs").at(i).at("output"), nlohmann::json::parse(kCases[i].second));
    }
    EXPECT_EQ(read(text), mapping);

    // Speeds with no JSON form are written as values the reader accepts.
    const float kNan = std::numeric_limits<float>::quiet_NaN();
    const float kInf = std::numeric_limits<float>::infinity();
    for (auto [speed, back] : {std::pair{kNan, 1.0f}, {kInf, std::numeric_limits<float>::max()}}) {
        SCOPED_TRACE(speed);
        mapping.inputs[0].output = Output::moveMouse(Direction::left, speed);
        EXPECT_EQ(read(writeMappingDocument(mapping)).outputOrNoop(InputName::rightThumbstickLeft),
                  Output::moveMouse(Direction::left, back));
    }
}

TEST(MappingDocuments, ReadsAnArrayOfDocuments) {
    const auto both =
        readMappingDocuments("[" + document("[]") + ",\n" + withOutputOfA(R"({"noop":{}})") + "]");
    ASSERT_TRUE(both);
    EXPECT_EQ(both->size(), 2u);
    EXPECT_EQ(readMappingDocuments("[]")->size(), 0u);
    const auto error = [](const std::string& json) {
        return readMappingDocuments(json).error().description();
    };
    EXPECT_EQ(error("[" + document("[]") + R"(,{"id":")" + std::string(kId) + R"(","inputs":[]}])"),
              R"(missingMember at [1].name: Missing member "name")");
    EXPECT_EQ(error(document("[]")),
              "wrongType at document: Expected an array but found an object");
    EXPECT_EQ(readMappingDocuments("[").error().kind, DocumentErrorKind::notJSON);
}

TEST(DocumentError, DescriptionIsOneLine) {
    const DocumentError error{DocumentErrorKind::unsupportedSchemaVersion, "schemaVersion",
                              "Unsupported schema version \"2\n\x01\""};
    EXPECT_EQ(
        error.description(),
        R"(unsupportedSchemaVersion at schemaVersion: Unsupported schema version "2\n\u0001")");
}

}  // namespace
}  // namespace joywright
