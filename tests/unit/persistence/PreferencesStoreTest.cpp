#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "PersistenceTestSupport.hpp"
#include "persistence/JsonFilePreferencesStore.hpp"
#include "persistence/PreferencesStore.hpp"
#include "support/Log.hpp"

namespace joywright {
namespace {

using testing::entryNames;
using testing::readFile;
using testing::TempFolder;
using testing::writeFile;

class JsonFilePreferencesStoreTest : public ::testing::Test {
protected:
    TempFolder folder;
    std::filesystem::path file = folder / "Joywright" / "preferences.json";
    ScopedLogCapture log;
};

TEST_F(JsonFilePreferencesStoreTest, ValuesAreKeptAsReadableJsonAndSurviveReopening) {
    const std::string id = "8E3C1A52-6B1F-7D2E-9A4B-0C1D2E3F4A5B";
    const std::string curve = R"({"type":"exponential","exponent":2})";
    const std::string binary("\x00\xFF\x80", 3);
    {
        JsonFilePreferencesStore store(file);
        EXPECT_FALSE(std::filesystem::exists(file)) << "nothing is written before a change";
        store.setValue("MappingOrder", std::vector<std::string>{"B", "A"});
        store.setValue("MappingStore.didMigrate", true);
        store.setValue("lastUsedMappingId", id);
        store.setValue("responseCurve", PreferenceData{curve});
        store.setValue("SavedMappings", PreferenceData{binary});
        store.setValue("empty", std::vector<std::string>{});
        store.setValue("removed", std::string("soon"));
        store.removeValue("removed");
        EXPECT_EQ(nlohmann::json::parse(readFile(file)), nlohmann::json::parse(R"({
            "MappingOrder": ["B", "A"],
            "MappingStore.didMigrate": true,
            "lastUsedMappingId": "8E3C1A52-6B1F-7D2E-9A4B-0C1D2E3F4A5B",
            "responseCurve": {"utf8": "{\"type\":\"exponential\",\"exponent\":2}"},
            "SavedMappings": {"base64": "AP+A"},
            "empty": []
        })"));
    }
    JsonFilePreferencesStore reopened(file);
    EXPECT_EQ(reopened.stringList("MappingOrder"), (std::vector<std::string>{"B", "A"}));
    EXPECT_TRUE(reopened.boolean("MappingStore.didMigrate"));
    EXPECT_EQ(reopened.string("lastUsedMappingId"), id);
    EXPECT_EQ(reopened.data("responseCurve"), PreferenceData{curve});
    EXPECT_EQ(reopened.data("SavedMappings"), PreferenceData{binary});
    EXPECT_EQ(reopened.stringList("empty"), std::vector<std::string>{});
    EXPECT_EQ(reopened.value("removed"), std::nullopt);
    // Typed reads of another type or of a missing key give none.
    EXPECT_EQ(reopened.string("MappingStore.didMigrate"), std::nullopt);
    EXPECT_FALSE(reopened.boolean("lastUsedMappingId"));
    EXPECT_EQ(reopened.stringList("lastUsedMappingId"), std::nullopt);
    EXPECT_EQ(reopened.data("MappingOrder"), std::nullopt);
    EXPECT_FALSE(reopened.boolean("missing"));
    EXPECT_TRUE(log->lines().empty());
}

TEST_F(JsonFilePreferencesStoreTest, UnreadableFileIsMovedAsideAndTheStoreStartsEmpty) {
    struct Case {
        const char* name;
        std::string_view contents;
    };
    static constexpr Case kCases[] = {
        {"cut short", R"({"MappingOrder": ["A")"},
        {"not an object", R"(["MappingOrder"])"},
        {"empty", ""},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(file.parent_path());
        std::filesystem::create_directories(file.parent_path());
        writeFile(file, c.contents);
        log->clear();

        JsonFilePreferencesStore store(file);
        EXPECT_EQ(store.value("MappingOrder"), std::nullopt);
        const auto names = entryNames(file.parent_path());
        ASSERT_EQ(names.size(), 1u);
        EXPECT_TRUE(names[0].starts_with("preferences.json.corrupt-")) << names[0];
        EXPECT_EQ(readFile(file.parent_path() / names[0]), c.contents) << "kept byte for byte";
        ASSERT_EQ(log->lines().size(), 1u);
        EXPECT_EQ(log->lines()[0].level, LogLevel::error);
        EXPECT_TRUE(log->contains("moved it to")) << log->lines()[0].message;

        store.setValue("MappingOrder", std::vector<std::string>{"A"});
        EXPECT_EQ(JsonFilePreferencesStore(file).stringList("MappingOrder"),
                  std::vector<std::string>{"A"});
    }
}

TEST_F(JsonFilePreferencesStoreTest, ValuesOfUnknownShapeAreKeptThroughRewrites) {
    std::filesystem::create_directories(file.parent_path());
    writeFile(file, R"({"count": 3, "mixed": ["a", 1], "text": "t"})");
    JsonFilePreferencesStore store(file);
    EXPECT_EQ(store.value("count"), std::nullopt);
    EXPECT_EQ(store.string("text"), "t");
    EXPECT_TRUE(log->contains("Preference count holds a value this version cannot read"));

    store.setValue("text", std::string("u"));
    EXPECT_EQ(nlohmann::json::parse(readFile(file)),
              nlohmann::json::parse(R"({"count": 3, "mixed": ["a", 1], "text": "u"})"));
    store.setValue("count", true);  // a write of the key replaces the unknown value
    EXPECT_EQ(nlohmann::json::parse(readFile(file))["count"], true);
}

TEST_F(JsonFilePreferencesStoreTest, FailedWriteIsLoggedAndTheValueKeptInMemory) {
    JsonFilePreferencesStore store(file);
    std::filesystem::create_directories(file);  // a folder squats on the file name
    store.setValue("MappingOrder", std::vector<std::string>{"A"});
    EXPECT_EQ(store.stringList("MappingOrder"), std::vector<std::string>{"A"});
    EXPECT_TRUE(log->contains("Failed to write preferences to")) << log->lines().size();

    std::filesystem::remove(file);
    store.setValue("MappingOrder", std::vector<std::string>{"A"});  // same value: retried
    EXPECT_EQ(JsonFilePreferencesStore(file).stringList("MappingOrder"),
              std::vector<std::string>{"A"});
}

TEST_F(JsonFilePreferencesStoreTest, FileThatCannotBeMovedAsideIsNeverOverwritten) {
    if (::geteuid() == 0) GTEST_SKIP() << "running as root, which ignores folder permissions";
    std::filesystem::create_directories(file.parent_path());
    writeFile(file, "{broken");
    ::chmod(file.parent_path().c_str(), 0555);
    JsonFilePreferencesStore store(file);
    ::chmod(file.parent_path().c_str(), 0755);  // writable again, yet still never overwritten
    store.setValue("a", std::string("1"));
    EXPECT_EQ(store.string("a"), "1");
    EXPECT_EQ(readFile(file), "{broken");
    EXPECT_TRUE(log->contains("could not be moved aside"));
}

}  // namespace
}  // namespace joywright
