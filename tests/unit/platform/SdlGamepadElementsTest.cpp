#include "platform/sdl/SdlGamepadElements.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace joywright {
namespace {

// Records every handler call of a pad and its four directions as readable tokens.
class PadRecorder {
public:
    explicit PadRecorder(SdlGamepadDirectionPad& pad) {
        const auto watch = [this](GamepadButton& button, std::string name) {
            button.setValueChangedHandler(
                [this, name](float v) { calls.push_back(name + "=" + format(v)); });
        };
        watch(pad.up(), "up");
        watch(pad.down(), "down");
        watch(pad.left(), "left");
        watch(pad.right(), "right");
        pad.setValueChangedHandler([this](float x, float y) {
            calls.push_back("pad(" + format(x) + "," + format(y) + ")");
        });
    }
    static std::string format(float v) {
        char text[16];
        std::snprintf(text, sizeof text, "%g", static_cast<double>(v));
        return text;
    }
    std::vector<std::string> calls;
};

using Calls = std::vector<std::string>;

TEST(SdlGamepadDirectionPad, FiresChangedDirectionsThenThePadOncePerChange) {
    SdlGamepadDirectionPad pad("Left Thumbstick");
    PadRecorder recorder(pad);

    EXPECT_TRUE(pad.change(0.5f, 0));
    EXPECT_EQ(recorder.calls, (Calls{"right=0.5", "pad(0.5,0)"}));

    recorder.calls.clear();
    EXPECT_FALSE(pad.change(0.5f, 0));
    EXPECT_TRUE(recorder.calls.empty());

    // Swept to up-left in one report: right falls, left and up rise, in fixed order.
    EXPECT_TRUE(pad.change(-0.25f, 1));
    EXPECT_EQ(recorder.calls, (Calls{"up=1", "left=0.25", "right=0", "pad(-0.25,1)"}));
    EXPECT_EQ(pad.up().value(), 1.0f);
    EXPECT_EQ(pad.down().value(), 0.0f);
}

TEST(SdlGamepadDirectionPad, ResetTakesValuesSilently) {
    SdlGamepadDirectionPad pad("Direction Pad");
    PadRecorder recorder(pad);
    pad.reset(0, -1);
    EXPECT_TRUE(recorder.calls.empty());
    EXPECT_EQ(pad.down().value(), 1.0f);
    EXPECT_FALSE(pad.change(0, -1));
}

TEST(SdlGamepadDirectionPad, HalfAxesAreNeverNegativeZero) {
    SdlGamepadDirectionPad pad("Right Thumbstick");
    pad.change(0.3f, -0.3f);
    pad.change(0, 0);
    for (GamepadButton* b : {&pad.up(), &pad.down(), &pad.left(), &pad.right()}) {
        EXPECT_FALSE(std::signbit(b->value()));
    }
}

TEST(SdlGamepadElements, AliasesNameThePadAndItsDirections) {
    SdlGamepadDirectionPad pad("Direction Pad");
    ASSERT_EQ(pad.aliases().size(), 1u);
    EXPECT_EQ(pad.aliases()[0], "Direction Pad");
    EXPECT_EQ(pad.left().aliases()[0], "Direction Pad Left");
}

TEST(SdlGamepadButton, AHandlerMayReplaceItselfWhileItRuns) {
    SdlGamepadButton button({"Button A"});
    int first = 0;
    int second = 0;
    button.setValueChangedHandler([&](float) {
        ++first;
        button.setValueChangedHandler([&](float) { ++second; });
    });
    button.change(1);
    button.change(0);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 1);
    button.setValueChangedHandler(nullptr);
    EXPECT_FALSE(button.hasValueChangedHandler());
    EXPECT_TRUE(button.change(1));
}

}  // namespace
}  // namespace joywright
