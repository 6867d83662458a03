#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "engine/Runner.hpp"
#include "fakes/FakeDisplay.hpp"
#include "fakes/RecordingSynthesizer.hpp"

namespace joywright::test {

constexpr double kFrame = 1.0 / 64;  // exact in binary, so sums stay exact

inline FrameInput keyDown(std::optional<KeyCode> key, ModifierSet modifiers = {}) {
    return frame_input::KeyDown{KeyCombo{.key = key, .modifiers = modifiers}};
}
inline FrameInput keyUp(std::optional<KeyCode> key, ModifierSet modifiers = {}) {
    return frame_input::KeyUp{KeyCombo{.key = key, .modifiers = modifiers}};
}

// One step of a scripted run: optionally move the cursor, queue the instructions, tick `frames`
// frames of `deltaTime` seconds, and expect exactly `posted` from those ticks.
struct Step {
    std::vector<FrameInput> send = {};
    std::string posted = {};
    int frames = 1;
    double deltaTime = kFrame;
    std::optional<Point> cursor = std::nullopt;
};

// A named script for table-driven tests.
struct Scenario {
    const char* name;
    std::vector<Step> steps;
    bool relativeMouse = false;
};

// A Runner on a recording synthesizer and a fake 1920x1080 display whose cursor, at (100, 100)
// to begin with, follows the posted moves; double-click interval 0.5 s, key-repeat delay 0.5 s and
// interval 0.125 s. Appended instructions are applied at the next tick().
struct RunnerHarness {
    FakeDisplay display = [] {
        FakeDisplay d;
        d.timing = {.doubleClickInterval = 0.5, .keyRepeatDelay = 0.5, .keyRepeatInterval = 0.125};
        d.cursor = Point{100, 100};
        return d;
    }();
    RecordingSynthesizer synth;
    Runner runner{connectedSynth(), display};

    RunnerHarness& send(const FrameInput& input) {
        runner.frame().append(input);
        return *this;
    }
    void tick(double deltaTime = kFrame) { display.tick(deltaTime); }
    void ticks(int count, double deltaTime = kFrame) { display.tick(deltaTime, count); }
    // Ticks once and returns what was posted during that tick.
    std::string tickAndTake(double deltaTime = kFrame) {
        synth.take();
        tick(deltaTime);
        return synth.take();
    }
    void startAndSettle() {
        runner.start();
        synth.take();
    }
    // Runs the steps in order on a started runner, checking what each posts.
    void play(const std::vector<Step>& steps) {
        for (std::size_t i = 0; i < steps.size(); ++i) {
            SCOPED_TRACE(testing::Message() << "step " << i);
            const auto& step = steps[i];
            if (step.cursor) display.setCursor(*step.cursor);
            for (const auto& input : step.send)
                send(input);
            synth.take();
            ticks(step.frames, step.deltaTime);
            EXPECT_EQ(synth.take(), step.posted);
        }
    }

    // Plays each scenario on a fresh running runner; a stop afterwards must leave nothing held.
    static void playAll(std::span<const Scenario> scenarios) {
        for (const auto& s : scenarios) {
            SCOPED_TRACE(s.name);
            RunnerHarness h;
            h.startAndSettle();
            h.runner.setUseRelativeMouse(s.relativeMouse);
            h.play(s.steps);
            h.runner.stop();
            EXPECT_TRUE(h.synth.nothingHeld()) << h.synth.describeHeld();
        }
    }

private:
    RecordingSynthesizer& connectedSynth() {
        synth.display = &display;
        return synth;
    }
};

}  // namespace joywright::test
