#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <new>
#include <string>
#include <utility>

#include "support/Figures.hpp"

namespace {

thread_local long long tAllocations = 0;

struct Figure {
    double value;
    std::string unit;
};

std::mutex& figuresMutex() {
    static std::mutex m;
    return m;
}

std::map<std::string, Figure>& figures() {
    static std::map<std::string, Figure> f;
    return f;
}

}  // namespace

void* operator new(std::size_t size) {
    ++tAllocations;
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace joywright::bench {

void reportFigure(const std::string& name, double value, const std::string& unit) {
    std::lock_guard lock(figuresMutex());
    figures()[name] = {value, unit};
}

long long allocationCount() { return tAllocations; }

}  // namespace joywright::bench

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::lock_guard lock(figuresMutex());
    for (const auto& [name, figure] : figures())
        std::printf("FIGURE %s %.6g %s\n", name.c_str(), figure.value, figure.unit.c_str());
    return 0;
}
