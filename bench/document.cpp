// Reading and writing one mapping document with all 25 inputs bound, as the file store and the
// export sheet do. Figures: document_read_us, document_write_us (mean microseconds per document).

#include <benchmark/benchmark.h>

#include <chrono>

#include "model/DefaultMappings.hpp"
#include "model/MappingDocument.hpp"
#include "support/Figures.hpp"

namespace {

using namespace joywright;
using Clock = std::chrono::steady_clock;

// Dragon Quest Builders binds 24 inputs; Home gets a mouse button so every input is bound, and
// a few outputs vary so that every payload shape is read and written.
Mapping fullMapping() {
    auto mapping = dragonQuestBuilders1Mapping();
    for (auto& input : mapping.inputs) {
        if (input.id == InputName::buttonHome)
            input.output = Output::clickMouse(MouseButton::other(4));
        if (input.id == InputName::leftTrigger)
            input.output = Output::scrollMouse(Direction::up, 1234.6f, ScrollMouseMode::notched);
        if (input.id == InputName::buttonA)
            input.output =
                Output::pressKey({KeyCode::g, {ModifierKey::leftControl, ModifierKey::leftShift}});
    }
    return mapping;
}

void reportMean(benchmark::State& state, const char* figure, Clock::duration elapsed) {
    const auto us = std::chrono::duration<double, std::micro>(elapsed).count();
    joywright::bench::reportFigure(figure, us / static_cast<double>(state.iterations()), "us");
}

void BM_DocumentRead(benchmark::State& state) {
    const auto text = writeMappingDocument(fullMapping());
    const auto start = Clock::now();
    for (auto _ : state) {
        auto mapping = readMappingDocument(text);
        benchmark::DoNotOptimize(mapping);
    }
    reportMean(state, "document_read_us", Clock::now() - start);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_DocumentRead);

void BM_DocumentWrite(benchmark::State& state) {
    const auto mapping = fullMapping();
    const auto start = Clock::now();
    for (auto _ : state) {
        auto text = writeMappingDocument(mapping);
        benchmark::DoNotOptimize(text);
    }
    reportMean(state, "document_write_us", Clock::now() - start);
}
BENCHMARK(BM_DocumentWrite);

}  // namespace
