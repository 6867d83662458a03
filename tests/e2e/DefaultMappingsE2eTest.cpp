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

std::string press(int key) {
    return keyToken(key, true);
}
std::string release(int key) {
    return keyToken(key, false);
}

class DefaultMappingsTest : public AppOnXvfbTest {
protected:
    void SetUp() override {
        AppOnXvfbTest::SetUp();
        if (HasFatalFailure()) return;
        attach();
        launch();
    }

    // Presses and releases `button`, expecting `down` then `up` at the server.
    void tap(SDL_GameControllerButton button, const Tokens& down, const Tokens& up) {
        observer->clear();
        pad->setButton(button, true);
        EXPECT_TRUE(arrive(down)) << testing::PrintToString(observer->tokens());
        Tokens both = down;
        both.insert(both.end(), up.begin(), up.end());
        pad->setButton(button, false);
        EXPECT_TRUE(arrive(both)) << testing::PrintToString(observer->tokens());
        EXPECT_TRUE(nothingHeld());
    }

    void pull(SDL_GameControllerAxis trigger, const Tokens& down, const Tokens& up) {
        observer->clear();
        pad->setTrigger(trigger, 1.0f);
        EXPECT_TRUE(arrive(down)) << testing::PrintToString(observer->tokens());
        Tokens both = down;
        both.insert(both.end(), up.begin(), up.end());
        pad->setTrigger(trigger, 0.0f);
        EXPECT_TRUE(arrive(both)) << testing::PrintToString(observer->tokens());
        EXPECT_TRUE(nothingHeld());
    }

    // Holds the left stick at (x, y) until the server holds exactly `keys` (X keycodes), then
    // lets go and expects everything released.
    void holdLeftStick(float x, float y, std::vector<int> keys) {
        std::sort(keys.begin(), keys.end());
        pad->setStick(Stick::left, x, y);
        EXPECT_TRUE(runUntil([&] { return observer->keysHeld() == keys; }))
            << testing::PrintToString(observer->keysHeld());
        pad->setStick(Stick::left, 0, 0);
        EXPECT_TRUE(nothingHeld());
    }
};

TEST_F(DefaultMappingsTest, WebSurfingCombosArriveWithTheirModifiers) {
    start("Web surfing");
    tap(SDL_CONTROLLER_BUTTON_A, {press(KEY_LEFTSHIFT), press(KEY_LEFTCTRL), press(KEY_G)},
        {release(KEY_G), release(KEY_LEFTSHIFT), release(KEY_LEFTCTRL)});
    tap(SDL_CONTROLLER_BUTTON_B, {press(KEY_LEFTCTRL), press(KEY_SPACE)},
        {release(KEY_SPACE), release(KEY_LEFTCTRL)});
    tap(SDL_CONTROLLER_BUTTON_DPAD_LEFT, {press(KEY_LEFTALT), press(KEY_LEFT)},
        {release(KEY_LEFT), release(KEY_LEFTALT)});
    tap(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, {press(KEY_LEFTALT), press(KEY_RIGHT)},
        {release(KEY_RIGHT), release(KEY_LEFTALT)});
}

TEST_F(DefaultMappingsTest, WebSurfingTriggersClickTheMouse) {
    start("Web surfing");
    pull(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, {buttonToken(1, true)}, {buttonToken(1, false)});
    pull(SDL_CONTROLLER_AXIS_TRIGGERLEFT, {buttonToken(3, true)}, {buttonToken(3, false)});
}

TEST_F(DefaultMappingsTest, WebSurfingLeftStickScrollsWheelClicksInItsDirection) {
    start("Web surfing");
    struct Case {
        const char* name;
        float x;
        float y;
        int wheelButton;
    };
    constexpr Case cases[] = {
        {"up", 0, 1, 4}, {"down", 0, -1, 5}, {"left", -1, 0, 6}, {"right", 1, 0, 7}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        observer->clear();
        pad->setStick(Stick::left, c.x, c.y);
        // 800 px/s continuous scrolling: a click every 50 px.
        EXPECT_TRUE(runUntil([&] {
            observer->poll();
            return observer->tokens().size() >= 6;
        }));
        pad->setStick(Stick::left, 0, 0);
        EXPECT_TRUE(nothingHeld());
        const Tokens tokens = observer->tokens();
        for (std::size_t i = 0; i < tokens.size(); ++i)
            EXPECT_EQ(tokens[i], buttonToken(c.wheelButton, i % 2 == 0)) << i;
    }
}

TEST_F(DefaultMappingsTest, FirstPersonShooterKeysAndEightWayMovementKeys) {
    start("First-person shooter");
    tap(SDL_CONTROLLER_BUTTON_B, {press(KEY_SPACE)}, {release(KEY_SPACE)});
    tap(SDL_CONTROLLER_BUTTON_Y, {press(KEY_R)}, {release(KEY_R)});
    struct Case {
        const char* name;
        float x;
        float y;
        std::vector<int> keys;
    };
    const Case cases[] = {
        {"up", 0, 1, {KEY_W + 8}},
        {"left", -1, 0, {KEY_A + 8}},
        {"down", 0, -1, {KEY_S + 8}},
        {"right", 1, 0, {KEY_D + 8}},
        {"up-right", 0.7f, 0.7f, {KEY_W + 8, KEY_D + 8}},
        {"down-left", -0.7f, -0.7f, {KEY_S + 8, KEY_A + 8}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        holdLeftStick(c.x, c.y, c.keys);
    }
}

TEST_F(DefaultMappingsTest, FirstPersonShooterTriggersClickTheMouse) {
    start("First-person shooter");
    pull(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, {buttonToken(1, true)}, {buttonToken(1, false)});
    pull(SDL_CONTROLLER_AXIS_TRIGGERLEFT, {buttonToken(3, true)}, {buttonToken(3, false)});
}

TEST_F(DefaultMappingsTest, DragonQuestBuildersEveryButtonTypesItsKey) {
    start("Dragon Quest Builders 1");
    struct Case {
        SDL_GameControllerButton button;
        int key;
    };
    constexpr Case buttons[] = {
        {SDL_CONTROLLER_BUTTON_A, KEY_C},
        {SDL_CONTROLLER_BUTTON_B, KEY_X},
        {SDL_CONTROLLER_BUTTON_X, KEY_V},
        {SDL_CONTROLLER_BUTTON_Y, KEY_Z},
        {SDL_CONTROLLER_BUTTON_START, KEY_M},
        {SDL_CONTROLLER_BUTTON_BACK, KEY_SPACE},
        {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, KEY_Q},
        {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, KEY_E},
        {SDL_CONTROLLER_BUTTON_LEFTSTICK, KEY_F},
        {SDL_CONTROLLER_BUTTON_RIGHTSTICK, KEY_G},
        {SDL_CONTROLLER_BUTTON_DPAD_UP, KEY_U},
        {SDL_CONTROLLER_BUTTON_DPAD_DOWN, KEY_J},
        {SDL_CONTROLLER_BUTTON_DPAD_LEFT, KEY_H},
        {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, KEY_K},
    };
    for (const Case& c : buttons) {
        SCOPED_TRACE(SDL_GameControllerGetStringForButton(c.button));
        tap(c.button, {press(c.key)}, {release(c.key)});
    }
    pull(SDL_CONTROLLER_AXIS_TRIGGERLEFT, {press(KEY_R)}, {release(KEY_R)});
    pull(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, {press(KEY_T)}, {release(KEY_T)});
    holdLeftStick(0, 1, {KEY_W + 8});
    holdLeftStick(1, -1, {KEY_S + 8, KEY_D + 8});
}

TEST_F(DefaultMappingsTest, StoppingTheMappingReleasesEverythingHeld) {
    start("Web surfing");
    pad->setButton(SDL_CONTROLLER_BUTTON_A, true);
    pad->setButton(SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
    pad->setTrigger(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 1.0f);
    ASSERT_TRUE(runUntil([&] {
        return observer->keysHeld().size() == 5 && observer->buttonsHeld() == std::vector{1};
    })) << testing::PrintToString(observer->keysHeld());
    model().stopMapping();
    EXPECT_TRUE(nothingHeld()) << testing::PrintToString(observer->keysHeld());
}

TEST_F(DefaultMappingsTest, DetachingTheControllerWhileInputsAreHeldReleasesEverything) {
    start("First-person shooter");
    pad->setButton(SDL_CONTROLLER_BUTTON_B, true);
    pad->setStick(Stick::left, 0.7f, 0.7f);
    pad->setTrigger(SDL_CONTROLLER_AXIS_TRIGGERLEFT, 1.0f);
    ASSERT_TRUE(runUntil([&] {
        return observer->keysHeld().size() == 3 && observer->buttonsHeld() == std::vector{3};
    })) << testing::PrintToString(observer->keysHeld());
    pad->detach();
    EXPECT_TRUE(nothingHeld()) << testing::PrintToString(observer->keysHeld());
    EXPECT_TRUE(runUntil([&] { return !model().runState().isRunning(); }));
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
    Mapping mapping;
    for (const Mapping& m : model().mappings())
        if (m.name == c.mapping) mapping = m;
    ASSERT_EQ(mapping.name, c.mapping);
    if (c.mode != mapping.rightThumbstickMode) {
        mapping.rightThumbstickMode = c.mode;
        mapping.name += " (copy)";
        const Uuid copy = model().addMapping(mapping);
        mapping = *model().mapping(copy);
    }
    start(mapping);

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
            pause(20ms);
            const auto from = observer->pointer();
            // Both ends of the hold reach the engine at its next tick, so the held time carries
            // over.
            pad->setStick(Stick::right, d.x, d.y);
            const auto started = std::chrono::steady_clock::now();
            const double longestStall = spin(400ms);
            pad->setStick(Stick::right, 0, 0);
            const double held =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
            pause(30ms);
            if (longestStall > 0.02 && attempt < 3) continue;
            const auto to = observer->pointer();
            const double expected = c.speed * held;
            EXPECT_NEAR((to.x - from.x) * d.dx + (to.y - from.y) * d.dy, expected, 0.1 * expected);
            EXPECT_EQ((to.x - from.x) * d.dy + (to.y - from.y) * d.dx, 0);
            break;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    DefaultMappings, PointerTravelTest,
    testing::Values(PointerCase{"Web surfing", ThumbstickMode::smooth, 800},
                    PointerCase{"Web surfing", ThumbstickMode::eightWay, 800},
                    PointerCase{"First-person shooter", ThumbstickMode::smooth, 1800},
                    PointerCase{"First-person shooter", ThumbstickMode::eightWay, 1800},
                    PointerCase{"Dragon Quest Builders 1", ThumbstickMode::smooth, 800},
                    PointerCase{"Dragon Quest Builders 1", ThumbstickMode::eightWay, 800}),
    [](const testing::TestParamInfo<PointerCase>& param) {
        std::string name =
            std::string(param.param.mapping) + "_" + std::string(rawValue(param.param.mode));
        std::erase_if(name, [](char ch) { return !std::isalnum(static_cast<unsigned char>(ch)); });
        return name;
    });

}  // namespace
}  // namespace joywright::e2e
