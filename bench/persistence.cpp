// Loading a mappings folder of 1,000 documents, and the debounced flush after one of 1,000
// mappings was edited. The folder is under the system temporary folder, so the flush includes
// the real durable write (fsync of the file and of the folder). Figures: load_1000_ms (mean
// coordinator load: listing, reading, decoding, ordering), flush_one_ms (mean flush after one
// rename), flush_one_files (files written or removed by that flush), atomic_write_ms (one bare
// durable write of the same document in the same folder: the storage device's floor).

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "model/DefaultMappings.hpp"
#include "model/MappingDocument.hpp"
#include "persistence/MappingFileStorage.hpp"
#include "persistence/MappingSyncCoordinator.hpp"
#include "persistence/PreferenceKeys.hpp"
#include "support/AtomicFile.hpp"
#include "support/Figures.hpp"
#include "support/Log.hpp"
#include "support/VirtualMainLoop.hpp"

namespace {

using namespace joywright;
using Clock = std::chrono::steady_clock;

constexpr int kMappingCount = 1000;

// Counts the files a flush writes or removes.
class CountingStorage final : public MappingStorage {
public:
    explicit CountingStorage(std::filesystem::path directory) : files_(std::move(directory)) {}
    const std::filesystem::path& directory() const override { return files_.directory(); }
    Expected<LoadedMappings, std::string> loadAll(const PreferencesStore& defaults) override {
        return files_.loadAll(defaults);
    }
    std::optional<std::string> save(const Mapping& mapping) override {
        ++touched;
        return files_.save(mapping);
    }
    std::optional<std::string> deleteMapping(const Uuid& id) override {
        ++touched;
        return files_.deleteMapping(id);
    }
    Expected<bool, std::string> migrateLegacyMappings(PreferencesStore& defaults) override {
        return files_.migrateLegacyMappings(defaults);
    }

    long touched = 0;

private:
    MappingFileStorage files_;
};

// A folder of 1,000 documents (written plainly: setting up is not measured) and the stored order
// naming them, removed at exit.
class Fixture {
public:
    Fixture() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "joywright-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) std::abort();
        directory = pattern;
        std::vector<std::string> order;
        const auto builders = {webSurfingMapping, firstPersonShooterMapping,
                               dragonQuestBuilders1Mapping};
        for (int i = 0; i < kMappingCount; ++i) {
            Mapping mapping = std::data(builders)[i % 3]();
            mapping.name = "Mapping " + std::to_string(i);
            std::ofstream(directory / (mapping.id.text() + ".json"))
                << writeMappingDocument(mapping);
            order.push_back(mapping.id.text());
        }
        defaults.setValue(kMappingOrderKey, order);
        defaults.setValue(kDidMigrateKey, true);
        Log::setMinimumLevel(LogLevel::error);
    }
    ~Fixture() { std::filesystem::remove_all(directory); }

    std::filesystem::path directory;
    InMemoryPreferencesStore defaults;
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

double meanMs(Clock::duration total, benchmark::IterationCount iterations) {
    return std::chrono::duration<double, std::milli>(total).count() /
           static_cast<double>(iterations);
}

void BM_Load1000(benchmark::State& state) {
    auto& f = fixture();
    CountingStorage storage(f.directory);
    VirtualMainLoop loop;
    Clock::duration total{};
    for (auto _ : state) {
        const auto start = Clock::now();
        MappingSyncCoordinator coordinator(storage, f.defaults, loop, seconds(0.3));
        auto mappings = coordinator.load();
        total += Clock::now() - start;
        if (mappings.size() != kMappingCount) state.SkipWithError("not every mapping loaded");
        benchmark::DoNotOptimize(mappings);
    }
    bench::reportFigure("load_1000_ms", meanMs(total, state.iterations()), "ms");
}
BENCHMARK(BM_Load1000)->Unit(benchmark::kMillisecond);

void BM_FlushOne(benchmark::State& state) {
    auto& f = fixture();
    CountingStorage storage(f.directory);
    VirtualMainLoop loop;
    MappingSyncCoordinator coordinator(storage, f.defaults, loop, seconds(0.3));
    auto mappings = coordinator.load();
    Clock::duration total{};
    long edit = 0;
    for (auto _ : state) {
        state.PauseTiming();
        mappings[500].name = "Edited " + std::to_string(++edit);
        coordinator.scheduleSave(mappings);
        storage.touched = 0;
        state.ResumeTiming();
        const auto start = Clock::now();
        loop.advance(0.3);  // the debounce runs out and the flush runs
        total += Clock::now() - start;
    }
    bench::reportFigure("flush_one_ms", meanMs(total, state.iterations()), "ms");
    bench::reportFigure("flush_one_files", static_cast<double>(storage.touched), "files");
}
BENCHMARK(BM_FlushOne)->Unit(benchmark::kMillisecond);

void BM_AtomicWrite(benchmark::State& state) {
    auto& f = fixture();
    const std::string document = writeMappingDocument(dragonQuestBuilders1Mapping());
    const auto file = f.directory / "floor.json.probe";
    Clock::duration total{};
    for (auto _ : state) {
        const auto start = Clock::now();
        if (writeFileAtomically(file, document)) state.SkipWithError("write failed");
        total += Clock::now() - start;
    }
    std::filesystem::remove(file);
    bench::reportFigure("atomic_write_ms", meanMs(total, state.iterations()), "ms");
}
BENCHMARK(BM_AtomicWrite)->Unit(benchmark::kMillisecond);

}  // namespace
