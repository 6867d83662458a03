#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>

#include "model/DefaultMappings.hpp"
#include "model/Mapping.hpp"

namespace joywright {
namespace {

using M = ModifierKey;

const Output kPressG = Output::pressKey({KeyCode::g, {}});

std::vector<Mapping> named(std::initializer_list<std::string> names) {
    std::vector<Mapping> mappings;
    for (const auto& n : names) {
        Mapping mapping;
        mapping.name = n;
        mappings.push_back(mapping);
    }
    return mappings;
}

TEST(NormalizedInputs, CompletesAndOrdersTheListAndTheLastDuplicateWins) {
    const auto clickRight = Output::clickMouse(MouseButton::right());
    const auto inputs = normalizedInputs(std::vector<Input>{{InputName::buttonHome, kPressG},
                                                            {InputName::buttonA, Output::noop()},
                                                            {InputName::rightShoulder, clickRight},
                                                            {InputName::buttonA, kPressG}});
    ASSERT_EQ(inputs.size(), 25u);
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(inputs[i].id, allInputNames()[i]);
        EXPECT_EQ(inputs[i].output, i == 14 || i == 20 ? kPressG
                                    : i == 24          ? clickRight
                                                       : Output::noop());
    }
    const auto none = normalizedInputs({});
    EXPECT_EQ(none.size(), 25u);
    EXPECT_TRUE(std::all_of(none.begin(), none.end(),
                            [](const Input& in) { return in.output == Output::noop(); }));
}

TEST(Mapping, OutputForAnInputFindsTheFirstEntry) {
    Mapping mapping;
    mapping.inputs = {{InputName::buttonB, kPressG}, {InputName::buttonB, Output::noop()}};
    EXPECT_EQ(mapping.output(InputName::buttonB), kPressG);
    EXPECT_EQ(mapping.output(InputName::buttonX), std::nullopt);
    EXPECT_EQ(mapping.outputOrNoop(InputName::buttonX), Output::noop());
}

TEST(NewMappingID, IsVersion7WithTheRfcVariant) {
    std::set<Uuid> seen;
    std::string previous;
    for (int i = 0; i < 2000; ++i) {
        const auto id = newMappingID();
        const auto text = id.text();
        EXPECT_EQ(text[14], '7');
        EXPECT_NE(std::string_view("89AB").find(text[19]), std::string_view::npos) << text;
        EXPECT_TRUE(seen.insert(id).second) << "repeated " << text;
        // The time prefix never goes back, even within one millisecond.
        EXPECT_GE(text.substr(0, 13),
                  previous.substr(0, std::min<std::size_t>(13, previous.size())));
        previous = text;
    }
}

TEST(NewMappingID, LayoutPutsMillisecondsFirstThenVersionVariantAndRandomBits) {
    const std::array<std::uint8_t, 10> random{0xFF, 0x11, 0xFF, 0x33, 0x44,
                                              0x55, 0x66, 0x77, 0x88, 0x99};
    EXPECT_EQ(version7Uuid(0x0192F0C83B7AULL, random).text(),
              "0192F0C8-3B7A-7F11-BF33-445566778899");
    // Only the low 48 bits of the clock are kept.
    EXPECT_EQ(version7Uuid(0xFFFF000000000001ULL, {}).text(),
              "00000000-0001-7000-8000-000000000000");
    // Later milliseconds sort after earlier ones in the first twelve digits, whatever the rest.
    EXPECT_LT(version7Uuid(1'700'000'000'000, random).text().substr(0, 13),
              version7Uuid(1'700'000'000'001, {}).text().substr(0, 13));
}

TEST(NextUntitledName, TakesTheSmallestFreeNumberFromTwo) {
    struct Case {
        std::vector<Mapping> existing;
        std::string_view name;
    };
    const Case kCases[] = {
        {{}, "Untitled mapping"},
        {named({"Untitled mapping 2"}), "Untitled mapping"},
        {named({"Untitled mapping", "Untitled mapping 2", "Untitled mapping 4"}),
         "Untitled mapping 3"},
        {named({"Untitled mapping", "Untitled mapping 02"}), "Untitled mapping 3"},
        {named({"Untitled mapping", "Untitled mapping x"}), "Untitled mapping 2"},
        {named({"Untitled mapping", "Untitled mapping  3", "Untitled mapping 2 ",
                "untitled mapping 2", "Untitled mapping -2", "Untitled mapping +2",
                "Untitled mapping 99999999999999999999999"}),
         "Untitled mapping 2"},
        {named({"Untitled mapping", "Untitled mapping", "Untitled mapping 2", "Untitled mapping 1",
                "Untitled mapping 3"}),
         "Untitled mapping 4"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(std::string(c.name));
        EXPECT_EQ(nextUntitledName(c.existing), c.name);
    }
}

TEST(NewBlankMapping, HasANewIdTheNextNameAndEveryInputNoop) {
    const auto existing = named({"Untitled mapping"});
    Mapping expected;
    expected.name = "Untitled mapping 2";
    expected.inputs = normalizedInputs({});
    auto mapping = newBlankMapping(existing);
    EXPECT_EQ(mapping.id.text()[14], '7');
    EXPECT_NE(mapping.id, newBlankMapping(existing).id);
    expected.id = mapping.id;
    EXPECT_EQ(mapping, expected);  // both modes smooth, version "1.0"
}

TEST(DefaultMappings, ThreeInOrderEachCompleteWithANewIdPerCall) {
    const auto mappings = defaultMappings();
    ASSERT_EQ(mappings.size(), 3u);
    const std::function<Mapping()> kBuilders[] = {webSurfingMapping, firstPersonShooterMapping,
                                                  dragonQuestBuilders1Mapping};
    constexpr std::string_view kNames[] = {"Web surfing", "First-person shooter",
                                           "Dragon Quest Builders 1"};
    constexpr long kBound[] = {14, 12, 24};  // inputs that do something
    for (std::size_t i = 0; i < mappings.size(); ++i) {
        const auto& m = mappings[i];
        SCOPED_TRACE(m.name);
        EXPECT_EQ(m.name, kNames[i]);
        EXPECT_EQ(m.inputs, normalizedInputs(m.inputs));  // all 25, in declaration order
        EXPECT_EQ(m.outputOrNoop(InputName::buttonHome), Output::noop());
        EXPECT_EQ(std::count_if(m.inputs.begin(), m.inputs.end(),
                                [](const Input& in) { return !in.output.is<Output::Noop>(); }),
                  kBound[i]);
        EXPECT_EQ(m.leftThumbstickMode, i == 0 ? ThumbstickMode::smooth : ThumbstickMode::eightWay);
        EXPECT_EQ(m.rightThumbstickMode, ThumbstickMode::smooth);
        EXPECT_EQ(m.schemaVersion, "1.0");
        auto again = kBuilders[i]();
        EXPECT_NE(again.id, m.id);
        again.id = m.id;
        EXPECT_EQ(again, m);
    }
}

TEST(DefaultMappings, BindTheirInputsToWhatEachIsFor) {
    const auto mappings = defaultMappings();
    using I = InputName;
    struct Case {
        std::size_t mapping;
        InputName input;
        Output output;
    };
    const Case kCases[] = {
        // Web surfing goes back and forward with Alt+Left and Alt+Right.
        {0, I::dpadLeft, Output::pressKey({KeyCode::leftArrow, {M::leftOption}})},
        {0, I::dpadRight, Output::pressKey({KeyCode::rightArrow, {M::leftOption}})},
        {0, I::buttonA, Output::pressKey({KeyCode::g, {M::leftControl, M::leftShift}})},
        {0, I::leftThumbstickUp,
         Output::scrollMouse(Direction::up, 800, ScrollMouseMode::continuous)},
        {0, I::leftTrigger, Output::clickMouse(MouseButton::right())},
        {1, I::rightThumbstickDown, Output::moveMouse(Direction::down, 1800)},
        {1, I::leftThumbstickLeft, Output::pressKey({KeyCode::a, {}})},
        {1, I::buttonA, Output::noop()},
        {2, I::leftThumbstickButton, Output::pressKey({KeyCode::f, {}})},
        {2, I::rightThumbstickLeft, Output::moveMouse(Direction::left, 800)},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(mappings[c.mapping].name + ": " + std::string(title(c.input)));
        EXPECT_EQ(mappings[c.mapping].outputOrNoop(c.input), c.output);
    }
    for (const auto& input : mappings[2].inputs)
        if (const auto* press = input.output.as<Output::PressKey>()) {
            EXPECT_TRUE(press->combo.modifiers.empty()) << title(input.id);
        }
}

}  // namespace
}  // namespace joywright
