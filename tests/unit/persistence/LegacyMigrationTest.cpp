#include <gtest/gtest.h>

#include <ctime>
#include <regex>

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

PreferenceData legacyArray(const std::vector<Mapping>& mappings) {
    std::string text;
    for (const auto& mapping : mappings)
        text += (text.empty() ? "[" : ",") + writeMappingDocument(mapping);
    return {text + "]"};
}

class LegacyMigrationTest : public ::testing::Test {
protected:
    TempFolder folder;
    std::filesystem::path directory = folder / "Mappings";
    std::filesystem::path backups = folder / "Backups";
    MappingFileStorage storage{directory};
    InMemoryPreferencesStore defaults;
    ScopedLogCapture log;
    Mapping first = webSurfingMapping();
    Mapping second = dragonQuestBuilders1Mapping();

    std::filesystem::path fileOf(const Mapping& mapping) const {
        return directory / (mapping.id.text() + ".json");
    }
    // True when a migration ran; a failure fails the test.
    bool migrate() {
        const auto migrated = storage.migrateLegacyMappings(defaults);
        EXPECT_TRUE(migrated.hasValue()) << migrated.error();
        return migrated.hasValue() && *migrated;
    }
};

TEST_F(LegacyMigrationTest, MovesEachMappingToItsFileOnceAndKeepsTheLegacyData) {
    const PreferenceData legacy = legacyArray({first, second});
    defaults.setValue(kSavedMappingsKey, legacy);

    EXPECT_TRUE(migrate());
    auto expectedFiles =
        std::vector<std::string>{first.id.text() + ".json", second.id.text() + ".json"};
    std::sort(expectedFiles.begin(), expectedFiles.end());
    EXPECT_EQ(entryNames(directory), expectedFiles);
    EXPECT_EQ(readMappingDocument(readFile(fileOf(second))).value(), second);
    EXPECT_EQ(defaults.stringList(kMappingOrderKey), testing::idTexts({first, second}));
    EXPECT_TRUE(defaults.boolean(kDidMigrateKey));
    EXPECT_EQ(defaults.data(kSavedMappingsKey), legacy);
    EXPECT_EQ(log->count("Migrated 2 mappings to file-based storage"), 1u);
    EXPECT_EQ(log->count("Legacy UserDefaults blob retained intentionally as implicit backup"), 1u);

    EXPECT_FALSE(migrate()) << "the flag blocks a second run";
}

TEST_F(LegacyMigrationTest, MissingOrUndecodableDataWritesNothingAndLeavesTheFlagUnset) {
    struct Case {
        std::optional<std::string_view> legacy;
        std::string_view logLine;
    };
    static constexpr Case kCases[] = {
        {std::nullopt, ""},
        {"[{\"id\": 1}",
         "Migration decode failed — flag NOT set, will retry on next launch: notJSON"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.legacy.value_or("(none)"));
        if (c.legacy) defaults.setValue(kSavedMappingsKey, PreferenceData{std::string(*c.legacy)});
        EXPECT_FALSE(migrate());
        EXPECT_FALSE(defaults.value(kDidMigrateKey).has_value());
        EXPECT_FALSE(std::filesystem::exists(directory));
        EXPECT_TRUE(c.logLine.empty() ? log->lines().empty() : log->contains(c.logLine));
    }
}

TEST_F(LegacyMigrationTest, FailedWriteStopsTheMigrationAndKeepsWhatWasWritten) {
    defaults.setValue(kSavedMappingsKey, legacyArray({first, second}));
    std::filesystem::create_directories(fileOf(second));
    const auto migrated = storage.migrateLegacyMappings(defaults);
    ASSERT_FALSE(migrated.hasValue());
    EXPECT_NE(migrated.error().find("Is a directory"), std::string::npos) << migrated.error();
    EXPECT_TRUE(std::filesystem::is_regular_file(fileOf(first)));
    EXPECT_FALSE(defaults.boolean(kDidMigrateKey));
    EXPECT_FALSE(defaults.value(kMappingOrderKey).has_value());
}

TEST_F(LegacyMigrationTest, RepeatedIdIsWrittenOnceWithItsFirstContents) {
    defaults.setValue(kSavedMappingsKey, legacyArray({first, testing::renamed(first, "Copy")}));
    EXPECT_TRUE(migrate());
    EXPECT_EQ(defaults.stringList(kMappingOrderKey), std::vector<std::string>{first.id.text()});
    EXPECT_EQ(readMappingDocument(readFile(fileOf(first)))->name, "Web surfing");
}

class LegacyBackupTest : public LegacyMigrationTest {};

TEST_F(LegacyBackupTest, FreshInstallationBacksUpNothingAndSetsTheFlag) {
    backupLegacyMappings(defaults, backups);
    EXPECT_TRUE(defaults.boolean(kDidBackupV1Key));
    EXPECT_FALSE(std::filesystem::exists(backups));
    EXPECT_EQ(log->count("No saved mappings found, nothing to back up"), 1u);
}

// Written under a dated name; JSON pretty with sorted keys.
TEST_F(LegacyBackupTest, JsonIsWrittenPrettyAndOtherDataByteForByteOnce) {
    struct Case {
        std::string legacy;
        std::string contents;
        std::string logLine;
    };
    const Case cases[] = {
        {R"([{"name": "A", "id": "X", "inputs": []}])",
         "[\n  {\n    \"id\": \"X\",\n    \"inputs\": [],\n    \"name\": \"A\"\n  }\n]\n",
         "Saved data is valid JSON (40 bytes)"},
        {std::string("\x00not json\xFF", 10), std::string("\x00not json\xFF", 10),
         "Saved data is not valid JSON, backing up raw bytes anyway"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.legacy));
        std::filesystem::remove_all(backups);
        defaults.removeValue(kDidBackupV1Key);
        defaults.setValue(kSavedMappingsKey, PreferenceData{c.legacy});
        log->clear();

        backupLegacyMappings(defaults, backups);
        const auto names = entryNames(backups);
        ASSERT_EQ(names.size(), 1u);
        EXPECT_TRUE(std::regex_match(
            names[0], std::regex(R"(mappings-v1-backup-\d{4}-\d\d-\d\dT\d\d-\d\d-\d\d\.json)")))
            << names[0];
        EXPECT_EQ(readFile(backups / names[0]), c.contents);
        EXPECT_EQ(log->count(c.logLine), 1u);
        EXPECT_EQ(log->count("Wrote " + names[0] + " to " + backups.string()), 1u);
        EXPECT_TRUE(defaults.boolean(kDidBackupV1Key));

        backupLegacyMappings(defaults, backups);
        EXPECT_EQ(entryNames(backups), names);
        EXPECT_EQ(log->count("Already backed up, skipping"), 1u);
    }
}

TEST_F(LegacyBackupTest, FailureIsLoggedAndLeavesTheFlagForTheNextLaunch) {
    defaults.setValue(kSavedMappingsKey, PreferenceData{"[]"});
    testing::writeFile(backups, "a file where the folder should be");
    backupLegacyMappings(defaults, backups);
    EXPECT_FALSE(defaults.boolean(kDidBackupV1Key));
    EXPECT_TRUE(log->contains("Failed to write backup: Could not create " + backups.string()));

    std::filesystem::remove(backups);
    backupLegacyMappings(defaults, backups);
    EXPECT_TRUE(defaults.boolean(kDidBackupV1Key));
    EXPECT_EQ(entryNames(backups).size(), 1u);
}

TEST(BackupFileName, UsesTheLocalTimeWithHyphensForColons) {
    const auto when = std::chrono::system_clock::from_time_t(1741356309);  // 2025-03-07 14:05:09Z
    {
        testing::ScopedEnvironment environment;
        environment.set("TZ", "UTC");
        ::tzset();
        EXPECT_EQ(backupFileName(when), "mappings-v1-backup-2025-03-07T14-05-09.json");
        environment.set("TZ", "Asia/Kolkata");
        ::tzset();
        if (std::filesystem::exists("/usr/share/zoneinfo/Asia/Kolkata")) {
            EXPECT_EQ(backupFileName(when), "mappings-v1-backup-2025-03-07T19-35-09.json");
        }
    }
    ::tzset();
}

}  // namespace
}  // namespace joywright
