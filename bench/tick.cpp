// The cost of one steady-state engine tick: 8 keys held and repeating every tick, 3 modifiers,
// a deflected stick moving the pointer, continuous scrolling, and two stick reports queued per
// tick. Figures: tick_ns (nanoseconds per tick) and tick_allocs (heap allocations per tick).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>

#include "engine/KeyEvents.hpp"
#include "engine/Runner.hpp"
#include "fakes/FakeDisplay.hpp"
#include "support/Figures.hpp"

namespace joywright {
namespace {

constexpr double kFrame = 1.0 / 250;

// Expands key requests as a real synthesizer would, posts nothing, and moves the fake cursor.
class NullSynthesizer final : public EventSynthesizer {
public:
    explicit NullSynthesizer(FakeDisplay& display) : display_(display) {}

    void postKey(std::optional<KeyCode> key, ModifierSet released, ModifierSet pressed,
                 ModifierSet current, bool isDown) override {
        for (const auto& e : postKeyEvents(key, released, pressed, current, isDown))
            sink += e.flags;
    }
    void postKeyRepeat(KeyCode key, ModifierSet modifiers) override {
        for (const auto& e : postKeyRepeatEvents(key, modifiers))
            sink += e.flags;
    }
    void postMouseButton(MouseButton button, bool, int clickCount, Point) override {
        sink += button.buttonNumber() + static_cast<std::uint64_t>(clickCount);
    }
    void postMouseMove(Point point, std::optional<MouseButton>) override {
        display_.setCursor(point);
    }
    void postRelativeMouseMove(int dx, int dy) override { display_.moveCursorBy(dx, dy); }
    void postScroll(std::int32_t wheel1, std::int32_t wheel2) override {
        sink += static_cast<std::uint64_t>(wheel1 + wheel2);
    }
    void postScrollNotch(std::int32_t wheel1, std::int32_t wheel2) override {
        sink += static_cast<std::uint64_t>(wheel1 - wheel2);
    }

    std::uint64_t sink = 0;

private:
    FakeDisplay& display_;
};

FakeDisplay steadyDisplay() {
    FakeDisplay display;
    // Repeats due at every tick; a screen wide enough that the pointer never reaches an edge.
    display.timing = {.doubleClickInterval = 0.4, .keyRepeatDelay = 0, .keyRepeatInterval = 0};
    display.screenList = {Screen{.frame = {0, 0, 1e12, 1e12}, .refreshRate = 250}};
    display.setCursor({1000, 1e11});
    return display;
}

struct SteadyState {
    FakeDisplay display = steadyDisplay();
    NullSynthesizer synth{display};
    Runner runner{synth, display};

    SteadyState() {
        namespace fi = frame_input;
        using enum ModifierKey;
        runner.start();
        const KeyCombo combos[] = {
            {KeyCode::w, {leftShift}}, {KeyCode::a, {leftShift, leftControl}},
            {KeyCode::s, {}},          {KeyCode::d, {rightOption}},
            {KeyCode::upArrow, {}},    {KeyCode::space, {leftControl}},
            {KeyCode::keypad5, {}},    {KeyCode::f5, {}},
        };
        for (const auto& combo : combos)
            runner.frame().append(fi::KeyDown{combo});
        runner.frame().append(fi::SetScrollDY{120});
        runner.frame().append(fi::SetScrollDX{-30});
        for (int i = 0; i < 100; ++i)
            tick();
    }

    void tick() {
        namespace fi = frame_input;
        runner.frame().append(fi::SetMouseDX{0.7f, 800});
        runner.frame().append(fi::SetMouseDY{-0.4f, 800});
        display.tick(kFrame);
    }
};

void BM_Tick(benchmark::State& state) {
    SteadyState steady;
    const auto allocationsBefore = bench::allocationCount();
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state)
        steady.tick();
    const auto end = std::chrono::steady_clock::now();
    const auto allocations = bench::allocationCount() - allocationsBefore;
    benchmark::DoNotOptimize(steady.synth.sink);

    const auto ticks = static_cast<double>(state.iterations());
    const double ns = std::chrono::duration<double, std::nano>(end - start).count();
    bench::reportFigure("tick_ns", ns / ticks, "ns");
    bench::reportFigure("tick_allocs", static_cast<double>(allocations) / ticks, "allocs");
    if (steady.runner.heldKeys().activeKeys().size() != 8 ||
        steady.runner.modifiers().activeKeys().size() != 3) {
        state.SkipWithError("the steady state lost its held keys");
    }
}
BENCHMARK(BM_Tick);

}  // namespace
}  // namespace joywright
