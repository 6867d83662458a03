#include <gtest/gtest.h>

#include <set>

#include "model/DefaultMappings.hpp"
#include "model/Mapping.hpp"

namespace joywright {
namespace {

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
    const std::vector<Input> given = {
        {InputName::buttonHome, kPressG},
        {InputName::buttonA, Output::noop()},
        {InputName::rightShoulder, Output::clickMouse(MouseButton::right())},
        {InputName::buttonA, kPressG},
    };
    const auto inputs = normalizedInputs(given);
    ASSERT_EQ(inputs.size(), 25u);
    for (std::size_t i = 0; i < inputs.size(); ++i)
        EXPECT_EQ(inputs[i].id, allInputNames()[i]);
    EXPECT_EQ(inputs[20], (Input{InputName::buttonHome, kPressG}));
    EXPECT_EQ(inputs[14].output, kPressG);
    EXPECT_EQ(inputs[24].output, Output::clickMouse(MouseButton::right()));
    EXPECT_EQ(inputs[0].output, Output::noop());
    EXPECT_EQ(normalizedInputs({}).size(), 25u);
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
    const auto mapping = newBlankMapping(existing);
    EXPECT_EQ(mapping.name, "Untitled mapping 2");
    EXPECT_EQ(mapping.inputs, normalizedInputs({}));
    EXPECT_EQ(mapping.leftThumbstickMode, ThumbstickMode::smooth);
    EXPECT_EQ(mapping.rightThumbstickMode, ThumbstickMode::smooth);
    EXPECT_EQ(mapping.schemaVersion, "1.0");
    EXPECT_NE(mapping.id, newBlankMapping(existing).id);
}

TEST(DefaultMappings, ThreeInOrderEachComplete) {
    const auto mappings = defaultMappings();
    ASSERT_EQ(mappings.size(), 3u);
    EXPECT_EQ(mappings[0].name, "Web surfing");
    EXPECT_EQ(mappings[1].name, "First-person shooter");
    EXPECT_EQ(mappings[2].name, "Dragon Quest Builders 1");
    for (const auto& m : mappings) {
        SCOPED_TRACE(m.name);
        ASSERT_EQ(m.inputs.size(), 25u);
        for (std::size_t i = 0; i < 25; ++i)
            EXPECT_EQ(m.inputs[i].id, allInputNames()[i]);
        EXPECT_EQ(m.outputOrNoop(InputName::buttonHome), Output::noop());
        EXPECT_EQ(m.schemaVersion, "1.0");
        EXPECT_EQ(m.id.text()[14], '7');
    }
}

TEST(DefaultMappings, EachCallGivesEqualContentUnderANewId) {
    for (auto build : {webSurfingMapping, firstPersonShooterMapping, dragonQuestBuilders1Mapping}) {
        auto first = build();
        const auto second = build();
        SCOPED_TRACE(first.name);
        EXPECT_NE(first.id, second.id);
        first.id = second.id;
        EXPECT_EQ(first, second);
    }
}

TEST(DefaultMappings, WebSurfingGoesBackAndForwardWithAltArrows) {
    const auto m = webSurfingMapping();
    using M = ModifierKey;
    EXPECT_EQ(m.outputOrNoop(InputName::dpadLeft),
              Output::pressKey({KeyCode::leftArrow, {M::leftOption}}));
    EXPECT_EQ(m.outputOrNoop(InputName::dpadRight),
              Output::pressKey({KeyCode::rightArrow, {M::leftOption}}));
    EXPECT_EQ(m.outputOrNoop(InputName::buttonA),
              Output::pressKey({KeyCode::g, {M::leftControl, M::leftShift}}));
    EXPECT_EQ(m.outputOrNoop(InputName::leftThumbstickUp),
              Output::scrollMouse(Direction::up, 800, ScrollMouseMode::continuous));
    EXPECT_EQ(m.outputOrNoop(InputName::leftTrigger), Output::clickMouse(MouseButton::right()));
    EXPECT_EQ(m.leftThumbstickMode, ThumbstickMode::smooth);
}

TEST(DefaultMappings, ShooterReadsTheLeftStickAsEightWayAndAimsAt1800) {
    const auto m = firstPersonShooterMapping();
    EXPECT_EQ(m.leftThumbstickMode, ThumbstickMode::eightWay);
    EXPECT_EQ(m.rightThumbstickMode, ThumbstickMode::smooth);
    EXPECT_EQ(m.outputOrNoop(InputName::rightThumbstickDown),
              Output::moveMouse(Direction::down, 1800));
    EXPECT_EQ(m.outputOrNoop(InputName::leftThumbstickLeft), Output::pressKey({KeyCode::a, {}}));
    EXPECT_EQ(m.outputOrNoop(InputName::buttonA), Output::noop());
    const auto bound = std::count_if(m.inputs.begin(), m.inputs.end(),
                                     [](const Input& i) { return !i.output.is<Output::Noop>(); });
    EXPECT_EQ(bound, 12);
}

TEST(DefaultMappings, DragonQuestBuildersBindsEveryInputButHome) {
    const auto m = dragonQuestBuilders1Mapping();
    for (const auto& input : m.inputs) {
        SCOPED_TRACE(std::string(title(input.id)));
        EXPECT_EQ(input.output.is<Output::Noop>(), input.id == InputName::buttonHome);
        if (const auto* press = input.output.as<Output::PressKey>()) {
            EXPECT_TRUE(press->combo.modifiers.empty());
        }
    }
    EXPECT_EQ(m.outputOrNoop(InputName::leftThumbstickButton), Output::pressKey({KeyCode::f, {}}));
    EXPECT_EQ(m.outputOrNoop(InputName::rightThumbstickLeft),
              Output::moveMouse(Direction::left, 800));
}

}  // namespace
}  // namespace joywright
