#pragma once

#include <stdlib.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/Model.hpp"
#include "app/TrustQuery.hpp"
#include "app/UpdateSource.hpp"
#include "engine/Runner.hpp"
#include "fakes/FakeDisplay.hpp"
#include "fakes/FakeGamepad.hpp"
#include "fakes/RecordingSynthesizer.hpp"
#include "persistence/MappingFileStorage.hpp"
#include "persistence/PreferencesStore.hpp"
#include "support/VirtualMainLoop.hpp"

namespace joywright::test {

// Answers what the test sets; counts the questions.
class FakeTrustQuery final : public TrustQuery {
public:
    bool trusted = false;
    int asks = 0;
    bool isProcessTrusted() override {
        ++asks;
        return trusted;
    }
};

// Keeps each lookup's completion until the test answers it.
class FakeUpdateSource final : public UpdateSource {
public:
    int requests = 0;
    std::deque<Completion> pending;

    void latestRelease(Completion completion) override {
        ++requests;
        pending.push_back(std::move(completion));
    }
    // Answers the oldest lookup.
    void answer(std::optional<AppStoreRelease> release) {
        auto completion = std::move(pending.front());
        pending.pop_front();
        completion(std::move(release));
    }
};

// A fresh folder under the system's temporary folder, removed with everything in it.
class TemporaryFolder {
public:
    TemporaryFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "joywright-app-XXXXXX");
        path_ = ::mkdtemp(pattern.data());
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Everything a Model is made with, as fakes and a real engine. Declaration order is destruction
// order in reverse: the model goes first, then the gamepads, then the engine they feed.
struct ModelHarness {
    VirtualMainLoop loop;
    InMemoryPreferencesStore preferences;
    FakeDisplay display;
    RecordingSynthesizer synthesizer;
    Runner runner{synthesizer, display};
    FakeTrustQuery trust;
    FakeUpdateSource updates;
    TemporaryFolder folder;
    MappingFileStorage storage{folder.path() / "Mappings"};
    // Seconds since 2001-01-01 that the model's wall clock reads.
    double wallClock = 800'000'000.0;
    std::optional<std::string> localVersion;
    bool appStoreBuild = false;
    std::shared_ptr<FakeGamepad> gamepad = std::make_shared<FakeGamepad>();
    std::unique_ptr<Model> model;

    ModelHarness() { synthesizer.display = &display; }

    ModelDependencies dependencies() {
        return ModelDependencies{
            .preferences = preferences,
            .loop = loop,
            .runner = runner,
            .trust = trust,
            .updateSource = &updates,
            .localVersion = localVersion,
            .now =
                [this] {
                    const double unix = wallClock + kReferenceDateUnixSeconds;
                    return WallClock::time_point(std::chrono::duration_cast<WallClock::duration>(
                        std::chrono::duration<double>(unix)));
                },
            .isAppStoreBuild = [this] { return appStoreBuild; },
            .storage = &storage,
        };
    }

    // A model over the temporary mappings folder.
    Model& launch() {
        model = std::make_unique<Model>(dependencies());
        loop.runPosted();
        return *model;
    }

    // A model over a fixed list, without persistence.
    Model& launchWith(std::vector<Mapping> mappings) {
        auto d = dependencies();
        d.storage = nullptr;
        d.initialMappings = std::move(mappings);
        model = std::make_unique<Model>(std::move(d));
        loop.runPosted();
        return *model;
    }

    // The model's focus, window and scanner switches as a user editing a mapping has them.
    void focusWithAutoScan() {
        model->setAppIsFocused(true);
        model->setAutoScan(true);
    }
};

// Records the notifications of one model.
class PropertyLog {
public:
    explicit PropertyLog(Model& model)
        : subscription_(model.observe([this](ModelProperty p) { changes.push_back(p); })) {}

    std::vector<ModelProperty> changes;

    std::size_t count(ModelProperty property) const {
        return static_cast<std::size_t>(std::count(changes.begin(), changes.end(), property));
    }
    void clear() { changes.clear(); }

private:
    Model::Subscription subscription_;
};

inline Output key(KeyCode code) {
    return Output::pressKey(KeyCombo{.key = code, .modifiers = {}});
}

// Number of recorded events whose token starts with `prefix` ("+w(" is a W key-down).
inline std::size_t countTokens(const RecordingSynthesizer& synthesizer, std::string_view prefix) {
    return static_cast<std::size_t>(
        std::count_if(synthesizer.tokens.begin(), synthesizer.tokens.end(),
                      [&](const std::string& t) { return t.rfind(prefix, 0) == 0; }));
}

inline bool holds(const RecordingSynthesizer& synthesizer, KeyCode code) {
    return synthesizer.heldKeyCodes.contains(static_cast<std::uint16_t>(code));
}

// A mapping with every input noop but those given.
inline Mapping mappingNamed(std::string name, std::vector<Input> inputs = {}) {
    Mapping mapping;
    mapping.id = newMappingID();
    mapping.name = std::move(name);
    mapping.inputs = normalizedInputs(inputs);
    return mapping;
}

}  // namespace joywright::test
