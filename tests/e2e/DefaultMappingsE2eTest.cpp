// The three default mappings, end to end: a virtual controller read by the real SDL service,
// the real model and engine on the Qt loop, XTest posting to a private Xvfb, and an independent
// XInput2 observer checking what the server received.
#include <linux/input-event-codes.h>

#include "AppFixtures.hpp"

namespace joywright::e2e {
namespace {

using namespace std::chrono_literals;
using Tokens = std::vector<std::string>;
using Stick = VirtualController::Stick;

constexpr const char* kWeb = "Web surfing";
constexpr const char* kShooter = "First-person shooter";
constexpr const char* kBuilders = "Dragon Quest Builders 1";

// A button or a trigger of the virtual controller; a trigger is pulled all the way.
struct Control {
    bool isTrigger;
    int id;
    const char* name;
};
Control button(SDL_GameControllerButton b) {
    return {false, b, SDL_GameControllerGetStringForButton(b)};
}
Control trigger(SDL_GameControllerAxis a) {
    return {true, a, SDL_GameControllerGetStringForAxis(a)};
}

// A test name from a text: its letters and digits.
std::string testName(std::string text) {
    std::erase_if(text, [](unsigned char ch) { return !std::isalnum(ch); });
    return text;
}

// What the server sees while the control is held, then when it is let go.
struct Arrival {
    Tokens down;
    Tokens up;
};
// Modifiers go down in order before the key and come up in the same order after it.
Arrival combo(const std::vector<int>& modifiers, int key) {
    Arrival a;
    for (int m : modifiers)
        a.down.push_back(keyToken(m, true));
    a.down.push_back(keyToken(key, true));
    a.up.push_back(keyToken(key, false));
    for (int m : modifiers)
        a.up.push_back(keyToken(m, false));
    return a;
}
Arrival key(int linuxKey) {
    return combo({}, linuxKey);
}
Arrival click(int xButton) {
    return {{buttonToken(xButton, true)}, {buttonToken(xButton, false)}};
}

struct PressCase {
    const char* mapping;
    Control control;
    Arrival arrival;
};

const PressCase kPresses[] = {
    {kWeb, button(SDL_CONTROLLER_BUTTON_A), combo({KEY_LEFTSHIFT, KEY_LEFTCTRL}, KEY_G)},
    {kWeb, button(SDL_CONTROLLER_BUTTON_B), combo({KEY_LEFTCTRL}, KEY_SPACE)},
    {kWeb, button(SDL_CONTROLLER_BUTTON_DPAD_LEFT), combo({KEY_LEFTALT}, KEY_LEFT)},
    {kWeb, button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT), combo({KEY_LEFTALT}, KEY_RIGHT)},
    {kWeb, trigger(SDL_CONTROLLER_AXIS_TRIGGERRIGHT), click(1)},
    {kWeb, trigger(SDL_CONTROLLER_AXIS_TRIGGERLEFT), click(3)},
    {kShooter, button(SDL_CONTROLLER_BUTTON_B), key(KEY_SPACE)},
    {kShooter, button(SDL_CONTROLLER_BUTTON_Y), key(KEY_R)},
    {kShooter, trigger(SDL_CONTROLLER_AXIS_TRIGGERRIGHT), click(1)},
    {kShooter, trigger(SDL_CONTROLLER_AXIS_TRIGGERLEFT), click(3)},
    {kBuilders, button(SDL_CONTROLLER_BUTTON_A), key(KEY_C)},
    {kBuilders, button(SDL_CONTROLLER_BUTTON_B), key(KEY_X)},
    {kBuilders, button(SDL_CONTROLLER_BUTTON_X), key(KEY_V)},
    {kBuilders, button(SDL_CONTROLLER_BUTTON_Y), key(KEY_Z)},
    {kBuilders, button(SDL_CONTROLLER_BUTTON_START), key(KEY_M)},
    {kBuilders, button(SDL_CONTROLLER_BUTTON_BACK), key(KEY_SPACE)},
    {kBuilders, button(SDL_CONTROLLER_BUTTON_LEFTSHOULDER), key(KEY_Q)},
    {kBuilders, button(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER), key(KEY_E)},
    {kBuilders, button(SDL_CONTROLLER_BUTTON_LEFTSTICK), key(KEY_F)},
    {kBuilders, button(SDL_CONTROLLER_BUTTON_RIGHTSTICK), key(KEY_G)},
    {kBuilders, button(SDL_CONTROLLER_BUTTON_DPAD_UP), key(KEY_U)},
    {kBuilders, button(SDL_CONTROLLER_BUTTON_DPAD_DOWN), key(KEY_J)},
    {kBuilders, button(SDL_CONTROLLER_BUTTON_DPAD_LEFT), key(KEY_H)},
    {kBuilders, button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT), key(KEY_K)},
    {kBuilders, trigger(SDL_CONTROLLER_AXIS_TRIGGERLEFT), key(KEY_R)},
    {kBuilders, trigger(SDL_CONTROLLER_AXIS_TRIGGERRIGHT), key(KEY_T)},
};

// The left stick held at (x, y): movement keys held (Linux codes), or wheel clicks of one X
// button repeated while it is held (800 px/s continuous scrolling: a click every 50 px).
struct StickCase {
    const char* mapping;
    const char* name;
    float x;
    float y;
    std::vector<int> keys;
    int wheel = 0;
};

const StickCase kLeftStick[] = {
    {kWeb, "up", 0, 1, {}, 4},
    {kWeb, "down", 0, -1, {}, 5},
    {kWeb, "left", -1, 0, {}, 6},
    {kWeb, "right", 1, 0, {}, 7},
    {kShooter, "up", 0, 1, {KEY_W}},
    {kShooter, "left", -1, 0, {KEY_A}},
    {kShooter, "down", 0, -1, {KEY_S}},
    {kShooter, "right", 1, 0, {KEY_D}},
    {kShooter, "up-right", 0.7f, 0.7f, {KEY_W, KEY_D}},
    {kShooter, "down-left", -0.7f, -0.7f, {KEY_S, KEY_A}},
    {kBuilders, "up", 0, 1, {KEY_W}},
    {kBuilders, "down-right", 1, -1, {KEY_S, KEY_D}},
};

class DefaultMappingsTest : public AppOnXvfbTest {
protected:
    void SetUp() override {
        AppOnXvfbTest::SetUp();
        if (HasFatalFailure()) return;
        attach();
        launch();
    }

    void set(Control control, bool held) {
        if (control.isTrigger)
            pad->setTrigger(static_cast<SDL_GameControllerAxis>(control.id), held ? 1.0f : 0.0f);
        else
            pad->setButton(static_cast<SDL_GameControllerButton>(control.id), held);
    }
};

class EachDefaultMappingTest : public DefaultMappingsTest,
                               public testing::WithParamInterface<const char*> {
protected:
    void SetUp() override {
        DefaultMappingsTest::SetUp();
        if (HasFatalFailure()) return;
        start(GetParam());
    }
};

TEST_P(EachDefaultMappingTest, ButtonsAndTriggersArriveAsTheirKeysCombosAndClicks) {
    for (const PressCase& c : kPresses) {
        if (c.mapping != std::string_view(GetParam())) continue;
        SCOPED_TRACE(c.control.name);
        observer->clear();
        set(c.control, true);
        EXPECT_TRUE(arrive(c.arrival.down)) << testing::PrintToString(observer->tokens());
        Tokens both = c.arrival.down;
        both.insert(both.end(), c.arrival.up.begin(), c.arrival.up.end());
        set(c.control, false);
        EXPECT_TRUE(arrive(both)) << testing::PrintToString(observer->tokens());
        EXPECT_TRUE(nothingHeld());
    }
}

TEST_P(EachDefaultMappingTest, LeftStickHoldsItsMovementKeysOrScrollsInItsDirection) {
    for (const StickCase& c : kLeftStick) {
        if (c.mapping != std::string_view(GetParam())) continue;
        SCOPED_TRACE(c.name);
        observer->clear();
        pad->setStick(Stick::left, c.x, c.y);
        if (c.wheel == 0) {
            std::vector<int> keys;
            for (int k : c.keys)
                keys.push_back(k + 8);
            std::sort(keys.begin(), keys.end());
            EXPECT_TRUE(runUntil([&] { return observer->keysHeld() == keys; }))
                << testing::PrintToString(observer->keysHeld());
        } else {
            EXPECT_TRUE(runUntil([&] {
                observer->poll();
                return observer->tokens().size() >= 6;
            }));
        }
        pad->setStick(Stick::left, 0, 0);
        EXPECT_TRUE(nothingHeld());
        const Tokens tokens = observer->tokens();
        for (std::size_t i = 0; c.wheel != 0 && i < tokens.size(); ++i)
            EXPECT_EQ(tokens[i], buttonToken(c.wheel, i % 2 == 0)) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(DefaultMappings, EachDefaultMappingTest,
                         testing::Values(kWeb, kShooter, kBuilders),
                         [](const auto& param) { return testName(param.param); });

TEST_F(DefaultMappingsTest, StoppingTheMappingReleasesEverythingHeld) {
    start(kWeb);
    pad->setButton(SDL_CONTROLLER_BUTTON_A, true);
    pad->setButton(SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
    pad->setTrigger(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 1.0f);
    ASSERT_TRUE(runUntil([&] {
        return observer->keysHeld().size() == 5 && observer->buttonsHeld() == std::vector{1};
    })) << testing::PrintToString(observer->keysHeld());
    model().stopMapping();
    EXPECT_TRUE(nothingHeld()) << testing::PrintToString(observer->keysHeld());
}

TEST_F(DefaultMappingsTest, DetachingTheControllerWhileInputsAreHeldReleasesThemAndStops) {
    start(kShooter);
    pad->setButton(SDL_CONTROLLER_BUTTON_B, true);
    pad->setStick(Stick::left, 0.7f, 0.7f);
    pad->setTrigger(SDL_CONTROLLER_AXIS_TRIGGERLEFT, 1.0f);
    ASSERT_TRUE(runUntil([&] {
        return observer->keysHeld().size() == 3 && observer->buttonsHeld() == std::vector{3};
    })) << testing::PrintToString(observer->keysHeld());
    pad->detach();
    EXPECT_TRUE(nothingHeld()) << testing::PrintToString(observer->keysHeld());
    EXPECT_TRUE(runUntil([&] { return model().gamepad() == nullptr; }));
    EXPECT_FALSE(model().runState().isRunning());
    EXPECT_FALSE(app->runner().isRunning());
    EXPECT_EQ(log->count("Runner stopped"), 1u);
}

// The right stick moves the pointer at the output's speed (points per second at full
// deflection), read smoothly or as an eight-way switch.
struct PointerCase {
    const char* mapping;
    ThumbstickMode mode;
    double speed;
};

std::ostream& operator<<(std::ostream& out, const PointerCase& c) {
    return out << c.mapping << " " << rawValue(c.mode);
}

class PointerTravelTest : public DefaultMappingsTest,
                          public testing::WithParamInterface<PointerCase> {
protected:
    // Spins the loop for `time`; returns the longest it went without running, seconds.
    static double spin(std::chrono::milliseconds time) {
        auto last = std::chrono::steady_clock::now();
        double longest = 0;
        runUntil(
            [&] {
                const auto now = std::chrono::steady_clock::now();
                longest = std::max(longest, std::chrono::duration<double>(now - last).count());
                last = now;
                return false;
            },
            time);
        return longest;
    }
};

TEST_P(PointerTravelTest, RightStickMovesThePointerBySpeedTimesTime) {
    const PointerCase& c = GetParam();
    auto mapping = named(c.mapping);
    ASSERT_TRUE(mapping);
    if (c.mode != mapping->rightThumbstickMode) {
        mapping->rightThumbstickMode = c.mode;
        mapping->name += " (copy)";
        mapping = model().mapping(model().addMapping(*mapping));
    }
    start(*mapping);

    struct Direction {
        const char* name;
        float x;
        float y;
        int dx;
        int dy;
    };
    constexpr Direction directions[] = {{"right", 1, 0, 1, 0}, {"down", 0, -1, 0, 1}};
    for (const Direction& d : directions) {
        SCOPED_TRACE(d.name);
        // A frame longer than the engine's motion step limit (1/30 s) moves less than its
        // duration on purpose; a hold during which this process was held up that long (a busy
        // machine) is measured again.
        for (int attempt = 1;; ++attempt) {
            observer->warpPointer(100, 100);
            runFor(20ms);
            const auto from = observer->pointer();
            // Both ends of the hold reach the engine at its next tick, so the held time carries
            // over.
            pad->setStick(Stick::right, d.x, d.y);
            const auto started = std::chrono::steady_clock::now();
            const double longestStall = spin(400ms);
            pad->setStick(Stick::right, 0, 0);
            const double held =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
            runFor(30ms);
            if (longestStall > 0.02 && attempt < 3) continue;
            const auto to = observer->pointer();
            const double expected = c.speed * held;
            EXPECT_NEAR((to.x - from.x) * d.dx + (to.y - from.y) * d.dy, expected, 0.1 * expected);
            EXPECT_EQ((to.x - from.x) * d.dy + (to.y - from.y) * d.dx, 0);
            break;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(DefaultMappings, PointerTravelTest,
                         testing::Values(PointerCase{kWeb, ThumbstickMode::smooth, 800},
                                         PointerCase{kWeb, ThumbstickMode::eightWay, 800},
                                         PointerCase{kShooter, ThumbstickMode::smooth, 1800},
                                         PointerCase{kShooter, ThumbstickMode::eightWay, 1800},
                                         PointerCase{kBuilders, ThumbstickMode::smooth, 800},
                                         PointerCase{kBuilders, ThumbstickMode::eightWay, 800}),
                         [](const auto& param) {
                             return testName(std::string(param.param.mapping) + "_" +
                                             std::string(rawValue(param.param.mode)));
                         });

}  // namespace
}  // namespace joywright::e2e
