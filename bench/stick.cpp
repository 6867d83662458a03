// The thumbstick handler per report in steady state: one change of the stick through the fake
// gamepad, handler, and frame append (the frame drained every few reports, as the engine does).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <numbers>
#include <vector>

#include "controller/ControllerSettings.hpp"
#include "controller/HandlerInstallation.hpp"
#include "engine/Frame.hpp"
#include "fakes/FakeGamepad.hpp"
#include "model/Mapping.hpp"
#include "support/Figures.hpp"

namespace {

using namespace joywright;

Mapping benchMapping(ThumbstickMode mode) {
    Mapping mapping;
    mapping.inputs = {
        {InputName::leftThumbstickUp, Output::moveMouse(Direction::up, 800)},
        {InputName::leftThumbstickDown, Output::moveMouse(Direction::down, 800)},
        {InputName::leftThumbstickLeft, Output::pressKey({KeyCode::a, {}})},
        {InputName::leftThumbstickRight,
         Output::scrollMouse(Direction::right, 800, ScrollMouseMode::continuous)},
    };
    mapping.leftThumbstickMode = mode;
    return mapping;
}

// Positions a thumb might report: circles at a few radii, crossing every sector and the centre.
std::vector<std::pair<float, float>> positions() {
    std::vector<std::pair<float, float>> all;
    for (double radius : {0.9, 0.4, 0.03}) {
        for (int degrees = 0; degrees < 360; degrees += 3) {
            const double radians = degrees * std::numbers::pi / 180.0;
            all.emplace_back(static_cast<float>(radius * std::sin(radians)),
                             static_cast<float>(radius * std::cos(radians)));
        }
    }
    return all;
}

// This thread's CPU time in nanoseconds: steadier than wall time on a shared machine.
double threadCpuNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e9 + static_cast<double>(now.tv_nsec);
}

// Per mode, the figures of the run with the most iterations (the library's first, short runs
// only size the real one).
struct Measurement {
    long long changes = 0;
    double nanoseconds = 0;
    double allocations = 0;
};
Measurement gMeasurements[2];

void report() {
    double ns = 0;
    double allocations = 0;
    for (const auto& m : gMeasurements) {
        ns = std::max(ns, m.nanoseconds);
        allocations = std::max(allocations, m.allocations);
    }
    bench::reportFigure("stick_change_ns", ns, "ns");
    bench::reportFigure("stick_change_allocs", allocations, "allocs");
}

void stickChange(benchmark::State& state, ThumbstickMode mode) {
    FakeGamepad gamepad;
    Frame frame;
    frame.setListening(true);
    installHandlers(gamepad, benchMapping(mode), ControllerSettings{}, frame);
    const auto path = positions();
    std::vector<FrameInput> drained;
    drained.reserve(64);

    // Warm up so both frame vectors reach their steady capacity.
    for (std::size_t i = 0; i < path.size() * 2; ++i) {
        gamepad.leftThumbstick().set(path[i % path.size()].first, path[i % path.size()].second);
        if (i % 4 == 3) frame.drain(drained);
    }

    std::size_t i = 0;
    long long changes = 0;
    const long long allocationsBefore = bench::allocationCount();
    const double start = threadCpuNanoseconds();
    for (auto _ : state) {
        const auto& [x, y] = path[i];
        gamepad.leftThumbstick().set(x, y);
        if (++i == path.size()) i = 0;
        if ((++changes & 3) == 0) frame.drain(drained);
    }
    const double elapsed = threadCpuNanoseconds() - start;
    const long long allocations = bench::allocationCount() - allocationsBefore;

    const double ns = elapsed / static_cast<double>(std::max(changes, 1LL));
    const double allocationsPerChange =
        static_cast<double>(allocations) / static_cast<double>(std::max(changes, 1LL));
    state.counters["allocs_per_change"] = allocationsPerChange;
    Measurement& kept = gMeasurements[static_cast<std::size_t>(mode)];
    if (changes >= kept.changes) kept = {changes, ns, allocationsPerChange};
    report();
}

BENCHMARK_CAPTURE(stickChange, smooth, ThumbstickMode::smooth);
BENCHMARK_CAPTURE(stickChange, eightWay, ThumbstickMode::eightWay);

}  // namespace
