#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <string_view>

namespace joywright {

// The 25 bindable controller inputs. Declaration order is the canonical order of a mapping's
// inputs; titles are the persisted identity of an input and must not change.
enum class InputName : std::uint8_t {
    rightThumbstickLeft,
    rightThumbstickRight,
    rightThumbstickUp,
    rightThumbstickDown,
    rightThumbstickButton,
    leftThumbstickLeft,
    leftThumbstickRight,
    leftThumbstickUp,
    leftThumbstickDown,
    leftThumbstickButton,
    dpadLeft,
    dpadRight,
    dpadUp,
    dpadDown,
    buttonA,
    buttonB,
    buttonX,
    buttonY,
    buttonStart,
    buttonSelect,
    buttonHome,
    leftTrigger,
    leftShoulder,
    rightTrigger,
    rightShoulder,
};

inline constexpr std::size_t kInputNameCount = 25;

// All cases in declaration order.
const std::array<InputName, kInputNameCount>& allInputNames();

// The groups of the editor's input list, in display order.
enum class InputCategory : std::uint8_t { buttons, rightThumbstick, leftThumbstick, dpad };

inline constexpr std::size_t kInputCategoryCount = 4;
const std::array<InputCategory, kInputCategoryCount>& allInputCategories();

// "R-Stick Left", "L2 (Trigger)", "A", ...; also the persisted form.
std::string_view title(InputName input);
// Exact, case-sensitive match with one of the 25 titles.
std::optional<InputName> inputNameFromTitle(std::string_view title);
std::string_view shortLabel(InputName input);
std::string_view symbolName(InputName input);
// The category that lists the input; none for buttonHome.
std::optional<InputCategory> category(InputName input);

std::string_view title(InputCategory category);
std::optional<InputCategory> inputCategoryFromTitle(std::string_view title);
// The category's inputs in display order (up, down, left, right for directions).
std::span<const InputName> inputs(InputCategory category);

// Category to the set of its inputs; built once on first use, read-only after.
const std::map<InputCategory, std::set<InputName>>& inputsByCategory();
bool isMember(InputName input, InputCategory category);

}  // namespace joywright
