#include <gtest/gtest.h>

#include <fstream>
#include <limits>
#include <sstream>

#include "model/MappingDocument.hpp"

namespace joywright {
namespace {

using Kind = DocumentErrorKind;
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

std::string fileText(const std::string& name) {
    std::ifstream file(std::string(JOYWRIGHT_TEST_DATA_DIR) + "/" + name, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

TEST(MappingDocument, WorkedExampleReadsAndWritesBackByteForByte) {
    const auto text = fileText("worked-example.json");
    ASSERT_FALSE(text.empty());
    Mapping expected;
    expected.id = *Uuid::parse(kId);
    expected.name = "Example";
    expected.inputs = normalizedInputs(std::vector<Input>{
        {InputName::buttonA, Output::pressKey({KeyCode::g, {M::leftCommand}})},
        {InputName::rightThumbstickUp,
         Output::scrollMouse(Direction::up, 800, ScrollMouseMode::continuous)},
    });
    const auto mapping = read(text);
    EXPECT_EQ(mapping, expected);
    EXPECT_EQ(mapping.inputs[2].id, InputName::rightThumbstickUp);
    EXPECT_EQ(mapping.inputs[14].id, InputName::buttonA);
    EXPECT_EQ(writeMappingDocument(expected), text);
}

TEST(MappingDocument, MinimalDocumentFillsEveryDefault) {
    const auto mapping = read(document("[]"));
    EXPECT_EQ(mapping.id.text(), kId);
    EXPECT_EQ(mapping.name, "Doc");
    EXPECT_EQ(mapping.inputs, normalizedInputs({}));
    EXPECT_EQ(mapping.leftThumbstickMode, ThumbstickMode::smooth);
    EXPECT_EQ(mapping.rightThumbstickMode, ThumbstickMode::smooth);
    EXPECT_EQ(mapping.schemaVersion, "1.0");
    EXPECT_NE(writeMappingDocument(mapping).find(R"("schemaVersion": "1.0")"), std::string::npos);
}

TEST(MappingDocument, ReaderRulesAndDefaults) {
    const Output pressG = Output::pressKey({KeyCode::g, {}});
    const auto move = [](float speed) { return Output::moveMouse(Direction::up, speed); };
    const auto moveWith = [](std::string_view speed) {
        return withOutputOfA(R"({"moveMouse":{"direction":{"up":{}},"speed":)" +
                             std::string(speed) + "}}");
    };
    struct Case {
        std::string json;
        Output a;  // what "A" reads as
    };
    const Case kCases[] = {
        // The last duplicate wins.
        {document(R"([{"id":"A","output":{"noop":{}}},)"
                  R"({"id":"A","output":{"pressKey":{"combo":{"key":5,"modifiers":[]}}}}])"),
         pressG},
        // Speeds at or below 1 become 1; anything a float can hold is accepted.
        {moveWith("0.25"), move(1)},
        {moveWith("1"), move(1)},
        {moveWith("1.0001"), move(1.0001f)},
        {moveWith("0"), move(1)},
        {moveWith("-0"), move(1)},
        {moveWith("-250"), move(1)},
        {moveWith("1e-50"), move(1)},
        {moveWith("1234.6"), move(1234.6f)},
        {moveWith("3.4028234e38"), move(std::numeric_limits<float>::max())},
        // The first case key in declaration order decides; the rest is not looked at.
        {withOutputOfA(R"({"moveMouse":{},"pressKey":{"combo":{"key":5,"modifiers":[]}}})"),
         pressG},
        {withOutputOfA(R"({"noop":5})"), Output::noop()},
        {withOutputOfA(R"({"noop":"anything","pressKey":7})"), Output::noop()},
        {withOutputOfA(R"({"noop":null})"), Output::noop()},
        // Scroll mode defaults to continuous.
        {withOutputOfA(R"({"scrollMouse":{"direction":{"down":{}},"speed":900}})"),
         Output::scrollMouse(Direction::down, 900, ScrollMouseMode::continuous)},
        {withOutputOfA(R"({"scrollMouse":{"direction":{"down":{}},"speed":9,"mode":null}})"),
         Output::scrollMouse(Direction::down, 9, ScrollMouseMode::continuous)},
        {withOutputOfA(R"({"scrollMouse":{"direction":{"left":{}},"speed":9,"mode":"notched"}})"),
         Output::scrollMouse(Direction::left, 9, ScrollMouseMode::notched)},
        // Keys that are not directions are not counted; a direction's contents are ignored.
        {withOutputOfA(R"({"moveMouse":{"direction":{"up":{"x":1},"extra":{}},"speed":5}})"),
         move(5)},
        // Named buttons ignore rawValue; other's number may be written as 4.0.
        {withOutputOfA(R"({"clickMouse":{"button":{"type":"left","rawValue":9}}})"),
         Output::clickMouse(MouseButton::left())},
        {withOutputOfA(R"({"clickMouse":{"button":{"type":"other","rawValue":4.0}}})"),
         Output::clickMouse(MouseButton::other(4))},
        {withOutputOfA(R"({"clickMouse":{"button":{"type":"other","rawValue":4294967295}}})"),
         Output::clickMouse(MouseButton::other(4294967295u))},
        // Modifiers are a set; side-less names mean the left key.
        {withOutputOfA(R"({"pressKey":{"combo":{"modifiers":["shift","leftShift","shift"]}}})"),
         Output::pressKey({std::nullopt, {M::leftShift}})},
        {withOutputOfA(R"({"pressKey":{"combo":{"key":null,"modifiers":["command","option"]}}})"),
         Output::pressKey({std::nullopt, {M::leftCommand, M::leftOption}})},
        {withOutputOfA(R"({"pressKey":{"combo":{"key":5e0,"modifiers":[]}}})"), pressG},
        {withOutputOfA(R"({"pressKey":{"combo":{"key":4119,"modifiers":[]}}})"),
         Output::pressKey({KeyCode::illuminationToggle, {}})},
        // Unknown members are ignored at every level.
        {document(R"([{"id":"A","note":1,"output":{"pressKey":{"combo":{"key":5,)"
                  R"("modifiers":[],"x":[]},"y":{}},"z":0}}])",
                  R"(,"extra":{"deep":[1,2,3]})"),
         pressG},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.json);
        EXPECT_EQ(read(c.json).outputOrNoop(InputName::buttonA), c.a);
    }
}

TEST(MappingDocument, InputsAreNormalisedAfterReading) {
    const auto mapping = read(document(R"([{"id":"Home","output":{"clickMouse":{"button":)"
                                       R"j({"type":"center"}}}},{"id":"R1 (Shoulder)","output":)j"
                                       R"({"noop":{}}}])"));
    ASSERT_EQ(mapping.inputs.size(), 25u);
    EXPECT_EQ(mapping.inputs[20],
              (Input{InputName::buttonHome, Output::clickMouse(MouseButton::center())}));
    for (std::size_t i = 0; i < 25; ++i) {
        EXPECT_EQ(mapping.inputs[i].id, allInputNames()[i]);
        if (i != 20) {
            EXPECT_EQ(mapping.inputs[i].output, Output::noop());
        }
    }
}

TEST(MappingDocument, TopLevelMembersModesVersionAndDuplicateKeys) {
    auto mapping = read(document("[]", R"(,"leftThumbstickMode":"eightWay",)"
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

TEST(MappingDocument, ErrorsCarryKindLocationAndText) {
    struct Case {
        std::string json;
        Kind kind;
        std::string_view location;
        std::string_view text;
    };
    const std::string id = R"("id":")" + std::string(kId) + R"(")";
    const Case kCases[] = {
        {"[1]", Kind::wrongType, "document", "Expected an object but found an array"},
        {"1e400", Kind::wrongType, "document", "Expected an object but found a number"},
        {R"({"name":"x","inputs":[]})", Kind::missingMember, "id", R"(Missing member "id")"},
        {R"({"id":5,"name":"x","inputs":[]})", Kind::wrongType, "id",
         "Expected a string but found a number"},
        {R"({"id":"nope","inputs":[]})", Kind::dataCorrupted, "id", R"(Invalid UUID text "nope")"},
        {"{" + id + R"(,"name":null,"inputs":[]})", Kind::wrongType, "name",
         "Expected a string but found null"},
        {"{" + id + R"(,"name":"x"})", Kind::missingMember, "inputs", R"(Missing member "inputs")"},
        {"{" + id + R"(,"name":"x","inputs":{}})", Kind::wrongType, "inputs",
         "Expected an array but found an object"},
        {document(R"([{"id":"A","output":{"noop":{}}},7])"), Kind::wrongType, "inputs[1]",
         "Expected an object but found a number"},
        {document(R"([{"id":"a","output":{"noop":{}}}])"), Kind::dataCorrupted, "inputs[0].id",
         R"(Unknown input title "a")"},
        {document(R"([{"id":"A"}])"), Kind::missingMember, "inputs[0].output",
         R"(Missing member "output")"},
        {withOutputOfA("[]"), Kind::wrongType, "inputs[0].output",
         "Expected an object but found an array"},
        {withOutputOfA(R"({"NoOp":{}})"), Kind::dataCorrupted, "inputs[0].output",
         "Unknown Output case"},
        {withOutputOfA("{}"), Kind::dataCorrupted, "inputs[0].output", "Unknown Output case"},
        {withOutputOfA(R"({"pressKey":null,"noop2":{}})"), Kind::wrongType,
         "inputs[0].output.pressKey", "Expected an object but found null"},
        {withOutputOfA(R"({"pressKey":{}})"), Kind::missingMember,
         "inputs[0].output.pressKey.combo", R"(Missing member "combo")"},
        {withOutputOfA(R"({"pressKey":{"combo":{"key":5}}})"), Kind::missingMember,
         "inputs[0].output.pressKey.combo.modifiers", R"(Missing member "modifiers")"},
        {withOutputOfA(R"({"pressKey":{"combo":{"modifiers":["shift","hyper"]}}})"),
         Kind::dataCorrupted, "inputs[0].output.pressKey.combo.modifiers[1]",
         "Unknown ModifierKey value: hyper"},
        {withOutputOfA(R"({"pressKey":{"combo":{"modifiers":["Shift"]}}})"), Kind::dataCorrupted,
         "inputs[0].output.pressKey.combo.modifiers[0]", "Unknown ModifierKey value: Shift"},
        {withOutputOfA(R"({"pressKey":{"combo":{"modifiers":[1]}}})"), Kind::wrongType,
         "inputs[0].output.pressKey.combo.modifiers[0]", "Expected a string but found a number"},
        {withOutputOfA(R"({"pressKey":{"combo":{"key":10,"modifiers":[]}}})"), Kind::dataCorrupted,
         "inputs[0].output.pressKey.combo.key", "Unknown key number 10"},
        {withOutputOfA(R"({"pressKey":{"combo":{"key":4100,"modifiers":[]}}})"),
         Kind::dataCorrupted, "inputs[0].output.pressKey.combo.key", "Unknown key number 4100"},
        {withOutputOfA(R"({"pressKey":{"combo":{"key":1.5,"modifiers":[]}}})"), Kind::dataCorrupted,
         "inputs[0].output.pressKey.combo.key", "Unknown key number 1.5"},
        {withOutputOfA(R"({"pressKey":{"combo":{"key":-1,"modifiers":[]}}})"), Kind::dataCorrupted,
         "inputs[0].output.pressKey.combo.key", "Unknown key number -1"},
        {withOutputOfA(R"({"pressKey":{"combo":{"key":65541,"modifiers":[]}}})"),
         Kind::dataCorrupted, "inputs[0].output.pressKey.combo.key", "Unknown key number 65541"},
        {withOutputOfA(R"({"pressKey":{"combo":{"key":1e999,"modifiers":[]}}})"),
         Kind::dataCorrupted, "inputs[0].output.pressKey.combo.key", "Unknown key number 1e999"},
        {withOutputOfA(R"({"pressKey":{"combo":{"key":"5","modifiers":[]}}})"), Kind::wrongType,
         "inputs[0].output.pressKey.combo.key", "Expected a number but found a string"},
        {withOutputOfA(R"({"clickMouse":{"button":{"type":"middle"}}})"), Kind::dataCorrupted,
         "inputs[0].output.clickMouse.button.type", "Unknown MouseButton type"},
        {withOutputOfA(R"({"clickMouse":{"button":{"rawValue":3}}})"), Kind::missingMember,
         "inputs[0].output.clickMouse.button.type", R"(Missing member "type")"},
        {withOutputOfA(R"({"clickMouse":{"button":{"type":"other"}}})"), Kind::missingMember,
         "inputs[0].output.clickMouse.button.rawValue", R"(Missing member "rawValue")"},
        {withOutputOfA(R"({"clickMouse":{"button":{"type":"other","rawValue":4294967296}}})"),
         Kind::dataCorrupted, "inputs[0].output.clickMouse.button.rawValue",
         "Mouse button number 4294967296 is not a whole number from 0 to 4294967295"},
        {withOutputOfA(R"({"moveMouse":{"direction":{"up":{},"down":{}},"speed":5}})"),
         Kind::wrongType, "inputs[0].output.moveMouse.direction",
         "Invalid number of keys found, expected one."},
        {withOutputOfA(R"({"moveMouse":{"direction":{"Up":{}},"speed":5}})"), Kind::wrongType,
         "inputs[0].output.moveMouse.direction", "Invalid number of keys found, expected one."},
        {withOutputOfA(R"({"scrollMouse":{"direction":{"up":true},"speed":5}})"), Kind::wrongType,
         "inputs[0].output.scrollMouse.direction.up", "Expected an object but found a Boolean"},
        {withOutputOfA(R"({"moveMouse":{"speed":5}})"), Kind::missingMember,
         "inputs[0].output.moveMouse.direction", R"(Missing member "direction")"},
        {withOutputOfA(R"({"moveMouse":{"direction":{"up":{}}}})"), Kind::missingMember,
         "inputs[0].output.moveMouse.speed", R"(Missing member "speed")"},
        {withOutputOfA(R"({"moveMouse":{"direction":{"up":{}},"speed":"800"}})"), Kind::wrongType,
         "inputs[0].output.moveMouse.speed", "Expected a number but found a string"},
        {withOutputOfA(R"({"moveMouse":{"direction":{"up":{}},"speed":1e300}})"),
         Kind::dataCorrupted, "inputs[0].output.moveMouse.speed",
         "Speed 1e300 does not fit in a 32-bit float"},
        {withOutputOfA(R"({"moveMouse":{"direction":{"up":{}},"speed":-3.5e38}})"),
         Kind::dataCorrupted, "inputs[0].output.moveMouse.speed",
         "Speed -3.5e38 does not fit in a 32-bit float"},
        {withOutputOfA(R"({"scrollMouse":{"direction":{"up":{}},"speed":5,"mode":"Continuous"}})"),
         Kind::dataCorrupted, "inputs[0].output.scrollMouse.mode",
         R"(Unknown scroll mode "Continuous")"},
        {document("[]", R"(,"leftThumbstickMode":"8-Way")"), Kind::dataCorrupted,
         "leftThumbstickMode", R"(Unknown thumbstick mode "8-Way")"},
        {document("[]", R"(,"rightThumbstickMode":1)"), Kind::wrongType, "rightThumbstickMode",
         "Expected a string but found a number"},
        {document("[]", R"(,"schemaVersion":"2.0")"), Kind::unsupportedSchemaVersion,
         "schemaVersion", R"(Unsupported schema version "2.0")"},
        {document("[]", R"(,"schemaVersion":"1.0.0")"), Kind::unsupportedSchemaVersion,
         "schemaVersion", R"(Unsupported schema version "1.0.0")"},
        {document("[]", R"(,"schemaVersion":"1")"), Kind::unsupportedSchemaVersion, "schemaVersion",
         R"(Unsupported schema version "1")"},
        {document("[]", R"(,"schemaVersion":1.0)"), Kind::wrongType, "schemaVersion",
         "Expected a string but found a number"},
        // The version is checked last: a newer document's malformed member is what is reported.
        {document(R"([{"id":"Turbo","output":{"noop":{}}}])", R"(,"schemaVersion":"2.0")"),
         Kind::dataCorrupted, "inputs[0].id", R"(Unknown input title "Turbo")"},
        {document("[]", R"(,"schemaVersion":"2.0","leftThumbstickMode":"fast")"),
         Kind::dataCorrupted, "leftThumbstickMode", R"(Unknown thumbstick mode "fast")"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.json);
        const auto result = readMappingDocument(c.json);
        ASSERT_FALSE(result);
        EXPECT_EQ(result.error(),
                  (DocumentError{c.kind, std::string(c.location), std::string(c.text)}));
    }
}

TEST(MappingDocument, TextThatIsNotJsonFailsWithoutCrashing) {
    const std::string kCases[] = {
        "",
        "   ",
        "{",
        R"({"id":})",
        "[1,]",
        "{'id':1}",
        "NaN",
        R"({"a":NaN})",
        R"({"a":-})",
        R"({"a":01})",
        R"({"a":1.})",
        R"({"a":.5})",
        R"({"a":tru})",
        "{} x",
        "\xFF{}",
        "{\"name\":\"\xC3\x28\"}",          // invalid UTF-8
        "{\"name\":\"\xC0\xAF\"}",          // overlong
        "{\"name\":\"\xED\xA0\x80\"}",      // a surrogate encoded in UTF-8
        "{\"name\":\"\xF4\x90\x80\x80\"}",  // beyond U+10FFFF
        R"({"name":"\uD800"})",
        R"({"name":"\uDC00\uD800"})",
        R"({"name":"\u12"})",
        R"({"name":"\x"})",
        "{\"name\":\"a\nb\"}",  // raw control character
        std::string("{\"name\":\"a\0b\"}", 13),
        std::string(100000, '['),
        std::string(100000, '{'),
        R"({"name":)" + std::string(600, '[') + std::string(600, ']') + "}",
    };
    for (const auto& json : kCases) {
        SCOPED_TRACE(json.substr(0, 40));
        const auto result = readMappingDocument(json);
        ASSERT_FALSE(result);
        EXPECT_EQ(result.error().kind, Kind::notJSON);
        EXPECT_EQ(result.error().location, "document");
        EXPECT_TRUE(result.error().text.starts_with("The text is not valid JSON: "))
            << result.error().text;
    }
}

TEST(MappingDocument, SyntaxErrorsSayWhere) {
    const auto result = readMappingDocument("{\n  \"id\": \"é\",\n  x\n}");
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error().description(),
              "notJSON at document: The text is not valid JSON: Expected a member name in quotes, "
              "found character 'x' at line 3, column 3");
}

TEST(MappingDocument, DeepButLegalNestingInIgnoredMembersIsRead) {
    const auto deep = std::string(500, '[') + std::string(500, ']');
    EXPECT_TRUE(readMappingDocument(document("[]", R"(,"extra":)" + deep)));
}

TEST(MappingDocument, EscapedAndUnicodeNamesRoundTrip) {
    const auto mapping =
        read(std::string(R"({"id":")") + std::string(kId) +
             R"(","name":"\"Q\" \\ \/ \u00e9\uD83C\uDFAE \t\n\u0001","inputs":[]})");
    EXPECT_EQ(mapping.name, "\"Q\" \\ / é\xF0\x9F\x8E\xAE \t\n\x01");
    EXPECT_EQ(read(writeMappingDocument(mapping)), mapping);
    EXPECT_NE(writeMappingDocument(mapping).find(R"("name": "\"Q\" \\ / é🎮 \t\n\u0001")"),
              std::string::npos);
}

TEST(MappingDocument, WriterKeepsKeysSortedAndPayloadsInTheirShape) {
    Mapping mapping = read(document("[]"));
    mapping.inputs[14].output = Output::pressKey({});
    mapping.inputs[15].output = Output::clickMouse(MouseButton::other(4));
    mapping.inputs[16].output =
        Output::pressKey({KeyCode::soundUp, {M::rightCommand, M::leftShift, M::leftControl}});
    mapping.inputs[17].output = Output::moveMouse(Direction::right, 1234.6f);
    const auto text = writeMappingDocument(mapping);
    const std::string_view kFragments[] = {
        R"({
      "id": "A",
      "output": {
        "pressKey": {
          "combo": {
            "modifiers": []
          }
        }
      }
    },)",
        R"(
        "clickMouse": {
          "button": {
            "rawValue": 4,
            "type": "other"
          }
        })",
        R"(
          "combo": {
            "key": 4096,
            "modifiers": [
              "leftShift",
              "leftControl",
              "rightCommand"
            ]
          })",
        R"(
        "moveMouse": {
          "direction": {
            "right": {}
          },
          "speed": 1234.6
        })",
    };
    for (auto fragment : kFragments) {
        SCOPED_TRACE(fragment);
        EXPECT_NE(text.find(fragment), std::string::npos) << text;
    }
    EXPECT_TRUE(text.ends_with("\"schemaVersion\": \"1.0\"\n}\n"));
    EXPECT_EQ(read(text), mapping);
}

TEST(MappingDocument, SpeedsAreWrittenAsTheShortestTextOfTheirFloat) {
    struct Case {
        float speed;
        std::string_view text;
    };
    const Case kCases[] = {
        {800, "800"},
        {1234.6f, "1234.6"},
        {1.0001f, "1.0001"},
        {1e20f, "1e+20"},
        {std::numeric_limits<float>::max(), "3.4028235e+38"},
        // No JSON form: written as values the reader accepts.
        {std::numeric_limits<float>::quiet_NaN(), "1"},
        {std::numeric_limits<float>::infinity(), "3.4028235e+38"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(std::string(c.text));
        Mapping mapping = read(document("[]"));
        mapping.inputs[0].output = Output::moveMouse(Direction::left, c.speed);
        const auto text = writeMappingDocument(mapping);
        EXPECT_NE(text.find("\"speed\": " + std::string(c.text) + "\n"), std::string::npos);
        const auto back = read(text);
        if (std::isfinite(c.speed)) {
            EXPECT_EQ(back, mapping);
        }
    }
}

TEST(MappingDocument, InvalidUtf8InANameIsWrittenAsReadableJson) {
    Mapping mapping = read(document("[]"));
    mapping.name = "bad \xFF\xC3 name";
    EXPECT_EQ(read(writeMappingDocument(mapping)).name, "bad \uFFFD\uFFFD name");
}

TEST(MappingDocuments, ReadsAnArrayOfDocuments) {
    const auto both =
        readMappingDocuments("[" + document("[]") + ",\n" + withOutputOfA(R"({"noop":{}})") + "]");
    ASSERT_TRUE(both);
    EXPECT_EQ(both->size(), 2u);
    EXPECT_EQ(readMappingDocuments("[]")->size(), 0u);

    const auto bad = readMappingDocuments("[" + document("[]") + R"(,{"id":")" + std::string(kId) +
                                          R"(","inputs":[]}])");
    ASSERT_FALSE(bad);
    EXPECT_EQ(bad.error(),
              (DocumentError{Kind::missingMember, "[1].name", R"(Missing member "name")"}));

    const auto notArray = readMappingDocuments(document("[]"));
    ASSERT_FALSE(notArray);
    EXPECT_EQ(notArray.error(), (DocumentError{Kind::wrongType, "document",
                                               "Expected an array but found an object"}));
    EXPECT_EQ(readMappingDocuments("[").error().kind, Kind::notJSON);
}

TEST(DocumentError, DescriptionIsOneLine) {
    const DocumentError error{Kind::unsupportedSchemaVersion, "schemaVersion",
                              "Unsupported schema version \"2\n\x01\""};
    EXPECT_EQ(
        error.description(),
        R"(unsupportedSchemaVersion at schemaVersion: Unsupported schema version "2\n\u0001")");
    EXPECT_EQ(name(Kind::notJSON), "notJSON");
    EXPECT_EQ(name(Kind::missingMember), "missingMember");
    EXPECT_EQ(name(Kind::wrongType), "wrongType");
    EXPECT_EQ(name(Kind::dataCorrupted), "dataCorrupted");
}

}  // namespace
}  // namespace joywright
