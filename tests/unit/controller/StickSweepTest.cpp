// Drives a stick through many positions and checks, after every report, that the instructions
// sent so far leave exactly the directions of that position held.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <numbers>
#include <random>
#include <set>

#include "InstructionText.hpp"
#include "TestMapping.hpp"
#include "controller/ControllerSettings.hpp"
#include "controller/EightWaySector.hpp"
#include "controller/HandlerInstallation.hpp"
#include "fakes/FakeGamepad.hpp"

namespace joywright {
namespace {

using enum InputName;
using test::key;
using test::mappingWith;

constexpr float kDeadZone = 0.05f;

// What the engine would hold after applying the instructions, with every fault it would see.
struct HeldState {
    std::set<std::string> keys;
    std::set<std::uint32_t> buttons;
    float mouseDX = 0, mouseDY = 0, scrollDX = 0, scrollDY = 0;
    std::vector<std::string> faults;

    void apply(const FrameInput& input) {
        using namespace frame_input;
        std::visit(
            [this](const auto& i) {
                using T = std::decay_t<decltype(i)>;
                if constexpr (std::is_same_v<T, KeyDown>) {
                    if (!keys.insert(test::comboText(i.combo)).second)
                        faults.push_back("pressed twice: " + test::comboText(i.combo));
                } else if constexpr (std::is_same_v<T, KeyUp>) {
                    if (keys.erase(test::comboText(i.combo)) == 0)
                        faults.push_back("released unheld: " + test::comboText(i.combo));
                } else if constexpr (std::is_same_v<T, MouseDown>) {
                    if (!buttons.insert(i.button.buttonNumber()).second)
                        faults.push_back("clicked twice");
                } else if constexpr (std::is_same_v<T, MouseUp>) {
                    if (buttons.erase(i.button.buttonNumber()) == 0)
                        faults.push_back("unclicked unheld");
                } else if constexpr (std::is_same_v<T, SetMouseDX>) {
                    mouseDX = i.magnitude;
                } else if constexpr (std::is_same_v<T, SetMouseDY>) {
                    mouseDY = i.magnitude;
                } else if constexpr (std::is_same_v<T, SetScrollDX>) {
                    scrollDX = i.velocity;
                } else if constexpr (std::is_same_v<T, SetScrollDY>) {
                    scrollDY = i.velocity;
                } else if constexpr (std::is_same_v<T, ResetMouseDX>) {
                    mouseDX = 0;
                } else if constexpr (std::is_same_v<T, ResetMouseDY>) {
                    mouseDY = 0;
                } else if constexpr (std::is_same_v<T, ResetScrollDX>) {
                    scrollDX = 0;
                } else if constexpr (std::is_same_v<T, ResetScrollDY>) {
                    scrollDY = 0;
                } else {
                    faults.push_back("unexpected " + test::token(i));
                }
            },
            input);
    }

    bool idle() const {
        return keys.empty() && buttons.empty() && mouseDX == 0 && mouseDY == 0 && scrollDX == 0 &&
               scrollDY == 0;
    }
};

// One way of binding the four directions, and how to read back which of them are held.
struct Binding {
    const char* name;
    Mapping (*mapping)(ThumbstickMode);
    DirectionSet (*held)(const HeldState&);
};

DirectionSet heldBySign(float upDown, float leftRight) {
    DirectionSet set;
    if (upDown < 0) set.insert(Direction::up);
    if (upDown > 0) set.insert(Direction::down);
    if (leftRight < 0) set.insert(Direction::left);
    if (leftRight > 0) set.insert(Direction::right);
    return set;
}

const Binding kBindings[] = {
    {"keys and clicks",
     [](ThumbstickMode mode) {
         return mappingWith({{leftThumbstickUp, key(KeyCode::w)},
                             {leftThumbstickDown, key(KeyCode::s)},
                             {leftThumbstickLeft, Output::clickMouse(MouseButton::left())},
                             {leftThumbstickRight, Output::clickMouse(MouseButton::other(4))}},
                            mode);
     },
     [](const HeldState& held) {
         DirectionSet set;
         if (held.keys.contains("w")) set.insert(Direction::up);
         if (held.keys.contains("s")) set.insert(Direction::down);
         if (held.buttons.contains(0)) set.insert(Direction::left);
         if (held.buttons.contains(4)) set.insert(Direction::right);
         return set;
     }},
    {"pointer motion",
     [](ThumbstickMode mode) {
         return mappingWith({{leftThumbstickUp, Output::moveMouse(Direction::up, 100)},
                             {leftThumbstickDown, Output::moveMouse(Direction::down, 200)},
                             {leftThumbstickLeft, Output::moveMouse(Direction::left, 300)},
                             {leftThumbstickRight, Output::moveMouse(Direction::right, 400)}},
                            mode);
     },
     [](const HeldState& held) { return heldBySign(held.mouseDY, held.mouseDX); }},
    {"continuous scroll",
     [](ThumbstickMode mode) {
         const auto scroll = [](Direction d) {
             return Output::scrollMouse(d, 500, ScrollMouseMode::continuous);
         };
         return mappingWith({{leftThumbstickUp, scroll(Direction::up)},
                             {leftThumbstickDown, scroll(Direction::down)},
                             {leftThumbstickLeft, scroll(Direction::left)},
                             {leftThumbstickRight, scroll(Direction::right)}},
                            mode);
     },
     [](const HeldState& held) { return heldBySign(held.scrollDY, held.scrollDX); }},
};

// The directions a report should hold. For eight-way, the second set is the neighbouring
// sector's when the bearing lies within a hair of a boundary (either answer is right there).
std::pair<DirectionSet, DirectionSet> expectedDirections(ThumbstickMode mode, float reportedX,
                                                         float reportedY) {
    const float x = std::clamp(reportedX, -1.0f, 1.0f);
    const float y = std::clamp(reportedY, -1.0f, 1.0f);
    const double r = std::hypot(static_cast<double>(x), static_cast<double>(y));
    if (mode == ThumbstickMode::smooth) {
        if (r <= kDeadZone) return {};
        const DirectionSet set = heldBySign(-y, x);
        return {set, set};
    }
    if (r < kDeadZone || r == 0) return {};
    double bearing =
        std::atan2(static_cast<double>(x), static_cast<double>(y)) * 180.0 / std::numbers::pi;
    if (bearing < 0) bearing += 360;
    const auto setAt = [](double degrees) {
        const double wrapped = std::fmod(degrees + 360.0, 360.0);
        return sectorDirections(eightWaySector(wrapped));
    };
    return {setAt(bearing - 1e-6), setAt(bearing + 1e-6)};
}

class StickSweep : public ::testing::TestWithParam<ThumbstickMode> {
protected:
    StickSweep() { frame.setListening(true); }

    // Reports one position and checks the state the instructions leave.
    void report(const Binding& binding, float x, float y) {
        gamepad.leftThumbstick().set(x, y);
        std::vector<FrameInput> inputs;
        frame.drain(inputs);
        for (const auto& input : inputs)
            held.apply(input);
        const auto [expected, alternative] = expectedDirections(GetParam(), x, y);
        const DirectionSet actual = binding.held(held);
        ++reports;
        if (actual != expected && actual != alternative) {
            ADD_FAILURE() << binding.name << " at (" << x << ", " << y << "): held "
                          << int(actual.rawValue()) << ", expected " << int(expected.rawValue());
        }
        if (!held.faults.empty()) {
            ADD_FAILURE() << binding.name << " at (" << x << ", " << y
                          << "): " << held.faults.front();
            held.faults.clear();
        }
    }

    void returnToCentre(const Binding& binding) {
        report(binding, 0.0f, 0.0f);
        EXPECT_TRUE(held.idle()) << binding.name << ": something is still held at the centre";
    }

    FakeGamepad gamepad;
    Frame frame;
    HeldState held;
    int reports = 0;
};

TEST_P(StickSweep, CirclesAtSeveralRadiiHoldExactlyThePositionsDirections) {
    for (const Binding& binding : kBindings) {
        held = {};
        installHandlers(gamepad, binding.mapping(GetParam()), {.deadZone = kDeadZone}, frame);
        for (double radius : {0.04, 0.0501, 0.2, 0.6, 1.0, 1.3}) {
            for (double step : {0.25, -0.37}) {
                for (int i = 0; i * std::abs(step) <= 720.0; ++i) {
                    const double radians = i * step * std::numbers::pi / 180.0;
                    report(binding, static_cast<float>(radius * std::sin(radians)),
                           static_cast<float>(radius * std::cos(radians)));
                }
                returnToCentre(binding);
            }
        }
    }
    EXPECT_GT(reports, 50000);
}

TEST_P(StickSweep, ExactSectorBoundariesAndAxesHoldTheirDirections) {
    for (const Binding& binding : kBindings) {
        held = {};
        installHandlers(gamepad, binding.mapping(GetParam()), {.deadZone = kDeadZone}, frame);
        for (double degrees = 0.0; degrees <= 720.0; degrees += 22.5) {
            const double radians = degrees * std::numbers::pi / 180.0;
            report(binding, static_cast<float>(std::sin(radians)),
                   static_cast<float>(std::cos(radians)));
        }
        for (auto [x, y] : {std::pair{1.0f, 0.0f},
                            {0.0f, 1.0f},
                            {-1.0f, 0.0f},
                            {0.0f, -1.0f},
                            {1.0f, 1.0f},
                            {-1.0f, -1.0f},
                            {1.0f, -1.0f},
                            {-1.0f, 1.0f}}) {
            report(binding, x, y);
        }
        returnToCentre(binding);
    }
}

TEST_P(StickSweep, JumpsBetweenArbitraryPositionsHoldExactlyThePositionsDirections) {
    std::mt19937 random(20240229);
    std::uniform_real_distribution<float> axis(-1.2f, 1.2f);
    std::uniform_int_distribution<int> centreEvery(0, 9);
    for (const Binding& binding : kBindings) {
        held = {};
        installHandlers(gamepad, binding.mapping(GetParam()), {.deadZone = kDeadZone}, frame);
        for (int i = 0; i < 5000; ++i) {
            if (centreEvery(random) == 0) {
                returnToCentre(binding);
            } else {
                report(binding, axis(random), axis(random));
            }
        }
        returnToCentre(binding);
    }
}

INSTANTIATE_TEST_SUITE_P(BothModes, StickSweep,
                         ::testing::Values(ThumbstickMode::smooth, ThumbstickMode::eightWay),
                         [](const auto& p) { return std::string(rawValue(p.param)); });

}  // namespace
}  // namespace joywright
