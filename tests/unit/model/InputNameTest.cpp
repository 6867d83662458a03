#include <gtest/gtest.h>

#include <set>

#include "model/Direction.hpp"
#include "model/InputName.hpp"

namespace joywright {
namespace {

// The titles are the persisted identity of the inputs: byte for byte, in declaration order.
constexpr std::string_view kTitles[] = {
    "R-Stick Left",
    "R-Stick Right",
    "R-Stick Up",
    "R-Stick Down",
    "R-Stick Button (R3)",
    "L-Stick Left",
    "L-Stick Right",
    "L-Stick Up",
    "L-Stick Down",
    "L-Stick Button (L3)",
    "D-Pad Left",
    "D-Pad Right",
    "D-Pad Up",
    "D-Pad Down",
    "A",
    "B",
    "X",
    "Y",
    "Start",
    "Select",
    "Home",
    "L2 (Trigger)",
    "L1 (Shoulder)",
    "R2 (Trigger)",
    "R1 (Shoulder)",
};

TEST(InputName, EveryTitleIsPersistedExactlyAndReadsBackToItsCase) {
    const auto& all = allInputNames();
    ASSERT_EQ(all.size(), std::size(kTitles));
    for (std::size_t i = 0; i < all.size(); ++i) {
        SCOPED_TRACE(kTitles[i]);
        EXPECT_EQ(static_cast<std::size_t>(all[i]), i);
        EXPECT_EQ(title(all[i]), kTitles[i]);
        EXPECT_EQ(inputNameFromTitle(kTitles[i]), all[i]);
        EXPECT_FALSE(shortLabel(all[i]).empty());
        EXPECT_FALSE(symbolName(all[i]).empty());
    }
}

TEST(InputName, TitleLookupIsExactAndCaseSensitive) {
    EXPECT_EQ(inputNameFromTitle("R-Stick Button (R3)"), InputName::rightThumbstickButton);
    constexpr std::string_view kRejected[] = {
        "r-stick button (r3)",  "R-Stick Button", "", "R-Stick Button (R3) ", "a",
        "rightThumbstickButton"};
    for (auto text : kRejected) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(inputNameFromTitle(text));
    }
}

TEST(InputName, ShortLabelsAreTitlesForFaceButtonsAndCodesForTheRest) {
    EXPECT_EQ(shortLabel(InputName::buttonHome), "Home");
    EXPECT_EQ(shortLabel(InputName::dpadUp), "Up");
    EXPECT_EQ(shortLabel(InputName::leftThumbstickButton), "L3");
    EXPECT_EQ(shortLabel(InputName::rightTrigger), "R2");
}

TEST(InputCategory, ListsTwentyFourInputsAndNeverHome) {
    std::set<InputName> listed;
    std::size_t count = 0;
    for (auto c : allInputCategories()) {
        SCOPED_TRACE(std::string(title(c)));
        EXPECT_EQ(inputCategoryFromTitle(title(c)), c);
        for (auto input : inputs(c)) {
            listed.insert(input);
            ++count;
            EXPECT_EQ(category(input), c);
            EXPECT_TRUE(isMember(input, c));
        }
        EXPECT_FALSE(isMember(InputName::buttonHome, c));
    }
    EXPECT_EQ(count, 24u);
    EXPECT_EQ(listed.size(), 24u);
    EXPECT_FALSE(listed.contains(InputName::buttonHome));
    EXPECT_FALSE(category(InputName::buttonHome));
}

TEST(InputCategory, ListsInDisplayOrderNotDeclarationOrder) {
    const auto dpad = inputs(InputCategory::dpad);
    EXPECT_EQ(std::vector<InputName>(dpad.begin(), dpad.end()),
              (std::vector<InputName>{InputName::dpadUp, InputName::dpadDown, InputName::dpadLeft,
                                      InputName::dpadRight}));
    EXPECT_EQ(inputs(InputCategory::buttons).back(), InputName::leftShoulder);
}

TEST(InputCategory, SharedTableIsBuiltOnceWithTheFourCategories) {
    const auto& first = inputsByCategory();
    const auto& second = inputsByCategory();
    EXPECT_EQ(&first, &second);
    EXPECT_EQ(first.size(), 4u);
    EXPECT_EQ(first.at(InputCategory::rightThumbstick).size(), 5u);
}

TEST(DirectionSet, ExpandsUpDownLeftRightWhateverTheInsertionOrder) {
    struct Case {
        std::uint8_t raw;
        std::vector<Direction> directions;
    };
    const Case kCases[] = {
        {0, {}},
        {5, {Direction::up, Direction::left}},
        {15, {Direction::up, Direction::down, Direction::left, Direction::right}},
        {0xF8, {Direction::right}},  // the upper four bits are never kept
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(int(c.raw));
        const auto list = DirectionSet(c.raw).directions();
        EXPECT_EQ(std::vector<Direction>(list.begin(), list.end()), c.directions);
    }
    EXPECT_EQ((DirectionSet{Direction::right, Direction::up}).rawValue(), 9);
}

TEST(DirectionSet, SetOperations) {
    const DirectionSet upLeft{Direction::up, Direction::left};
    const DirectionSet leftRight{Direction::left, Direction::right};
    EXPECT_EQ(upLeft.unionWith(leftRight).rawValue(), 13);
    EXPECT_EQ(upLeft.intersection(leftRight), DirectionSet{Direction::left});
    EXPECT_EQ(upLeft.subtracting(leftRight), DirectionSet{Direction::up});
    DirectionSet set;
    set.insert(Direction::down);
    set.remove(Direction::up);
    EXPECT_TRUE(set.contains(Direction::down));
    set.remove(Direction::down);
    EXPECT_TRUE(set.empty());
}

TEST(ThumbstickMode, OnlyTheExactRawValuesRead) {
    EXPECT_EQ(thumbstickModeFromRawValue("smooth"), ThumbstickMode::smooth);
    EXPECT_EQ(thumbstickModeFromRawValue("eightWay"), ThumbstickMode::eightWay);
    for (auto text : {"8-Way", "eightway", "Smooth", ""}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(thumbstickModeFromRawValue(text));
    }
    EXPECT_EQ(label(ThumbstickMode::eightWay), "8-Way");
}

}  // namespace
}  // namespace joywright
