#pragma once

#include <string>

#include "engine/Runner.hpp"
#include "fakes/FakeDisplay.hpp"
#include "fakes/RecordingSynthesizer.hpp"

namespace joywright::test {

// A Runner on a recording synthesizer and a fake 1920x1080 display whose cursor follows the
// posted moves. Appended instructions are applied at the next tick().
struct RunnerHarness {
    static constexpr double kFrame = 1.0 / 64;  // exact in binary, so sums stay exact

    FakeDisplay display;
    RecordingSynthesizer synth;
    Runner runner;

    explicit RunnerHarness(SystemTiming timing = {.doubleClickInterval = 0.5,
                                                  .keyRepeatDelay = 0.5,
                                                  .keyRepeatInterval = 0.125})
        : display(withTiming(timing)), runner(wire(synth, display), display) {
        display.setCursor({100, 100});
    }

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

    static KeyCombo combo(std::optional<KeyCode> key, ModifierSet modifiers = {}) {
        return KeyCombo{.key = key, .modifiers = modifiers};
    }

private:
    static FakeDisplay withTiming(SystemTiming timing) {
        FakeDisplay d;
        d.timing = timing;
        return d;
    }
    static RecordingSynthesizer& wire(RecordingSynthesizer& s, FakeDisplay& d) {
        s.display = &d;
        return s;
    }
};

}  // namespace joywright::test
