#include <linux/input-event-codes.h>

#include "E2eFixtures.hpp"
#include "platform/x11/X11Display.hpp"
#include "platform/x11/XTestEventSynthesizer.hpp"
#include "support/Log.hpp"
#include "support/VirtualMainLoop.hpp"

namespace joywright::e2e {
namespace {

using Tokens = std::vector<std::string>;

// Each key pressed then released, as tokens.
Tokens tapped(std::initializer_list<int> linuxKeys) {
    Tokens tokens;
    for (int key : linuxKeys) {
        tokens.push_back(keyToken(key, true));
        tokens.push_back(keyToken(key, false));
    }
    return tokens;
}
Tokens clicked(std::initializer_list<int> xButtons) {
    Tokens tokens;
    for (int button : xButtons) {
        tokens.push_back(buttonToken(button, true));
        tokens.push_back(buttonToken(button, false));
    }
    return tokens;
}

void tap(XTestEventSynthesizer& s, KeyCode key) {
    s.postKey(key, {}, {}, {}, true);
    s.postKey(key, {}, {}, {}, false);
}
void click(XTestEventSynthesizer& s, MouseButton button, int clickCount = 1) {
    s.postMouseButton(button, true, clickCount, {10, 10});
    s.postMouseButton(button, false, clickCount, {10, 10});
}

class XTestSynthesizerTest : public XServerTest {
protected:
    void SetUp() override {
        XServerTest::SetUp();
        if (HasFatalFailure()) return;
        synthesizer = std::make_unique<XTestEventSynthesizer>(connection);
        ASSERT_TRUE(synthesizer->canPost());
    }

    std::unique_ptr<XTestEventSynthesizer> synthesizer;
};

struct PostCase {
    const char* what;
    std::function<void(XTestEventSynthesizer&)> post;
    Tokens expected;
    const char* logLine = nullptr;
};

const ModifierSet kRightAndSuper{ModifierKey::rightOption, ModifierKey::leftCommand,
                                 ModifierKey::rightCommand};

// What the server receives for each kind of request, from a fresh synthesizer.
TEST_F(XTestSynthesizerTest, EachRequestArrivesAsItsKeysAndButtons) {
    const PostCase cases[] = {
        {"right-hand and Super modifiers are their own keys",
         [](auto& s) {
             s.postKey(std::nullopt, {}, kRightAndSuper, kRightAndSuper, true);
             s.postKey(std::nullopt, kRightAndSuper, {}, {}, false);
         },
         {keyToken(KEY_RIGHTALT, true), keyToken(KEY_LEFTMETA, true), keyToken(KEY_RIGHTMETA, true),
          keyToken(KEY_RIGHTALT, false), keyToken(KEY_LEFTMETA, false),
          keyToken(KEY_RIGHTMETA, false)}},
        {"a repeat presses the held key again",
         [](auto& s) {
             s.postKey(KeyCode::a, {}, {}, {}, true);
             s.postKeyRepeat(KeyCode::a, {});
             s.postKeyRepeat(KeyCode::a, {});
             s.postKey(KeyCode::a, {}, {}, {}, false);
         },
         {keyToken(KEY_A, true), keyToken(KEY_A, true), keyToken(KEY_A, true),
          keyToken(KEY_A, false)}},
        {"Help, Forward Delete and media keys post their Linux keys",
         [](auto& s) {
             for (const KeyCode key : {KeyCode::help, KeyCode::forwardDelete, KeyCode::play,
                                       KeyCode::soundUp, KeyCode::brightnessDown, KeyCode::numLock})
                 tap(s, key);
         },
         tapped({KEY_INSERT, KEY_DELETE, KEY_PLAYPAUSE, KEY_VOLUMEUP, KEY_BRIGHTNESSDOWN,
                 KEY_NUMLOCK})},
        // Escape is a marker: once it arrives, anything posted before it has arrived too.
        {"keys without a Linux counterpart post nothing",
         [](auto& s) {
             tap(s, KeyCode::contrastUp);
             tap(s, KeyCode::function);
             tap(s, KeyCode::escape);
         },
         tapped({KEY_ESC})},
        {"mouse buttons press their X buttons, logging the click count",
         [](auto& s) {
             click(s, MouseButton::left());
             click(s, MouseButton::right());
             click(s, MouseButton::center(), 2);
         },
         clicked({1, 3, 2}), "Mouse clicks: 2"},
        // A button the server's pointer does not have posts nothing (and causes no X error).
        {"side buttons press back and forward",
         [](auto& s) {
             click(s, MouseButton::other(3));
             click(s, MouseButton::other(4));
             click(s, MouseButton::other(200));
             click(s, MouseButton::left());
         },
         clicked({8, 9, 1})},
        {"line scrolling clicks the wheel once per line",
         [](auto& s) {
             s.postScrollNotch(1, 0);   // up
             s.postScrollNotch(-2, 0);  // down twice
             s.postScrollNotch(0, 1);   // left
             s.postScrollNotch(0, -1);  // right
         },
         clicked({4, 5, 5, 6, 7})},
        // The 20 px left over from 120 and 30 more make a click.
        {"pixel scrolling clicks once per fifty pixels",
         [](auto& s) {
             s.postScroll(120, 0);
             s.postScroll(30, -49);
             s.postScroll(0, -1);
         },
         clicked({4, 4, 4, 7})},
    };
    for (const PostCase& c : cases) {
        SCOPED_TRACE(c.what);
        observer->clear();
        ScopedLogCapture log;
        XTestEventSynthesizer fresh(connection);
        c.post(fresh);
        EXPECT_TRUE(observer->waitForTokens(c.expected))
            << testing::PrintToString(observer->tokens());
        EXPECT_TRUE(observer->waitUntilNothingHeld());
        EXPECT_FALSE(log->contains("X error"));
        if (c.logLine) {
            EXPECT_EQ(log->count(c.logLine), 1u);
        }
    }
}

TEST_F(XTestSynthesizerTest, AbsoluteMotionPutsThePointerThereAndKeepsTheFraction) {
    VirtualMainLoop loop;
    X11Display display(connection, loop);
    synthesizer->postMouseMove({100.4, 200.6}, std::nullopt);
    EXPECT_TRUE(observer->waitUntil([&] {
        return observer->pointer() == XObserver::Position{100, 201};
    }));
    EXPECT_GT(observer->motionCount(), 0u);
    // The engine reads back where it aimed, so slow motion adds up instead of rounding away:
    // 0.4 px per step, as a slow stick at 250 Hz moves, 50 steps make 20 px.
    EXPECT_EQ(display.cursorPosition(), (Point{100.4, 200.6}));
    for (int step = 0; step < 50; ++step) {
        const Point at = *display.cursorPosition();
        synthesizer->postMouseMove({at.x + 0.4, at.y}, std::nullopt);
        observer->poll();
    }
    EXPECT_TRUE(observer->waitUntil([&] {
        return observer->pointer() == XObserver::Position{120, 201};
    })) << observer->pointer().x;

    // Moved by someone else: whole pixels again.
    observer->warpPointer(300, 40);
    EXPECT_EQ(display.cursorPosition(), (Point{300, 40}));
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

}  // namespace
}  // namespace joywright::e2e
