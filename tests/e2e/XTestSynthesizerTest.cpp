#include <linux/input-event-codes.h>

#include "E2eFixtures.hpp"
#include "platform/x11/X11Display.hpp"
#include "platform/x11/XTestEventSynthesizer.hpp"
#include "support/Log.hpp"
#include "support/VirtualMainLoop.hpp"

namespace joywright::e2e {
namespace {

using Tokens = std::vector<std::string>;

std::string down(int linuxKey) {
    return keyToken(linuxKey, true);
}
std::string up(int linuxKey) {
    return keyToken(linuxKey, false);
}
std::string press(int button) {
    return buttonToken(button, true);
}
std::string release(int button) {
    return buttonToken(button, false);
}

class XTestSynthesizerTest : public XServerTest {
protected:
    void SetUp() override {
        XServerTest::SetUp();
        if (HasFatalFailure()) return;
        synthesizer = std::make_unique<XTestEventSynthesizer>(connection);
        ASSERT_TRUE(synthesizer->canPost());
    }

    void expectTokens(const Tokens& expected) {
        EXPECT_TRUE(observer->waitForTokens(expected))
            << ::testing::PrintToString(observer->tokens());
    }

    std::unique_ptr<XTestEventSynthesizer> synthesizer;
};

TEST_F(XTestSynthesizerTest, AComboPressesItsModifiersAroundTheKey) {
    const ModifierSet ctrlShift{ModifierKey::leftControl, ModifierKey::leftShift};
    synthesizer->postKey(KeyCode::g, {}, ctrlShift, ctrlShift, true);
    expectTokens({down(KEY_LEFTSHIFT), down(KEY_LEFTCTRL), down(KEY_G)});
    EXPECT_EQ(observer->keysHeld(),
              (std::vector<int>{KEY_LEFTCTRL + 8, KEY_G + 8, KEY_LEFTSHIFT + 8}));

    synthesizer->postKey(KeyCode::g, ctrlShift, {}, {}, false);
    expectTokens({down(KEY_LEFTSHIFT), down(KEY_LEFTCTRL), down(KEY_G), up(KEY_G),
                  up(KEY_LEFTSHIFT), up(KEY_LEFTCTRL)});
    EXPECT_TRUE(observer->waitUntilNothingHeld());
}

TEST_F(XTestSynthesizerTest, RightHandAndSuperModifiersAreTheirOwnKeys) {
    const ModifierSet mods{ModifierKey::rightOption, ModifierKey::leftCommand,
                           ModifierKey::rightCommand};
    synthesizer->postKey(std::nullopt, {}, mods, mods, true);
    synthesizer->postKey(std::nullopt, mods, {}, {}, false);
    expectTokens({down(KEY_RIGHTALT), down(KEY_LEFTMETA), down(KEY_RIGHTMETA), up(KEY_RIGHTALT),
                  up(KEY_LEFTMETA), up(KEY_RIGHTMETA)});
    EXPECT_TRUE(observer->waitUntilNothingHeld());
}

TEST_F(XTestSynthesizerTest, ARepeatPressesTheHeldKeyAgain) {
    synthesizer->postKey(KeyCode::a, {}, {}, {}, true);
    synthesizer->postKeyRepeat(KeyCode::a, {});
    synthesizer->postKeyRepeat(KeyCode::a, {});
    synthesizer->postKey(KeyCode::a, {}, {}, {}, false);
    expectTokens({down(KEY_A), down(KEY_A), down(KEY_A), up(KEY_A)});
}

TEST_F(XTestSynthesizerTest, HelpForwardDeleteAndMediaKeysPostTheirLinuxKeys) {
    for (const KeyCode key : {KeyCode::help, KeyCode::forwardDelete, KeyCode::play,
                              KeyCode::soundUp, KeyCode::brightnessDown, KeyCode::numLock}) {
        synthesizer->postKey(key, {}, {}, {}, true);
        synthesizer->postKey(key, {}, {}, {}, false);
    }
    expectTokens({down(KEY_INSERT), up(KEY_INSERT), down(KEY_DELETE), up(KEY_DELETE),
                  down(KEY_PLAYPAUSE), up(KEY_PLAYPAUSE), down(KEY_VOLUMEUP), up(KEY_VOLUMEUP),
                  down(KEY_BRIGHTNESSDOWN), up(KEY_BRIGHTNESSDOWN), down(KEY_NUMLOCK),
                  up(KEY_NUMLOCK)});
}

TEST_F(XTestSynthesizerTest, KeysWithoutALinuxCounterpartPostNothing) {
    for (const KeyCode key : {KeyCode::contrastUp, KeyCode::function}) {
        synthesizer->postKey(key, {}, {}, {}, true);
        synthesizer->postKey(key, {}, {}, {}, false);
    }
    // A marker behind them: once it arrives, anything posted before it has arrived too.
    synthesizer->postKey(KeyCode::escape, {}, {}, {}, true);
    synthesizer->postKey(KeyCode::escape, {}, {}, {}, false);
    expectTokens({down(KEY_ESC), up(KEY_ESC)});
}

TEST_F(XTestSynthesizerTest, MouseButtonsPressTheirXButtons) {
    const Point at{10, 10};
    for (const MouseButton button :
         {MouseButton::left(), MouseButton::right(), MouseButton::center()}) {
        synthesizer->postMouseButton(button, true, 1, at);
        synthesizer->postMouseButton(button, false, 1, at);
    }
    expectTokens({press(1), release(1), press(3), release(3), press(2), release(2)});
    EXPECT_TRUE(observer->waitUntilNothingHeld());
}

TEST_F(XTestSynthesizerTest, SideButtonsPressBackAndForward) {
    synthesizer->postMouseButton(MouseButton::other(3), true, 1, {});
    synthesizer->postMouseButton(MouseButton::other(3), false, 1, {});
    synthesizer->postMouseButton(MouseButton::other(4), true, 1, {});
    synthesizer->postMouseButton(MouseButton::other(4), false, 1, {});
    // A button the server's pointer does not have posts nothing (and causes no X error).
    ScopedLogCapture log;
    synthesizer->postMouseButton(MouseButton::other(200), true, 1, {});
    synthesizer->postMouseButton(MouseButton::other(200), false, 1, {});
    synthesizer->postMouseButton(MouseButton::left(), true, 1, {});
    synthesizer->postMouseButton(MouseButton::left(), false, 1, {});
    expectTokens({press(8), release(8), press(9), release(9), press(1), release(1)});
    EXPECT_FALSE(log->contains("X error"));
}

TEST_F(XTestSynthesizerTest, APressIsLoggedWithItsClickCount) {
    ScopedLogCapture log;
    synthesizer->postMouseButton(MouseButton::left(), true, 2, {});
    synthesizer->postMouseButton(MouseButton::left(), false, 2, {});
    EXPECT_EQ(log->count("Mouse clicks: 2"), 1u);
}

TEST_F(XTestSynthesizerTest, AbsoluteMotionPutsThePointerThereAndKeepsTheFraction) {
    VirtualMainLoop loop;
    X11Display display(connection, loop);
    synthesizer->postMouseMove({100.4, 200.6}, std::nullopt);
    EXPECT_TRUE(observer->waitUntil([&] {
        return observer->pointer() == XObserver::Position{100, 201};
    }));
    EXPECT_GT(observer->motionCount(), 0u);
    // The engine reads back where it aimed, so slow motion adds up instead of rounding away.
    EXPECT_EQ(display.cursorPosition(), (Point{100.4, 200.6}));

    // Moved by someone else: whole pixels again.
    observer->warpPointer(300, 40);
    EXPECT_EQ(display.cursorPosition(), (Point{300, 40}));
}

TEST_F(XTestSynthesizerTest, SlowMotionAddsUpOverManySteps) {
    VirtualMainLoop loop;
    X11Display display(connection, loop);
    observer->warpPointer(100, 100);
    // 0.4 px per step, as a slow stick at 250 Hz moves: 50 steps make 20 px.
    for (int step = 0; step < 50; ++step) {
        const Point at = *display.cursorPosition();
        synthesizer->postMouseMove({at.x + 0.4, at.y}, std::nullopt);
        observer->poll();
    }
    EXPECT_TRUE(observer->waitUntil([&] {
        return observer->pointer() == XObserver::Position{120, 100};
    })) << observer->pointer().x;
}

TEST_F(XTestSynthesizerTest, RelativeMotionMovesByTheDelta) {
    observer->setPointerAcceleration(false);
    observer->warpPointer(500, 500);
    synthesizer->postRelativeMouseMove(30, -20);
    EXPECT_TRUE(observer->waitUntil([&] {
        return observer->pointer() == XObserver::Position{530, 480};
    })) << observer->pointer().x
        << "," << observer->pointer().y;
}

TEST_F(XTestSynthesizerTest, LineScrollingClicksTheWheelOncePerLine) {
    synthesizer->postScrollNotch(1, 0);   // up
    synthesizer->postScrollNotch(-2, 0);  // down twice
    synthesizer->postScrollNotch(0, 1);   // left
    synthesizer->postScrollNotch(0, -1);  // right
    expectTokens({press(4), release(4), press(5), release(5), press(5), release(5), press(6),
                  release(6), press(7), release(7)});
}

TEST_F(XTestSynthesizerTest, PixelScrollingClicksOncePerFiftyPixels) {
    synthesizer->postScroll(120, 0);
    expectTokens({press(4), release(4), press(4), release(4)});
    observer->clear();
    synthesizer->postScroll(30, -49);  // the 20 px left over and 30 more make a click
    synthesizer->postScroll(0, -1);
    expectTokens({press(4), release(4), press(7), release(7)});
}

TEST_F(XTestSynthesizerTest, ABatchSendsItsEventsTogetherWhenItEnds) {
    {
        X11Connection::Batch batch(*connection);
        synthesizer->postKey(KeyCode::b, {}, {}, {}, true);
        synthesizer->postKey(KeyCode::b, {}, {}, {}, false);
        // Still in this process's buffer: the server cannot have seen them.
        observer->poll();
        EXPECT_TRUE(observer->tokens().empty());
    }
    expectTokens({down(KEY_B), up(KEY_B)});
}

TEST(XTestSynthesizerWithoutDisplay, EverythingDegradesAndTheReasonIsLoggedOnce) {
    ScopedLogCapture log;
    const auto connection = X11Connection::openOrLog(":4095");
    EXPECT_EQ(connection, nullptr);
    ASSERT_EQ(log->lines().size(), 1u);
    EXPECT_EQ(log->lines()[0].level, LogLevel::error);
    EXPECT_TRUE(log->contains("Cannot open X display \":4095\""));

    XTestEventSynthesizer synthesizer(connection);
    EXPECT_FALSE(synthesizer.canPost());
    synthesizer.postKey(KeyCode::a, {}, {ModifierKey::leftShift}, {ModifierKey::leftShift}, true);
    synthesizer.postMouseButton(MouseButton::left(), true, 1, {});
    synthesizer.postMouseMove({1, 1}, std::nullopt);
    synthesizer.postRelativeMouseMove(1, 1);
    synthesizer.postScroll(100, 100);
    synthesizer.postScrollNotch(1, 1);
    EXPECT_EQ(log->lines().size(), 2u);  // only the debug line of the press
}

}  // namespace
}  // namespace joywright::e2e
