#include <linux/input-event-codes.h>

#include "E2eFixtures.hpp"
#include "model/KeyCode.hpp"
#include "platform/qt/QtMainLoop.hpp"
#include "platform/x11/TimerDisplayLink.hpp"
#include "platform/x11/X11Display.hpp"
#include "platform/x11/X11KeyboardLayout.hpp"
#include "platform/x11/X11TrustQuery.hpp"
#include "platform/x11/XTestEventSynthesizer.hpp"
#include "support/Log.hpp"

// Xlib's macros (None, Bool, Status) clash with Qt and GoogleTest: it comes last.
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace joywright::e2e {
namespace {

class X11DisplayTest : public XServerTest {
protected:
    void SetUp() override {
        XServerTest::SetUp();
        if (HasFatalFailure()) return;
        display = std::make_unique<X11Display>(connection, loop);
    }

    // Sets a root window text property through the observer's own connection.
    void setRootText(Atom property, const std::string& text) {
        ::Display* x = observer->display();
        XChangeProperty(x, DefaultRootWindow(x), property, XA_STRING, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(text.data()),
                        static_cast<int>(text.size()));
        XSync(x, False);
    }

    QtMainLoop loop;
    std::unique_ptr<X11Display> display;
};

TEST_F(X11DisplayTest, ReportsTheServersScreenPointerKeyRepeatAndXTest) {
    const auto screens = display->screens();
    ASSERT_EQ(screens.size(), 1u);
    EXPECT_EQ(screens[0].frame, (Rect{0, 0, 1280, 1024}));
    EXPECT_GT(screens[0].refreshRate, 0);
    observer->warpPointer(321, 654);
    EXPECT_EQ(display->cursorPosition(), (Point{321, 654}));
    EXPECT_TRUE(X11TrustQuery(connection).isProcessTrusted());

    ::Display* x = observer->display();
    ASSERT_TRUE(XkbSetAutoRepeatRate(x, XkbUseCoreKbd, 300, 30));
    XSync(x, False);
    const SystemTiming timing = display->systemTiming();
    EXPECT_DOUBLE_EQ(timing.keyRepeatDelay, 0.3);
    EXPECT_DOUBLE_EQ(timing.keyRepeatInterval, 0.03);
    EXPECT_DOUBLE_EQ(timing.doubleClickInterval, 0.4);  // nothing says otherwise
}

TEST_F(X11DisplayTest, DoubleClickTimeComesFromTheDesktopsXSettingsThenTheXResources) {
    setRootText(XA_RESOURCE_MANAGER, "Xft.dpi:\t96\n*multiClickTime:\t250\n");
    EXPECT_DOUBLE_EQ(display->systemTiming().doubleClickInterval, 0.25);

    ::Display* x = observer->display();
    const Window manager = XCreateSimpleWindow(x, DefaultRootWindow(x), 0, 0, 1, 1, 0, 0, 0);
    const Atom settings = XInternAtom(x, "_XSETTINGS_SETTINGS", False);
    // LSB first, serial 0, one integer setting "Net/DoubleClickTime" = 320.
    const std::string name = "Net/DoubleClickTime";
    std::vector<unsigned char> bytes{
        0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, static_cast<unsigned char>(name.size()), 0};
    bytes.insert(bytes.end(), name.begin(), name.end());
    while (bytes.size() % 4 != 0)
        bytes.push_back(0);
    for (const int b : {0, 0, 0, 0, 0x40, 0x01, 0, 0})
        bytes.push_back(static_cast<unsigned char>(b));
    XChangeProperty(x, manager, settings, settings, 8, PropModeReplace, bytes.data(),
                    static_cast<int>(bytes.size()));
    XSetSelectionOwner(x, XInternAtom(x, "_XSETTINGS_S0", False), manager, CurrentTime);
    XSync(x, False);
    EXPECT_DOUBLE_EQ(display->systemTiming().doubleClickInterval, 0.32);

    // The manager quits: back to the X resources, and no X error on the way.
    XDestroyWindow(x, manager);
    XSync(x, False);
    EXPECT_DOUBLE_EQ(display->systemTiming().doubleClickInterval, 0.25);
    // A value that is not a number: the fallback.
    setRootText(XA_RESOURCE_MANAGER, "*multiClickTime:\tsoon\n");
    EXPECT_DOUBLE_EQ(display->systemTiming().doubleClickInterval, 0.4);
}

TEST_F(X11DisplayTest, TheLinkTicksOnTheQtLoopAtLeastAt250Hz) {
    std::vector<std::string> order;
    std::vector<double> deltas;
    display->setTickHook([&] { order.push_back("hook"); });
    auto link = display->makeDisplayLink(display->screens().at(0));
    ASSERT_NE(link, nullptr);
    const auto started = std::chrono::steady_clock::now();
    auto lastTick = started;
    link->start([&](double dt) {
        order.push_back("tick");
        deltas.push_back(dt);
        lastTick = std::chrono::steady_clock::now();
    });
    ASSERT_TRUE(runUntil([&] { return deltas.size() >= 50; }));
    link->stop();
    const double elapsed = std::chrono::duration<double>(lastTick - started).count();

    EXPECT_EQ(order[0], "hook");
    EXPECT_EQ(order[1], "tick");
    // deltaTime is measured: together the ticks account for the time that passed.
    double sum = 0;
    for (double dt : deltas)
        sum += dt;
    EXPECT_NEAR(sum, elapsed, 0.002);
    // 50 ticks at 250 Hz take 0.2 s: never much less; a loaded machine may stretch it.
    EXPECT_GT(elapsed, 0.19);
    EXPECT_LT(elapsed, 2.0);

    const std::size_t ticks = deltas.size();
    runFor(std::chrono::milliseconds{30});
    EXPECT_EQ(deltas.size(), ticks);
}

TEST_F(X11DisplayTest, ATicksEventsLeaveTogetherAtItsEnd) {
    XTestEventSynthesizer synthesizer(connection);
    auto link = display->makeDisplayLink(display->screens().at(0));
    std::size_t seenInTick = 0;
    bool ticked = false;
    link->start([&](double) {
        if (ticked) return;
        ticked = true;
        synthesizer.postKey(KeyCode::k, {}, {}, {}, true);
        synthesizer.postKey(KeyCode::k, {}, {}, {}, false);
        observer->poll();
        seenInTick = observer->tokens().size();
    });
    EXPECT_TRUE(observer->waitUntil([&] {
        QCoreApplication::processEvents();
        return observer->tokens().size() == 2;
    }));
    EXPECT_EQ(seenInTick, 0u);
    EXPECT_EQ(observer->tokens(),
              (std::vector<std::string>{keyToken(KEY_K, true), keyToken(KEY_K, false)}));
}

class X11KeyboardLayoutTest : public XServerTest {};

TEST_F(X11KeyboardLayoutTest, NamesKeysByTheServersLayoutAndFollowsItsChanges) {
    X11KeyboardLayout layout(connection);
    const std::pair<KeyCode, std::optional<std::string>> cases[] = {
        {KeyCode::a, "A"},     {KeyCode::semicolon, ";"},     {KeyCode::one, "1"},
        {KeyCode::grave, "`"}, {KeyCode::mute, std::nullopt}, {KeyCode::returnKey, std::nullopt},
    };
    for (const auto& [key, text] : cases) {
        SCOPED_TRACE(std::string(caseName(key)));
        EXPECT_EQ(layout.keyText(key), text);
    }
    EXPECT_EQ(displayName(KeyCode::a, &layout), "A");
    EXPECT_EQ(displayName(KeyCode::mute, &layout), "<Key 74>");

    ASSERT_EQ(layout.keyText(KeyCode::q), "Q");
    // Another client remaps the key in Q's place to "a" (as switching to a French layout does).
    ::Display* x = observer->display();
    KeySym keysyms[] = {XK_a, XK_A};
    XChangeKeyboardMapping(x, KEY_Q + 8, 2, keysyms, 1);
    XSync(x, False);
    EXPECT_TRUE(observer->waitUntil([&] { return layout.keyText(KeyCode::q) == "A"; }));
}

// With no display every X11 part still works: it names nothing, posts nothing, has no screen
// and falls back to the default timing, and the reason is logged once.
TEST(X11PartsWithoutDisplay, DegradeAndLogTheReasonOnce) {
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

    EXPECT_FALSE(X11TrustQuery(connection).isProcessTrusted());
    X11KeyboardLayout layout(connection);
    EXPECT_EQ(layout.keyText(KeyCode::a), std::nullopt);
    EXPECT_EQ(displayName(KeyCode::a, &layout), "<Key 0>");
    QtMainLoop loop;
    X11Display display(connection, loop);
    EXPECT_TRUE(display.screens().empty());
    EXPECT_EQ(display.cursorPosition(), std::nullopt);
    const SystemTiming timing = display.systemTiming();
    EXPECT_DOUBLE_EQ(timing.doubleClickInterval, 0.4);
    EXPECT_DOUBLE_EQ(timing.keyRepeatDelay, 0.5);
    EXPECT_DOUBLE_EQ(timing.keyRepeatInterval, 0.033);
}

}  // namespace
}  // namespace joywright::e2e
