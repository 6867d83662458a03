#include <gtest/gtest.h>

#include <set>

#include "model/Direction.hpp"
#include "model/InputName.hpp"

namespace joywright {
namespace {

// The titles are the persisted identity of the inputs: byte for byte, in declaration order.
// clang-format off
constexpr std::string_view kTitles[] = {
    "R-Stick Left", "R-Stick Right", "R-Stick Up", "R-Stick Down", "R-Stick Button (R3)",
    "L-Stick Left", "L-Stick Right", "L-Stick Up", "L-Stick Down", "L-Stick Button (L3)",
    "D-Pad Left", "D-Pad Right", "D-Pad Up", "D-Pad Down",
    "A", "B", "X", "Y", "Start", "Select", "Home",
    "L2 (Trigger)", "L1 (Shoulder)", "R2 (Trigger)", "R1 (Shoulder)"};
constexpr std::string_view kShortLabels[] = {
    "Left", "Right", "Up", "Down", "R3",
    "Left", "Right", "Up", "Down", "L3",
    "Left", "Right", "Up", "Down",
    "A", "B", "X", "Y", "Start", "Select", "Home",
    "L2", "L1", "R2", "R1"};
// clang-format on

TEST(InputName, EveryTitleIsPersistedExactlyAndReadsBackToItsCase) {
    const auto& all = allInputNames();
    ASSERT_EQ(all.size(), std::size(kTitles));
    for (std::size_t i = 0; i < all.size(); ++i) {
        SCOPED_TRACE(kTitles[i]);
        EXPECT_EQ(static_cast<std::size_t>(all[i]), i);
        EXPECT_EQ(title(all[i]), kTitles[i]);
        EXPECT_EQ(shortLabel(all[i]), kShortLabels[i]);
        EXPECT_EQ(inputNameFromTitle(kTitles[i]), all[i]);
        EXPECT_FALSE(symbolName(all[i]).empty());
    }
}

TEST(InputName, TitleLookupIsExactAndCaseSensitive) {
    for (std::string_view text : {"r-stick button (r3)", "R-Stick Button", "",
                                  "R-Stick Button (R3) ", "a", "rightThumbstickButton"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(inputNameFromTitle(text));
    }
}

TEST(InputCategory, ListsTwentyFourInputsInDisplayOrderAndNeverHome) {
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

    // Display order, not declaration order.
    const auto dpad = inputs(InputCategory::dpad);
    EXPECT_EQ(std::vector<InputName>(dpad.begin(), dpad.end()),
              (std::vector<InputName>{InputName::dpadUp, InputName::dpadDown, InputName::dpadLeft,
                                      InputName::dpadRight}));
    EXPECT_EQ(inputs(InputCategory::buttons).back(), InputName::leftShoulder);

    // The shared membership table is built once and holds the four categories.
    EXPECT_EQ(&inputsByCategory(), &inputsByCategory());
    EXPECT_EQ(inputsByCategory().size(), 4u);
    EXPECT_EQ(inputsByCategory().at(InputCategory::rightThumbstick).size(), 5u);
}

TEST(DirectionSet, ExpandsUpDownLeftRightWhateverTheInsertionOrder) {
    using D = Direction;
    struct Case {
        std::uint8_t raw;
        std::vector<Direction> directions;
    };
    const Case kCases[] = {
        {0, {}},
        {5, {D::up, D::left}},
        {15, {D::up, D::down, D::left, D::right}},
        {0xF8, {D::right}},  // the upper four bits are never kept
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(int(c.raw));
        const auto list = DirectionSet(c.raw).directions();
        EXPECT_EQ(std::vector<Direction>(list.begin(), list.end()), c.directions);
    }
    EXPECT_EQ((DirectionSet{D::right, D::up}).rawValue(), 9);
}

TEST(DirectionSet, SetOperations) {
    using D = Direction;
    const DirectionSet upLeft{D::up, D::left};
    const DirectionSet leftRight{D::left, D::right};
    EXPECT_EQ(upLeft.unionWith(leftRight).rawValue(), 13);
    EXPECT_EQ(upLeft.intersection(leftRight), DirectionSet{D::left});
    EXPECT_EQ(upLeft.subtracting(leftRight), DirectionSet{D::up});
    DirectionSet set;
    set.insert(D::down);
    set.remove(D::up);
    EXPECT_TRUE(set.contains(D::down));
    set.remove(D::down);
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
