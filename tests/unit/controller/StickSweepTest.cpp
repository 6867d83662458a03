// Drives a stick through many positions and checks, after every report, that the instructions
// sent so far leave exactly the directions of that position held.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <random>
#include <set>

#include "ControllerTestSupport.hpp"
#include "controller/EightWaySector.hpp"

namespace joywright {
namespace {

constexpr float kDeadZone = 0.05f;

// What the engine would hold after applying the instructions, with every fault it would see.
struct HeldState {
    std::set<std::string> pressed;        // keys and mouse buttons, as "w" or "mouse4"
    std::map<std::string, float> values;  // "dx", "dy", "sx", "sy": last set, 0 once reset
    std::vector<std::string> faults;

    void apply(const FrameInput& input) {
        const std::string t = test::token(input);
        if (t[0] == '+') {
            if (!pressed.insert(t.substr(1)).second) faults.push_back("twice: " + t);
        } else if (t[0] == '-') {
            if (pressed.erase(t.substr(1)) == 0) faults.push_back("unheld: " + t);
        } else if (t.starts_with("notch")) {
            faults.push_back("unexpected " + t);
        } else {
            values[t.substr(0, 2)] = t.size() == 3 ? 0.0f : std::stof(t.substr(3));
        }
    }
    float value(const char* name) const { return values.contains(name) ? values.at(name) : 0; }
    bool idle() const {
        return pressed.empty() &&
               std::ranges::all_of(values, [](auto& v) { return v.second == 0; });
    }
};

DirectionSet heldBySign(float upDown, float leftRight) {
    DirectionSet set;
    if (upDown < 0) set.insert(Direction::up);
    if (upDown > 0) set.insert(Direction::down);
    if (leftRight < 0) set.insert(Direction::left);
    if (leftRight > 0) set.insert(Direction::right);
    return set;
}

// One way of binding the four directions, and how to read back which of them are held.
struct Binding {
    const char* name;
    Output (*output)(Direction);
    DirectionSet (*held)(const HeldState&);
};

const Binding kBindings[] = {
    {"keys and clicks",
     [](Direction d) {
         using enum Direction;
         if (d == up || d == down) return test::key(d == up ? KeyCode::w : KeyCode::s);
         return Output::clickMouse(d == left ? MouseButton::left() : MouseButton::other(4));
     },
     [](const HeldState& held) {
         DirectionSet set;
         for (auto [name, d] : {std::pair{"w", Direction::up},
                                {"s", Direction::down},
                                {"mouse0", Direction::left},
                                {"mouse4", Direction::right}})
             if (held.pressed.contains(name)) set.insert(d);
         return set;
     }},
    {"pointer motion", [](Direction d) { return Output::moveMouse(d, 100); },
     [](const HeldState& held) { return heldBySign(held.value("dy"), held.value("dx")); }},
    {"continuous scroll",
     [](Direction d) { return Output::scrollMouse(d, 500, ScrollMouseMode::continuous); },
     [](const HeldState& held) { return heldBySign(held.value("sy"), held.value("sx")); }},
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
        return sectorDirections(eightWaySector(std::fmod(degrees + 360.0, 360.0)));
    };
    return {setAt(bearing - 1e-6), setAt(bearing + 1e-6)};
}

class StickSweep : public ::testing::TestWithParam<ThumbstickMode> {
protected:
    StickSweep() { frame.setListening(true); }

    void install(const Binding& binding) {
        held = {};
        installHandlers(gamepad, test::leftStickMapping(binding.output, GetParam()),
                        {.deadZone = kDeadZone}, frame);
    }

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

// Steps of 0.25° land exactly on every 22.5° sector boundary.
TEST_P(StickSweep, CirclesAxesAndCornersHoldExactlyThePositionsDirections) {
    for (const Binding& binding : kBindings) {
        install(binding);
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
        for (float x : {-1.0f, 0.0f, 1.0f}) {
            for (float y : {-1.0f, 0.0f, 1.0f})
                report(binding, x, y);
        }
        returnToCentre(binding);
    }
    EXPECT_GT(reports, 50000);
}

TEST_P(StickSweep, JumpsBetweenArbitraryPositionsHoldExactlyThePositionsDirections) {
    std::mt19937 random(20240229);
    std::uniform_real_distribution<float> axis(-1.2f, 1.2f);
    std::uniform_int_distribution<int> centreEvery(0, 9);
    for (const Binding& binding : kBindings) {
        install(binding);
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
