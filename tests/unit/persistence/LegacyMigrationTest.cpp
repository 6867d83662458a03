#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <regex>

#include <nlohmann/json.hpp>

#include "PersistenceTestSupport.hpp"
#include "model/MappingDocument.hpp"
#include "persistence/LegacyBackup.hpp"
#include "persistence/MappingFileStorage.hpp"
#include "persistence/PreferenceKeys.hpp"
#include "support/Log.hpp"

namespace joywright {
namespace {

using testing::entryNames;
using testing::readFile;
using testing::TempFolder;
using testing::writeFile;

std::string legacyArray(const std::vector<Mapping>& mappings) {
    std::string text = "[";
    for (const auto& mapping : mappings) {
        if (text.size() > 1) text += ",";
        text += writeMappingDocument(mapping);
    }
    return text + "]";
}

class LegacyMigrationTest : public ::testing::Test {
protected:
    TempFolder folder;
    std::filesystem::path directory = folder / "Mappings";
    MappingFileStorage storage{directory};
    InMemoryPreferencesStore defaults;
    ScopedLogCapture log;
    Mapping first = webSurfingMapping();
    Mapping second = dragonQuestBuilders1Mapping();
};

TEST_F(LegacyMigrationTest, MovesEachMappingToItsFileAndKeepsTheLegacyData) {
    const PreferenceData legacy{legacyArray({first, second})};
    defaults.setValue(kSavedMappingsKey, legacy);

    const auto migrated = storage.migrateLegacyMappings(defaults);
    ASSERT_TRUE(migrated.hasValue()) << migrated.error();
    EXPECT_TRUE(*migrated);
    std::vector<std::string> expectedFiles{first.id.text() + ".json", second.id.text() + ".json"};
    std::sort(expectedFiles.begin(), expectedFiles.end());
    EXPECT_EQ(entryNames(directory), expectedFiles);
    EXPECT_EQ(readMappingDocument(readFile(directory / (second.id.text() + ".json"))).value(),
              second);
    EXPECT_EQ(defaults.stringList(kMappingOrderKey),
              (std::vector<std::string>{first.id.text(), second.id.text()}));
    EXPECT_TRUE(defaults.boolean(kDidMigrateKey));
    EXPECT_EQ(defaults.data(kSavedMappingsKey), legacy);
    EXPECT_EQ(log->count("Migrated 2 mappings to file-based storage"), 1u);
    EXPECT_EQ(log->count("Legacy UserDefaults blob retained intentionally as implicit backup"), 1u);

    const auto again = storage.migrateLegacyMappings(defaults);
    ASSERT_TRUE(again.hasValue());
    EXPECT_FALSE(*again);
}

TEST_F(LegacyMigrationTest, NothingToMigrateLeavesTheFlagUnset) {
    const auto migrated = storage.migrateLegacyMappings(defaults);
    ASSERT_TRUE(migrated.hasValue());
    EXPECT_FALSE(*migrated);
    EXPECT_FALSE(defaults.value(kDidMigrateKey).has_value());
    EXPECT_FALSE(std::filesystem::exists(directory));
}

TEST_F(LegacyMigrationTest, UndecodableDataWritesNothingAndIsTriedAgainLater) {
    defaults.setValue(kSavedMappingsKey, PreferenceData{"[{\"id\": 1}"});
    const auto migrated = storage.migrateLegacyMappings(defaults);
    ASSERT_TRUE(migrated.hasValue());
    EXPECT_FALSE(*migrated);
    EXPECT_FALSE(defaults.boolean(kDidMigrateKey));
    EXPECT_FALSE(std::filesystem::exists(directory));
    EXPECT_TRUE(log->contains(
        "Migration decode failed — flag NOT set, will retry on next launch: notJSON"));
}

TEST_F(LegacyMigrationTest, FailedWriteStopsTheMigrationAndKeepsWhatWasWritten) {
    defaults.setValue(kSavedMappingsKey, PreferenceData{legacyArray({first, second})});
    std::filesystem::create_directories(directory / (second.id.text() + ".json"));
    const auto migrated = storage.migrateLegacyMappings(defaults);
    ASSERT_FALSE(migrated.hasValue());
    EXPECT_NE(migrated.error().find("Is a directory"), std::string::npos) << migrated.error();
    EXPECT_TRUE(std::filesystem::is_regular_file(directory / (first.id.text() + ".json")));
    EXPECT_FALSE(defaults.boolean(kDidMigrateKey));
    EXPECT_FALSE(defaults.value(kMappingOrderKey).has_value());
}

TEST_F(LegacyMigrationTest, RepeatedIdIsWrittenOnceWithItsFirstContents) {
    Mapping copy = first;
    copy.name = "Later copy";
    defaults.setValue(kSavedMappingsKey, PreferenceData{legacyArray({first, copy})});
    ASSERT_TRUE(storage.migrateLegacyMappings(defaults).hasValue());
    EXPECT_EQ(defaults.stringList(kMappingOrderKey), std::vector<std::string>{first.id.text()});
    EXPECT_EQ(readMappingDocument(readFile(directory / (first.id.text() + ".json")))->name,
              "Web surfing");
}

class LegacyBackupTest : public LegacyMigrationTest {
protected:
    std::filesystem::path backups = folder / "Backups";
};

TEST_F(LegacyBackupTest, FreshInstallationBacksUpNothingAndSetsTheFlag) {
    backupLegacyMappings(defaults, backups);
    EXPECT_TRUE(defaults.boolean(kDidBackupV1Key));
    EXPECT_FALSE(std::filesystem::exists(backups));
    EXPECT_EQ(log->count("No saved mappings found, nothing to back up"), 1u);
}

TEST_F(LegacyBackupTest, JsonDataIsWrittenPrettyWithSortedKeysOnce) {
    const std::string legacy = R"([{"name": "A", "id": "X", "inputs": []}])";
    defaults.setValue(kSavedMappingsKey, PreferenceData{legacy});

    backupLegacyMappings(defaults, backups);
    const auto names = entryNames(backups);
    ASSERT_EQ(names.size(), 1u);
    EXPECT_TRUE(std::regex_match(
        names[0], std::regex(R"(mappings-v1-backup-\d{4}-\d\d-\d\dT\d\d-\d\d-\d\d\.json)")))
        << names[0];
    EXPECT_EQ(readFile(backups / names[0]),
              "[\n  {\n    \"id\": \"X\",\n    \"inputs\": [],\n    \"name\": \"A\"\n  }\n]\n");
    EXPECT_TRUE(defaults.boolean(kDidBackupV1Key));
    EXPECT_EQ(log->count("Saved data is valid JSON (" + std::to_string(legacy.size()) + " bytes)"),
              1u);
    EXPECT_EQ(log->count("Wrote " + names[0] + " to " + backups.string()), 1u);

    backupLegacyMappings(defaults, backups);
    EXPECT_EQ(entryNames(backups), names);
    EXPECT_EQ(log->count("Already backed up, skipping"), 1u);
}

TEST_F(LegacyBackupTest, DataThatIsNotJsonIsBackedUpByteForByte) {
    const std::string legacy("\x00not json\xFF", 10);
    defaults.setValue(kSavedMappingsKey, PreferenceData{legacy});
    backupLegacyMappings(defaults, backups);
    const auto names = entryNames(backups);
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(readFile(backups / names[0]), legacy);
    EXPECT_EQ(log->count("Saved data is not valid JSON, backing up raw bytes anyway"), 1u);
    EXPECT_TRUE(defaults.boolean(kDidBackupV1Key));
}

TEST_F(LegacyBackupTest, FailureIsLoggedAndLeavesTheFlagForTheNextLaunch) {
    defaults.setValue(kSavedMappingsKey, PreferenceData{"[]"});
    writeFile(backups, "a file where the folder should be");
    backupLegacyMappings(defaults, backups);
    EXPECT_FALSE(defaults.boolean(kDidBackupV1Key));
    EXPECT_TRUE(log->contains("Failed to write backup: Could not create " + backups.string()));

    std::filesystem::remove(backups);
    backupLegacyMappings(defaults, backups);
    EXPECT_TRUE(defaults.boolean(kDidBackupV1Key));
    EXPECT_EQ(entryNames(backups).size(), 1u);
}

TEST(BackupFileName, UsesTheLocalTimeWithHyphensForColons) {
    const char* previous = std::getenv("TZ");
    const std::string saved = previous ? previous : "";
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    // 2025-03-07 14:05:09 UTC
    const auto when = std::chrono::system_clock::from_time_t(1741356309);
    EXPECT_EQ(backupFileName(when), "mappings-v1-backup-2025-03-07T14-05-09.json");
    ::setenv("TZ", "Asia/Kolkata", 1);
    ::tzset();
    if (std::filesystem::exists("/usr/share/zoneinfo/Asia/Kolkata")) {
        EXPECT_EQ(backupFileName(when), "mappings-v1-backup-2025-03-07T19-35-09.json");
    }
    if (previous) {
        ::setenv("TZ", saved.c_str(), 1);
    } else {
        ::unsetenv("TZ");
    }
    ::tzset();
}

}  // namespace
}  // namespace joywright
