#include <gtest/gtest.h>

#include <stdlib.h>

#include <fstream>

#include "ModelHarness.hpp"
#include "model/DefaultMappings.hpp"
#include "model/MappingDocument.hpp"
#include "support/Log.hpp"

namespace joywright::test {
namespace {

constexpr std::string_view kModelKeys[] = {"responseCurve", "autoEnableMode", "lastUsedMappingId",
                                           "controllerSettings", "updateDismissal"};

std::string readFile(const std::filesystem::path& file) {
    std::ifstream in(file);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::size_t writesOf(const InMemoryPreferencesStore& store, std::string_view key) {
    return static_cast<std::size_t>(
        std::count(store.writes().begin(), store.writes().end(), std::string(key)));
}

// The initial values of the window state are pinned by the observation tests, whose first write
// of each must notify.
TEST(ModelCreation, FirstLaunchHasTheDefaultPreferencesAndWritesNoModelKey) {
    ModelHarness h;
    Model& model = h.launch();
    EXPECT_EQ(model.responseCurve(), ResponseCurve::exponential(2.0));
    EXPECT_EQ(h.runner.responseCurve(), ResponseCurve::exponential(2.0));
    EXPECT_EQ(model.autoEnableMode(), AutoEnableMode::none());
    EXPECT_EQ(model.lastUsedMappingId(), std::nullopt);
    EXPECT_TRUE(model.controllerSettingsDict().empty());
    EXPECT_EQ(model.updateDismissal(), std::nullopt);
    EXPECT_TRUE(model.hasPersistence());
    EXPECT_EQ(model.loadError(), std::nullopt);
    for (auto key : kModelKeys) {
        SCOPED_TRACE(std::string(key));
        EXPECT_EQ(writesOf(h.preferences, key), 0u);
    }
    // The defaults are seeded and the first one is selected.
    ASSERT_EQ(model.mappings().size(), 3u);
    EXPECT_EQ(model.mappings()[0].name, "Web surfing");
    EXPECT_EQ(model.selection(), SidebarSelection::mapping(model.mappings()[0].id));
}

TEST(ModelCreation, StoredPreferencesAreReadAndWrittenBackCanonically) {
    ModelHarness h;
    const Uuid last = newMappingID();
    std::string lower = last.text();
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    h.preferences.setValue("responseCurve", PreferenceData{R"({"type":"linear"})"});
    h.preferences.setValue("autoEnableMode", PreferenceData{R"({ "mappingId" : ")" + lower +
                                                            R"(", "type": "specific" })"});
    h.preferences.setValue("lastUsedMappingId", lower);
    h.preferences.setValue("updateDismissal",
                           PreferenceData{R"({"version":"1.5","dismissedAt":7.25})"});
    const ControllerSettingsDictionary settings{
        {"/Gamepad", {.deadZone = 0.1f, .calibration = {}}}};
    h.preferences.setValue("controllerSettings",
                           PreferenceData{encodeControllerSettings(settings).value()});
    const auto written = static_cast<std::ptrdiff_t>(h.preferences.writes().size());

    Model& model = h.launchWith({});
    EXPECT_EQ(model.responseCurve(), ResponseCurve::exponential(1.0));
    EXPECT_EQ(h.runner.responseCurve(), ResponseCurve::exponential(1.0));
    EXPECT_EQ(model.autoEnableMode(), AutoEnableMode::specific(last));
    EXPECT_EQ(model.lastUsedMappingId(), last);
    EXPECT_EQ(model.controllerSettingsDict(), settings);
    EXPECT_EQ(model.updateDismissal(), (UpdateDismissal{"1.5", 7.25}));

    // Written back at once, canonical: the three assigned through their setters.
    EXPECT_EQ(h.preferences.data("responseCurve")->bytes, encodeResponseCurve({1.0}));
    EXPECT_NE(h.preferences.data("responseCurve")->bytes.find("\"exponential\""),
              std::string::npos);
    EXPECT_EQ(h.preferences.data("autoEnableMode")->bytes,
              R"({"type":"specific","mappingId":")" + last.text() + "\"}");
    EXPECT_EQ(h.preferences.string("lastUsedMappingId"), last.text());
    EXPECT_EQ(std::vector(h.preferences.writes().begin() + written, h.preferences.writes().end()),
              (std::vector<std::string>{"responseCurve", "autoEnableMode", "lastUsedMappingId"}));
}

TEST(ModelCreation, UndecodableValuesAreIgnoredAndLeftUntilOverwritten) {
    ModelHarness h;
    h.preferences.setValue("responseCurve", PreferenceData{R"({"type":"cubic"})"});
    h.preferences.setValue("autoEnableMode", PreferenceData{R"({"type":"specific"})"});
    h.preferences.setValue("lastUsedMappingId", std::string("not-a-uuid"));
    h.preferences.setValue("controllerSettings", PreferenceData{"{{{"});
    h.preferences.setValue("updateDismissal", PreferenceData{R"({"version":"1.5"})"});
    Model& model = h.launch();
    EXPECT_EQ(model.responseCurve(), ResponseCurve::exponential(2.0));
    EXPECT_EQ(model.autoEnableMode(), AutoEnableMode::none());
    EXPECT_EQ(model.lastUsedMappingId(), std::nullopt);
    EXPECT_TRUE(model.controllerSettingsDict().empty());
    EXPECT_EQ(model.updateDismissal(), std::nullopt);
    EXPECT_EQ(h.preferences.data("autoEnableMode")->bytes, R"({"type":"specific"})");
    EXPECT_EQ(h.preferences.string("lastUsedMappingId"), "not-a-uuid");
    EXPECT_EQ(h.preferences.data("controllerSettings")->bytes, "{{{");

    model.updateControllerSettings(ControllerSettings{}, ControllerDisplayInfo{});
    EXPECT_TRUE(decodeControllerSettings(h.preferences.data("controllerSettings")->bytes));
}

TEST(ModelCreation, AnInitialListIsUsedWithoutPersistence) {
    ModelHarness empty;
    EXPECT_EQ(empty.launchWith({}).selection(), std::nullopt);

    ModelHarness h;
    const Mapping only = mappingNamed("Only");
    Model& model = h.launchWith({only});
    EXPECT_FALSE(model.hasPersistence());
    EXPECT_EQ(model.mappingsFolder(), std::nullopt);
    EXPECT_EQ(model.mappingFile(only.id), std::nullopt);
    EXPECT_EQ(model.selection(), SidebarSelection::mapping(only.id));
    model.appendMapping(mappingNamed("Two"));
    h.loop.advance(1.0);
    EXPECT_FALSE(std::filesystem::exists(h.storage.directory()));
}

// Sets an environment variable for the scope of a test.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const std::string& value) : name_(name) {
        if (const char* old = ::getenv(name)) previous_ = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnvironment() {
        if (previous_)
            ::setenv(name_, previous_->c_str(), 1);
        else
            ::unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> previous_;
};

TEST(ModelCreation, WithoutAGivenStoreTheDataFolderIsUsedOrTheDefaultsRunInMemory) {
    ModelHarness h;
    const auto withoutStore = [&h] {
        auto d = h.dependencies();
        d.storage = nullptr;
        return d;
    };
    {
        ScopedEnvironment data("XDG_DATA_HOME", h.folder.path().string());
        Model model(withoutStore());
        const auto file = h.folder.path() / "Joywright" / "Mappings" /
                          (model.mappings().at(0).id.text() + ".json");
        EXPECT_EQ(model.mappingsFolder(), file.parent_path());
        EXPECT_EQ(model.mappingFile(model.mappings()[0].id), file);
        EXPECT_TRUE(std::filesystem::exists(file));
    }
    const auto blocker = h.folder.path() / "file";
    std::ofstream(blocker) << "not a folder";
    ScopedEnvironment data("XDG_DATA_HOME", (blocker / "data").string());
    ScopedLogCapture log;
    Model model(withoutStore());
    EXPECT_TRUE(log->contains("Failed to initialize MappingFileStorage: "));
    EXPECT_FALSE(model.hasPersistence());
    ASSERT_EQ(model.mappings().size(), 3u);
    EXPECT_EQ(model.mappings()[1].name, "First-person shooter");
    EXPECT_EQ(model.selection(), SidebarSelection::mapping(model.mappings()[0].id));
}

TEST(ModelCreation, AnUnreadableFolderIsReportedAsLoadError) {
    ModelHarness h;
    const auto blocker = h.folder.path() / "Mappings";
    std::ofstream(blocker) << "a file where the folder should be";
    Model& model = h.launch();
    EXPECT_TRUE(model.loadError().has_value());
    EXPECT_TRUE(model.mappings().empty());
    EXPECT_EQ(model.selection(), std::nullopt);
}

// ---- Persistence through the coordinator

TEST(ModelPersistence, SaveStatusChangesAreObserved) {
    ModelHarness h;
    Model& model = h.launch();
    PropertyLog changes(model);
    model.addBlankMapping();
    h.loop.advance(0.3);
    // saving, then idle again.
    EXPECT_EQ(changes.count(ModelProperty::saveStatus), 2u);
    EXPECT_EQ(model.saveStatus(), SaveStatus::idle());
}

TEST(ModelPersistence, ReloadTakesExternalChangesAndCorruptFiles) {
    ModelHarness h;
    Model& model = h.launch();
    const Mapping shooter = model.mappings()[1];
    const Mapping builders = model.mappings()[2];
    // Outside the application: one document renamed, one broken.
    Mapping renamed = shooter;
    renamed.name = "Renamed outside";
    std::ofstream(h.storage.fileFor(shooter.id)) << writeMappingDocument(renamed);
    std::ofstream(h.storage.fileFor(builders.id)) << "{ broken";
    std::ofstream(h.storage.directory() / "stray.json") << "{ also broken";

    PropertyLog changes(model);
    model.reloadFromDisk();
    EXPECT_EQ(model.mapping(shooter.id)->name, "Renamed outside");
    EXPECT_EQ(model.mapping(builders.id), builders) << "served from memory";
    EXPECT_EQ(model.corruptMappingIDs().size(), 1u);
    EXPECT_TRUE(model.corruptMappingIDs().contains(builders.id));
    ASSERT_EQ(model.unrecoverableCorruptFiles().size(), 1u);
    EXPECT_EQ(changes.count(ModelProperty::mappings), 1u);
    EXPECT_EQ(changes.count(ModelProperty::corruptMappingIDs), 1u);
    EXPECT_EQ(changes.count(ModelProperty::unrecoverableCorruptFiles), 1u);

    model.revertCorruptFile(builders.id);
    EXPECT_EQ(readMappingDocument(readFile(h.storage.fileFor(builders.id))).value(), builders);
    EXPECT_TRUE(model.corruptMappingIDs().empty());

    model.removeUnrecoverableCorruptFile(h.storage.directory() / "stray.json");
    EXPECT_TRUE(model.unrecoverableCorruptFiles().empty());
}

TEST(ModelPersistence, DestroyingTheModelWritesPendingEdits) {
    ModelHarness h;
    Model& model = h.launch();
    const Uuid id = model.addBlankMapping();
    h.model.reset();
    EXPECT_TRUE(std::filesystem::exists(h.storage.fileFor(id)));
}

}  // namespace
}  // namespace joywright::test
